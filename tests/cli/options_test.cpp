#include "cli/options.h"

#include <gtest/gtest.h>

namespace trovlin::cli {
namespace {

using Args = std::vector<std::string>;

std::string Codes(int count) {
  std::string list;
  for (int i = 0; i < count; ++i) list += (i ? ",C" : "C") + std::to_string(i);
  return list;
}

TEST(ConvertOptions, EveryOptionIsRead) {
  ConvertOptions o = ParseConvertOptions({"a.log", "--db", "jois", "--item", "AN", "--items=TI,PY", "-o", "-",
                                          "--keep-stars", "--keep-width", "--input-encoding", "utf-8", "--encoding",
                                          "utf-8-bom", "--quotes=double", "--item", "DN"});
  EXPECT_EQ(o.logs, Args{"a.log"});
  EXPECT_EQ(o.output, "-");
  EXPECT_EQ(o.database, DatabaseKind::Jois);
  EXPECT_EQ(o.items, (std::vector<std::u16string>{u"AN", u"TI", u"PY", u"DN"}));
  EXPECT_TRUE(o.keepStars && o.keepWidth);
  EXPECT_EQ(o.inputEncoding, LogEncoding::Utf8);
  EXPECT_EQ(o.csvEncoding, CsvEncoding::Utf8Bom);
  EXPECT_EQ(o.quoteStyle, QuoteStyle::Double);

  o = ParseConvertOptions(
      {"a.log", "--jobs=3", "--out-dir", "d", "--items-file", "f", "--input-encoding", "auto", "--", "--db"});
  EXPECT_EQ(o.logs, (Args{"a.log", "--db"}));
  EXPECT_EQ(o.jobs, 3u);
  EXPECT_EQ(o.outDir, "d");
  EXPECT_EQ(o.itemsFile, "f");
  EXPECT_FALSE(o.output || o.database || o.inputEncoding || o.keepStars || o.keepWidth);
  EXPECT_EQ(o.csvEncoding, CsvEncoding::Cp932);
  EXPECT_EQ(o.quoteStyle, QuoteStyle::Apostrophe);
  EXPECT_EQ(ParseConvertOptions({"-", "--encoding", "utf-8", "--items", Codes(51)}).items.size(), 51u);
}

TEST(ConvertOptions, UsageErrorsSayWhatIsWrong) {
  const std::pair<Args, std::string> cases[] = {
      {{}, "no log given"},
      {{"a.log", "b.log"}, "several logs need --out-dir DIR"},
      {{"a.log", "--out-dir", "d", "-o", "x.csv"}, "-o and --out-dir exclude each other"},
      {{"a.log", "--items-file", "f", "--item", "AN"}, "--items-file excludes --item and --items"},
      {{"a.log", "--bogus"}, "unknown option --bogus"},
      {{"a.log", "--skip-empty-row"}, "unknown option --skip-empty-row; did you mean --skip-empty-rows?"},
      {{"a.log", "--jobs", "x", "--out-dir", "d"},
       "--jobs takes a number of logs to convert at once, 1 or more, not x"},
      {{"a.log", "-o"}, "-o needs a value"},
      {{"a.log", "--db", "medline"}, "--db takes STN, DIALOG, JOIS or PATOLIS, not medline"},
      {{"a.log", "--item", ""}, "an item code must not be empty"},
      {{"a.log", "--items", Codes(52)}, "at most 51 items can be converted"},
      {{"a.log", "--input-encoding", "latin1"}, "--input-encoding takes auto, cp932, utf-8, utf-16, not latin1"},
      {{"a.log", "--encoding", "utf-16"}, "--encoding takes cp932, utf-8, utf-8-bom, not utf-16"},
      {{"a.log", "--quotes", "single"}, "--quotes takes apostrophe, double, not single"}};
  for (const auto& [args, message] : cases) {
    try {
      ParseConvertOptions(args);
      ADD_FAILURE() << "accepted: " << message;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

TEST(ConvertOptions, ValuesAreTakenInAnyCaseAndByTheirUsualNames) {
  const struct {
    Args args;
    CsvEncoding csv;
    std::optional<LogEncoding> log;
    QuoteStyle quotes;
    std::optional<OutputFormat> format;
  } cases[] = {
      {{"--encoding", "UTF-8"}, CsvEncoding::Utf8, std::nullopt, QuoteStyle::Apostrophe, std::nullopt},
      {{"--encoding", "utf8", "--quotes", "DOUBLE"}, CsvEncoding::Utf8, std::nullopt, QuoteStyle::Double, std::nullopt},
      {{"--encoding", "UTF8-BOM", "--format", "XLSX"},
       CsvEncoding::Utf8Bom,
       std::nullopt,
       QuoteStyle::Apostrophe,
       OutputFormat::Xlsx},
      {{"--encoding", "utf-8", "--encoding=Shift_JIS"},
       CsvEncoding::Cp932,
       std::nullopt,
       QuoteStyle::Apostrophe,
       std::nullopt},
      {{"--input-encoding", "sjis", "--format=Csv"},
       CsvEncoding::Cp932,
       LogEncoding::Cp932,
       QuoteStyle::Apostrophe,
       OutputFormat::Csv},
      {{"--input-encoding", "UTF8"}, CsvEncoding::Cp932, LogEncoding::Utf8, QuoteStyle::Apostrophe, std::nullopt},
      {{"--input-encoding", "utf16"}, CsvEncoding::Cp932, LogEncoding::Utf16Le, QuoteStyle::Apostrophe, std::nullopt},
      {{"--input-encoding", "Windows-31J", "--quotes", "Apostrophe"},
       CsvEncoding::Cp932,
       LogEncoding::Cp932,
       QuoteStyle::Apostrophe,
       std::nullopt},
  };
  for (const auto& c : cases) {
    Args args = c.args;
    args.insert(args.begin(), "a.log");
    const ConvertOptions o = ParseConvertOptions(args);
    EXPECT_EQ(std::tuple(o.csvEncoding, o.inputEncoding, o.quoteStyle, o.format),
              std::tuple(c.csv, c.log, c.quotes, c.format))
        << args[1] << " " << args[2];
  }
  EXPECT_EQ(ParseConvertOptions({"a.log", "--discover", "First-Answer"}).discover, DiscoveryStart::FirstAnswer);
}

TEST(ConvertOptions, AMistypedValueIsNamedWithTheNearestChoice) {
  const std::pair<Args, std::string> cases[] = {
      {{"--encoding", "utf-9"}, "--encoding takes cp932, utf-8, utf-8-bom, not utf-9; did you mean utf-8?"},
      {{"--encoding", "CP93"}, "--encoding takes cp932, utf-8, utf-8-bom, not CP93; did you mean cp932?"},
      {{"--db", "jos"}, "--db takes STN, DIALOG, JOIS or PATOLIS, not jos; did you mean JOIS?"},
      {{"--quotes", "dubble"}, "--quotes takes apostrophe, double, not dubble; did you mean double?"},
      {{"--format", "xls"}, "--format takes csv, xlsx, not xls; did you mean xlsx?"},
      {{"--input-encoding", "euc-jp"}, "--input-encoding takes auto, cp932, utf-8, utf-16, not euc-jp"},
  };
  for (const auto& [args, message] : cases) {
    try {
      ParseConvertOptions({"a.log", args[0], args[1]});
      ADD_FAILURE() << "accepted: " << message;
    } catch (const UsageError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

TEST(ConvertOptions, OptionsThatChangeNothingAreNamedOnce) {
  const std::pair<Args, std::vector<std::string>> cases[] = {
      {{"a.log", "--jobs", "2"}, {"--jobs does nothing without --out-dir"}},
      {{"a.log", "b.log", "--jobs", "2", "--out-dir", "d"}, {}},
      {{"a.log", "--db", "STN", "--db", "JOIS", "--db", "JOIS"}, {"--db is given more than once; the last one counts"}},
      {{"a.log", "--format", "xlsx", "-o", "x.csv"}, {"--format xlsx writes a workbook, whatever the name x.csv says"}},
      {{"a.log", "--format", "csv", "-o", "x.XLSX", "--jobs=1"},
       {"--jobs does nothing without --out-dir", "--format csv writes a CSV, whatever the name x.XLSX says"}},
      {{"a.log", "--format", "xlsx", "-o", "x.xlsx", "--db", "STN"}, {}},
      {{"a.log", "--format", "xlsx", "-o", "-"}, {}},
  };
  for (const auto& [args, idle] : cases) EXPECT_EQ(ParseConvertOptions(args).idle, idle) << args.back();
  EXPECT_EQ(ParseConvertOptions({"a.log", "--db", "STN", "--db", "STN"}, OptionsFor::Inspect).idle,
            std::vector<std::string>{"--db is given more than once; the last one counts"});
}

// One path and --help are read by every command-line test; here what they refuse.
TEST(ItemsOptions, SaveTakesAFile) {
  EXPECT_EQ(ParseItemsOptions({"a.log", "--save", "items.txt"}).save, "items.txt");
  EXPECT_FALSE(ParseItemsOptions({"a.log"}).save);
  EXPECT_THROW(ParseItemsOptions({"a.log", "--save"}), UsageError);
}

TEST(SinglePath, OneOperandThatIsNoOption) {
  for (const Args& args : {Args{}, Args{"a", "b"}, Args{"-x"}}) EXPECT_THROW(ParseSinglePath(args), UsageError);
  EXPECT_EQ(ParseSinglePath({"--", "-x"}), "-x");
  EXPECT_TRUE(WantsHelp({"a.log", "-h"}));
  EXPECT_FALSE(WantsHelp({"--", "-h"}));
  EXPECT_FALSE(WantsHelp({"a.log", "--helpful"}));
}

}  // namespace
}  // namespace trovlin::cli

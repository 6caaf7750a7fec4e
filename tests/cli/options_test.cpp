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

// One path and --help are read by every command-line test; here what they refuse.
TEST(SinglePath, OneOperandThatIsNoOption) {
  for (const Args& args : {Args{}, Args{"a", "b"}, Args{"-x"}}) EXPECT_THROW(ParseSinglePath(args), UsageError);
  EXPECT_EQ(ParseSinglePath({"--", "-x"}), "-x");
  EXPECT_TRUE(WantsHelp({"a.log", "-h"}));
  EXPECT_FALSE(WantsHelp({"--", "-h"}));
  EXPECT_FALSE(WantsHelp({"a.log", "--helpful"}));
}

}  // namespace
}  // namespace trovlin::cli

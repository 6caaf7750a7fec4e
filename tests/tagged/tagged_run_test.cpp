#include "tagged/tagged_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <vector>

#include "common/errors.h"
#include "support/temp_dir.h"
#include "text/cp932.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using Rows = std::vector<std::vector<std::u16string>>;

// The CSV of items and rows as the writer must lay it out.
std::u16string Csv(const std::vector<std::u16string>& items, const Rows& rows) {
  std::u16string out;
  auto line = [&](const std::vector<std::u16string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? u",\"" : u"\"") + fields[i] + u"\"";
    out += u"\r\n";
  };
  line(items);
  for (const auto& row : rows) line(row);
  return out;
}

std::u16string Convert(const std::string& log, const std::vector<std::u16string>& items,
                       DatabaseKind kind = DatabaseKind::Stn) {
  TempDir dir;
  ConversionSettings settings;
  settings.inputPath = dir.Write("in.log", log);
  settings.outputPath = dir.File("out.csv");
  settings.databaseKind = kind;
  SetRunOptions(settings, true, true);
  ItemTable table;
  table.codes = items;
  RunTaggedConversion(settings, table);
  std::u16string text;
  DecodeCp932(ReadBytes(settings.outputPath), text);
  return text;
}

struct RunCase {
  const char* name;
  std::string log;  // code page 932 bytes
  std::vector<std::u16string> items;
  Rows rows;
  DatabaseKind kind = DatabaseKind::Stn;
};

std::string Lines(std::initializer_list<std::u16string_view> lines, bool finalLineEnd = true) {
  std::string out;
  std::size_t i = 0;
  for (std::u16string_view line : lines) {
    out += testing::Sjis(line);
    if (++i < lines.size() || finalLineEnd) out += "\r\n";
  }
  return out;
}

TEST(TaggedRun, ReadsRecordsAsTheRulesSay) {
  const RunCase cases[] = {
      {"continuation joined by one space",
       Lines({u"AN   2005:12", u"TI   Catalyst for", u"     olefin polymerization", u""}),
       {u"AN", u"TI"},
       {{u"2005:12", u"Catalyst for olefin polymerization"}}},
      {"trailing spaces of a piece stay", Lines({u"TI   abc  ", u"     def", u""}), {u"TI"}, {{u"abc   def"}}},
      {"repeated field on a new line", Lines({u"TI   one", u"AB   x", u"TI   two", u""}), {u"TI"}, {{u"one\ntwo"}}},
      {"a code listed twice fills the first only", Lines({u"TI   t", u""}), {u"TI", u"TI"}, {{u"t", u""}}},
      {"every block is a row, also one without items",
       Lines({u"=> d l1 1-2", u"", u"AN   1", u"", u"AN   2", u""}),
       {u"AN"},
       {{u""}, {u"1"}, {u"2"}}},
      {"RE lines joined with LF, later ones trimmed, quotes become apostrophes",
       Lines({u"AN   1", u"RE", u"  (1) first \"entry\"", u"    (2) second entry", u""}),
       {u"AN", u"RE"},
       {{u"1", u"  (1) first 'entry'\n(2) second entry"}}},
      {"RE followed by a space ends the record",
       Lines({u"AN   1", u"RE ", u"(1) x", u""}),
       {u"AN", u"RE"},
       {{u"1", u""}, {u"", u"(1) x"}}},
      {"four characters belong to RE, three end it",
       Lines({u"RE", u"abcd", u"ab", u""}),
       {u"RE"},
       {{u"abcd"}, {u""}}},
      {"a short line ends the record and starts the next",
       Lines({u"AN   1", u"ab", u"TI   t", u""}),
       {u"AN", u"TI"},
       {{u"1", u""}, {u"", u"t"}}},
      {"stars removed from STN fields but not from RE",
       Lines({u"TI   ***catalyst*** for *a*", u"RE", u"*ref*", u""}),
       {u"TI", u"RE"},
       {{u"catalyst for a", u"*ref*"}}},
      {"stars kept outside STN", Lines({u"TI   *a*", u""}), {u"TI"}, {{u"*a*"}}, DatabaseKind::Jois},
      {"JOIS text made half-width", Lines({u"TI   ＡＢＣ１２３　カガ", u""}), {u"TI"}, {{u"ABC123 ｶｶﾞ"}}, DatabaseKind::Jois},
      {"STN text keeps its width", Lines({u"TI   ＡＢＣ", u""}), {u"TI"}, {{u"ＡＢＣ"}}},
      {"DIALOG keeps stars and width", Lines({u"TI-  *Ａ*|", u""}), {u"TI-"}, {{u"*Ａ*"}}, DatabaseKind::Dialog},
      {"one trailing bar dropped", Lines({u"TI   x||", u"AB   y|", u""}), {u"TI", u"AB"}, {{u"x|", u"y"}}},
      {"only trailing spaces leave a code", Lines({u" TI  x", u""}), {u"TI"}, {{u""}}},
      {"indented first line is a record of its own",
       Lines({u"    indented text", u"AN   1", u""}),
       {u"AN"},
       {{u""}, {u"1"}}},
      {"tabs are four spaces", Lines({u"TI\tx", u"\ty", u""}), {u"TI"}, {{u"x y"}}},
      {"a short tagged line ends the record, then opens an empty field",
       Lines({u"AN   1", u"TI", u""}),
       {u"AN", u"TI"},
       {{u"1", u""}, {u"", u""}}},
  };
  for (const RunCase& c : cases) {
    EXPECT_EQ(Convert(c.log, c.items, c.kind), Csv(c.items, c.rows)) << c.name;
  }
}

// Stars are looked for many characters at a time, and a field's text is
// handed to its value without a copy: neither may change what a row holds.
TEST(TaggedRun, StarsAnywhereInLongPiecesAndValuesOfEarlierRecords) {
  for (std::size_t before = 0; before <= 20; ++before) {
    const std::u16string a(before, u'a');
    const std::string log = Lines({u"TI   " + a + u"***x***", u"     *" + a, u"AB   first", u"", u"AB   second", u""});
    ASSERT_EQ(Convert(log, {u"TI", u"AB"}), Csv({u"TI", u"AB"}, {{a + u"x " + a, u"first"}, {u"", u"second"}}))
        << before;
  }
}

TEST(TaggedRun, StarsGoBeforeTheWidthChanges) {
  // No front end asks for both, but a full-width star must then stay a star.
  TempDir dir;
  ConversionSettings settings;
  settings.inputPath = dir.Write("in.log", Lines({u"TI   ＊Ａ*", u"     ｂ*＊", u""}));
  settings.outputPath = dir.File("out.csv");
  settings.databaseKind = DatabaseKind::Jois;
  settings.deleteStars = true;
  settings.toHalfWidth = true;
  ItemTable table;
  table.codes = {u"TI"};
  RunTaggedConversion(settings, table);
  EXPECT_EQ(ReadBytes(settings.outputPath), "\"TI\"\r\n\"*A b*\"\r\n");
}

TEST(TaggedRun, TheLastLineOfTheLogIsKept) {
  // The old reader stopped before examining the last line; these logs lose nothing.
  EXPECT_EQ(Convert("AN   1", {u"AN"}), Csv({u"AN"}, {{u"1"}}));
  EXPECT_EQ(Convert("AN   1\r\n", {u"AN"}), Csv({u"AN"}, {{u"1"}}));
  EXPECT_EQ(Convert(Lines({u"AN   1", u"TI   last"}, false), {u"AN", u"TI"}), Csv({u"AN", u"TI"}, {{u"1", u"last"}}));
  EXPECT_EQ(Convert(Lines({u"AN   1", u"", u"AN   2"}, false), {u"AN"}), Csv({u"AN"}, {{u"1"}, {u"2"}}));
  EXPECT_EQ(Convert(Lines({u"RE", u"(1) x"}, false), {u"RE"}), Csv({u"RE"}, {{u"(1) x"}}));
}

TEST(TaggedRun, BlankLinesAtTheEndAddNoRow) {
  EXPECT_EQ(Convert(Lines({u"AN   1", u"", u"", u"   "}), {u"AN"}), Csv({u"AN"}, {{u"1"}}));
  EXPECT_EQ(Convert("", {u"AN"}), Csv({u"AN"}, {}));
}

TEST(TaggedRun, InvalidBytesReachTheCsvUnchanged) {
  TempDir dir;
  ConversionSettings settings;
  settings.inputPath = dir.Write("in.log", "TI   a\x80z\x81\r\n");
  settings.outputPath = dir.File("out.csv");
  settings.databaseKind = DatabaseKind::Stn;
  ItemTable table;
  table.codes = {u"TI"};
  RunTaggedConversion(settings, table);
  EXPECT_EQ(ReadBytes(settings.outputPath), "\"TI\"\r\n\"a\x80z\x81\"\r\n");
}

TEST(TaggedRun, UnreadableLogLeavesTheOutputAlone) {
  TempDir dir;
  ConversionSettings settings;
  settings.inputPath = dir.File("missing.log");
  settings.outputPath = dir.Write("out.csv", "previous");
  ItemTable table;
  table.codes = {u"TI"};
  EXPECT_THROW(RunTaggedConversion(settings, table), IoError);
  EXPECT_EQ(ReadBytes(settings.outputPath), "previous");
}

TEST(TaggedRun, CancelledRunLeavesNoCsv) {
  struct Canceller : EventListener {
    void OnProgress(std::uint64_t, std::uint64_t) override { throw RunCancelled(); }
  } canceller;
  TempDir dir;
  ConversionSettings settings;
  settings.inputPath = dir.Write("in.log", Lines({u"AN   1", u"", u"AN   2", u""}));
  settings.outputPath = dir.File("out.csv");
  ItemTable table;
  table.codes = {u"AN"};
  EXPECT_THROW(RunTaggedConversion(settings, table, &canceller), RunCancelled);
  EXPECT_FALSE(std::filesystem::exists(settings.outputPath));
}

TEST(TaggedRun, OptionsFollowTheService) {
  struct OptionCase {
    DatabaseKind kind;
    bool stars, width;
  };
  const OptionCase cases[] = {{DatabaseKind::Stn, true, false},
                              {DatabaseKind::Dialog, false, false},
                              {DatabaseKind::Jois, false, true},
                              {DatabaseKind::Patolis, false, true}};
  for (const OptionCase& c : cases) {
    ConversionSettings s;
    s.databaseKind = c.kind;
    SetRunOptions(s, true, true);
    EXPECT_EQ(s.deleteStars, c.stars);
    EXPECT_EQ(s.toHalfWidth, c.width);
    SetRunOptions(s, false, false);
    EXPECT_FALSE(s.deleteStars || s.toHalfWidth);
  }
}

}  // namespace
}  // namespace trovlin

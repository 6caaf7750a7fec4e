#include "tagged/tagged_run.h"

#include <gtest/gtest.h>

#include "session/log_session.h"
#include "support/temp_dir.h"
#include "text/cp932.h"

namespace trovlin::testing {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// The CSV of items and rows as the writer must lay it out.
std::u16string Csv(const std::vector<std::u16string>& items, Rows rows) {
  rows.insert(rows.begin(), items);
  std::u16string out;
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) out += (i ? u",\"" : u"\"") + row[i] + u"\"";
    out += u"\r\n";
  }
  return out;
}

// The run as the window starts it, with both option check marks set: STN
// drops stars, JOIS narrows.
std::u16string Convert(const std::string& log, const std::vector<std::u16string>& items,
                       DatabaseKind kind = DatabaseKind::Stn) {
  TempDir dir;
  ConversionSettings settings = LogSettings(dir, log, kind);
  SetRunOptions(settings, true, true);
  RunTaggedConversion(settings, ItemTable{items, {}});
  std::u16string text;
  DecodeCp932(ReadBytes(settings.outputPath), text);
  return text;
}

TEST(TaggedRun, ReadsRecordsAsTheRulesSay) {
  const struct {
    std::string log;  // code page 932 bytes
    std::vector<std::u16string> items;
    Rows rows;
    DatabaseKind kind = DatabaseKind::Stn;
  } cases[] = {
      {"AN   2005:12\r\nTI   Catalyst for\r\n     olefin polymerization\r\n",
       {u"AN", u"TI"},
       {{u"2005:12", u"Catalyst for olefin polymerization"}}},
      {"TI   abc  \r\n     def\r\n", {u"TI"}, {{u"abc   def"}}},  // trailing spaces of a piece stay
      {"TI   one\r\nAB   x\r\nTI   two\r\n", {u"TI"}, {{u"one\ntwo"}}},
      {"TI   t\r\n", {u"TI", u"TI"}, {{u"t", u""}}},  // a code listed twice fills the first only
      {"=> d l1 1-2\r\n\r\nAN   1\r\n\r\nAN   2\r\n", {u"AN"}, {{u""}, {u"1"}, {u"2"}}},  // a block is a row
      // RE lines are joined with LF, later ones trimmed; its quotes become apostrophes.
      {"AN   1\r\nRE\r\n  (1) first \"entry\"\r\n    (2) second entry\r\n",
       {u"AN", u"RE"},
       {{u"1", u"  (1) first 'entry'\n(2) second entry"}}},
      {"AN   1\r\nRE \r\n(1) x\r\n", {u"AN", u"RE"}, {{u"1", u""}, {u"", u"(1) x"}}},
      {"RE\r\nabcd\r\nabc\r\n", {u"RE"}, {{u"abcd"}, {u""}}},  // four characters belong to RE, three end it
      // A short line ends the record and starts the next, also a tagged one.
      {"AN   1\r\nab\r\nTI   t\r\n", {u"AN", u"TI"}, {{u"1", u""}, {u"", u"t"}}},
      {"AN   1\r\nTI\r\n", {u"AN", u"TI"}, {{u"1", u""}, {u"", u""}}},
      {"TI   ***catalyst*** for *a*\r\nRE\r\n*ref*\r\n", {u"TI", u"RE"}, {{u"catalyst for a", u"*ref*"}}},
      {"TI   *a*\r\n", {u"TI"}, {{u"*a*"}}, DatabaseKind::Jois},
      {Sjis(u"TI   ＡＢＣ１２３　カガ"), {u"TI"}, {{u"ABC123 ｶｶﾞ"}}, DatabaseKind::Jois},
      {Sjis(u"TI   ＡＢＣ"), {u"TI"}, {{u"ＡＢＣ"}}},
      {Sjis(u"TI-  *Ａ*|"), {u"TI-"}, {{u"*Ａ*"}}, DatabaseKind::Dialog},
      {"TI   x||\r\nAB   y|\r\n", {u"TI", u"AB"}, {{u"x|", u"y"}}},  // one trailing bar goes
      {" TI  x\r\n", {u"TI"}, {{u""}}},                              // only trailing spaces leave a code
      {"    indented text\r\nAN   1\r\n", {u"AN"}, {{u""}, {u"1"}}},
      {"TI\tx\r\n\ty\r\n", {u"TI"}, {{u"x y"}}},                // tabs are four spaces
      {"TI   a\x80z\x81\r\n", {u"TI"}, {{u"a\xDC80z\xDC81"}}},  // invalid bytes reach the CSV unchanged
      // The log is read as if one more empty line followed: its last line is kept.
      {"AN   1\r\nTI   last", {u"AN", u"TI"}, {{u"1", u"last"}}},
      {"AN   1\r\n\r\nAN   2", {u"AN"}, {{u"1"}, {u"2"}}},
      {"RE\r\n(1) x", {u"RE"}, {{u"(1) x"}}},
      {"AN   1\r\n\r\n\r\n   \r\n", {u"AN"}, {{u"1"}}},
      {"", {u"AN"}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(c.log, c.items, c.kind), Csv(c.items, c.rows)) << c.log;
}

// Stars are looked for many characters at a time, and a field's text is
// handed to its value without a copy: neither may change what a row holds.
TEST(TaggedRun, StarsAnywhereInLongPiecesAndValuesOfEarlierRecords) {
  for (std::size_t before = 0; before <= 20; ++before) {
    const std::u16string a(before, u'a');
    const std::string log = Sjis(u"TI   " + a + u"***x***\r\n     *" + a + u"\r\nAB   first\r\n\r\nAB   second\r\n");
    ASSERT_EQ(Convert(log, {u"TI", u"AB"}), Csv({u"TI", u"AB"}, {{a + u"x " + a, u"first"}, {u"", u"second"}}))
        << before;
  }
}

}  // namespace
}  // namespace trovlin::testing

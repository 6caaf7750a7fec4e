#include "patolis/patolis_text.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

TEST(AppendContinuationLinesTest, JoinsTrimmedLinesThatBeginWithTwoSpaces) {
  struct Case {
    std::u16string following;  // the log after the current line "first"
    std::u16string value, line;
    bool ended;
  } cases[] = {
      {u"  DEF  \r\nGHI\r\n", u"ABCDEF", u"GHI", false},
      {u"  DEF\r\n  G H \r\nJ\r\nK\r\n", u"ABCDEFG H", u"J", false},
      {u" DEF\r\nGHI\r\n", u"ABC", u" DEF", false},          // one space: not a continuation
      {u"　DEF\r\nGHI\r\n", u"ABC", u"　DEF", false},        // nor an ideographic space
      {u"   \r\nGHI\r\n", u"ABC", u"GHI", false},            // three spaces continue with nothing
      {u"  　DEF　 \r\nG\r\n", u"ABC　DEF　", u"G", false},  // only U+0020 is trimmed
      {u"  DEF\r\n", u"ABCDEF", u"  DEF", true},             // the last line stays current
      {u"", u"ABC", u"first", true},                         // at the end nothing changes
  };
  for (const Case& c : cases) {
    testing::TempDir dir;
    LogReader log(dir.Write("a.log", testing::Sjis(u"first\r\n" + c.following)));
    std::u16string value = u"ABC", line;
    log.ReadLogLine(line);
    EXPECT_EQ(AppendContinuationLines(log, value, line), c.ended);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(line, c.line);
  }
}

TEST(CollapseSpacesTest, RunsOfSpacesShrinkToAQuarterRoundedUp) {
  const std::pair<std::size_t, std::size_t> runs[] = {{1, 1}, {2, 1}, {4, 1}, {5, 2}, {8, 2}, {9, 3}, {12, 3}, {13, 4}};
  for (const auto& [run, kept] : runs) {
    std::u16string value = u"a" + std::u16string(run, u' ') + u"b";
    CollapseSpaces(value);
    EXPECT_EQ(value, u"a" + std::u16string(kept, u' ') + u"b");
  }
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"  x　　z", u" x　　z"},
      {u"", u""},
      {u" ", u" "},
      {u"  ", u" "},
      {u"a b", u"a b"},
      {u"a b  c     d ", u"a b c  d "},
      {u"     ", u"  "},
      {u"ab  ", u"ab "},
  };
  for (const auto& [before, after] : cases) {
    std::u16string value = before;
    CollapseSpaces(value);
    EXPECT_EQ(value, after);
  }
}

TEST(NarrowAndCollapseSpacesTest, NarrowsThenCollapses) {
  // The ideographic spaces become half-width first and are then collapsed with the others.
  std::u16string value = u"ＡＢＣ　　１２";
  NarrowAndCollapseSpaces(value);
  EXPECT_EQ(value, u"ABC 12");
  value = u"ガイド　あ漢（Ｘ）";
  NarrowAndCollapseSpaces(value);
  EXPECT_EQ(value, u"ｶﾞｲﾄﾞ あ漢(X)");
  value = u"Ａ　 　 　Ｂ";
  NarrowAndCollapseSpaces(value);
  EXPECT_EQ(value, u"A  B");
}

}  // namespace
}  // namespace trovlin

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
    EXPECT_EQ(CollapseSpaces(u"a" + std::u16string(run, u' ') + u"b"), u"a" + std::u16string(kept, u' ') + u"b");
  }
  EXPECT_EQ(CollapseSpaces(u"  x　　z"), u" x　　z");
}

TEST(NarrowAndCollapseSpacesTest, NarrowsTheVariableAndReturnsItCollapsed) {
  std::u16string value = u"ＡＢＣ　　１２";
  EXPECT_EQ(NarrowAndCollapseSpaces(value), u"ABC 12");
  EXPECT_EQ(value, u"ABC  12");
  value = u"ガイド　あ漢（Ｘ）";
  EXPECT_EQ(NarrowAndCollapseSpaces(value), u"ｶﾞｲﾄﾞ あ漢(X)");
}

}  // namespace
}  // namespace trovlin

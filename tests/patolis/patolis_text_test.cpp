#include "patolis/patolis_text.h"

#include <gtest/gtest.h>

#include "patolis/text_cuts.h"
#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

using Piece = std::optional<std::u16string_view>;
constexpr std::u16string_view kLine = u"ab(cd)ef";

TEST(TextCutsTest, StartsBelowOneAndNegativeLengthsHaveNoResult) {
  const std::tuple<std::u16string_view, Position, std::optional<Position>> finds[] = {
      {u"(", 1, 3},  {u"(", 4, 0},  {u"f", 8, 8},   {u"f", 9, 0}, {u"(", 100, 0}, {u"(", 0, std::nullopt},
      {u"ef", 7, 7}, {u"ef", 8, 0}, {u"cd)", 1, 4}, {u"a", 1, 1}, {u"a", 2, 0}};
  for (const auto& [marker, start, found] : finds) EXPECT_EQ(Find(kLine, marker, start), found) << start;
  const std::tuple<Position, Position, Piece> cuts[] = {{3, 2, u"(c"},        {3, 4, u"(cd)"},      {7, 9, u"ef"},
                                                        {9, 1, u""},          {20, 4, u""},         {1, 0, u""},
                                                        {0, 1, std::nullopt}, {1, -1, std::nullopt}};
  for (const auto& [start, length, piece] : cuts) EXPECT_EQ(Cut(kLine, start, length), piece) << start;
  EXPECT_EQ(Rest(kLine, 2), Piece(u"b(cd)ef"));
  EXPECT_EQ(Rest(kLine, 9), Piece(u""));
  EXPECT_EQ(Rest(kLine, 0), std::nullopt);
  EXPECT_EQ(Trim(Piece(u"  　a b　 ")), Piece(u"　a b　"));  // only U+0020 goes

  // A step without a result leaves its target alone.
  Position a = 12;
  SetPosition(a, Find(kLine, u"(", 0), 1);
  EXPECT_EQ(a, 12);
  std::u16string cell = u"a longer value than the next";
  SetCell(cell, Cut(kLine, 1, -1));
  EXPECT_EQ(cell, u"a longer value than the next");
  SetCell(cell, Cut(kLine, 3, 4));
  EXPECT_EQ(cell, u"(cd)");
}

TEST(AppendContinuationLinesTest, JoinsTrimmedLinesThatBeginWithTwoSpaces) {
  const struct {
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
      {u"", u"ABC", u"first", true}                          // at the end nothing changes
  };
  for (const auto& c : cases) {
    TempDir dir;
    LogReader log(dir.Write("a.log", Sjis(u"first\r\n" + c.following)));
    std::u16string value = u"ABC", line;
    log.ReadLogLine(line);
    EXPECT_EQ(AppendContinuationLines(log, value, line), c.ended);
    EXPECT_EQ(std::pair(value, line), std::pair(c.value, c.line));
  }
}

TEST(CollapseSpacesTest, RunsOfSpacesShrinkToAQuarterRoundedUp) {
  const std::pair<std::size_t, std::size_t> runs[] = {{1, 1}, {2, 1}, {4, 1}, {5, 2}, {8, 2}, {9, 3}, {12, 3}, {13, 4}};
  for (const auto& [run, kept] : runs) {
    std::u16string value = u"a" + std::u16string(run, u' ') + u"b";
    CollapseSpaces(value);
    EXPECT_EQ(value, u"a" + std::u16string(kept, u' ') + u"b");
  }
  // Narrowing comes first: ideographic spaces then collapse with the others.
  const std::tuple<std::u16string, std::u16string, std::u16string> cases[] = {
      // text, collapsed, narrowed and collapsed
      {u"  x　　z", u" x　　z", u" x z"},
      {u"", u"", u""},
      {u"  ", u" ", u" "},
      {u"a b  c     d ", u"a b c  d ", u"a b c  d "},
      {u"ab  ", u"ab ", u"ab "},
      {u"Ａ　 　 　Ｂ", u"Ａ　 　 　Ｂ", u"A  B"},
      {u"ガイド　あ漢（Ｘ）", u"ガイド　あ漢（Ｘ）", u"ｶﾞｲﾄﾞ あ漢(X)"}};
  for (const auto& [text, collapsed, narrowed] : cases) {
    std::u16string value = text;
    CollapseSpaces(value);
    EXPECT_EQ(value, collapsed);
    value = text;
    NarrowAndCollapseSpaces(value);
    EXPECT_EQ(value, narrowed);
  }
}

}  // namespace
}  // namespace trovlin::testing

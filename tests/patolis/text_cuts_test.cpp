#include "patolis/text_cuts.h"

#include <gtest/gtest.h>

namespace trovlin {
namespace {

using Piece = std::optional<std::u16string_view>;
constexpr std::u16string_view kLine = u"ab(cd)ef";

TEST(TextCutsTest, StartsBelowOneAndNegativeLengthsHaveNoResult) {
  EXPECT_EQ(Find(kLine, u"(", 1), 3);
  EXPECT_EQ(Find(kLine, u"(", 4), 0);
  EXPECT_EQ(Find(kLine, u"f", 8), 8);
  EXPECT_EQ(Find(kLine, u"(", 100), 0);
  EXPECT_EQ(Find(kLine, u"(", 0), std::nullopt);
  EXPECT_EQ(Cut(kLine, 3, 2), Piece(u"(c"));
  EXPECT_EQ(Cut(kLine, 7, 9), Piece(u"ef"));
  EXPECT_EQ(Cut(kLine, 9, 1), Piece(u""));
  EXPECT_EQ(Cut(kLine, 1, 0), Piece(u""));
  EXPECT_EQ(Cut(kLine, 0, 1), std::nullopt);
  EXPECT_EQ(Cut(kLine, 1, -1), std::nullopt);
  EXPECT_EQ(Rest(kLine, 7), Piece(u"ef"));
  EXPECT_EQ(Rest(kLine, 0), std::nullopt);
  EXPECT_EQ(Trim(Piece(u"  　a b　 ")), Piece(u"　a b　"));  // only U+0020 goes

  Position a = 12;
  SetPosition(a, Find(kLine, u"(", 0), 1);
  EXPECT_EQ(a, 12);
  std::u16string cell = u"kept";
  SetCell(cell, Cut(kLine, 1, -1));
  EXPECT_EQ(cell, u"kept");
}

TEST(TextCutsTest, FindAndSetCellAtTheEdges) {
  EXPECT_EQ(Find(kLine, u"ef", 7), 7);
  EXPECT_EQ(Find(kLine, u"ef", 8), 0);
  EXPECT_EQ(Find(kLine, u"cd)", 1), 4);
  EXPECT_EQ(Find(kLine, u"f", 9), 0);  // start right after the end
  EXPECT_EQ(Find(kLine, u"a", 1), 1);
  EXPECT_EQ(Find(kLine, u"a", 2), 0);

  std::u16string cell = u"a longer value than the next";
  SetCell(cell, Cut(kLine, 3, 4));
  EXPECT_EQ(cell, u"(cd)");
  SetCell(cell, Cut(kLine, 20, 4));
  EXPECT_EQ(cell, u"");
  SetCell(cell, Rest(kLine, 2));
  EXPECT_EQ(cell, u"b(cd)ef");
}

TEST(TextCutsTest, PositionsPastSixteenBitsWork) {
  const std::u16string line = std::u16string(40000, u'x') + u"[abc]";
  EXPECT_EQ(Find(line, u"]", 40001), 40005);
  EXPECT_EQ(Cut(line, 40002, 3), Piece(u"abc"));
}

}  // namespace
}  // namespace trovlin

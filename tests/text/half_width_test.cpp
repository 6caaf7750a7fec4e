#include "text/half_width.h"

#include <gtest/gtest.h>

namespace trovlin {
namespace {

struct WidthCase {
  std::u16string_view full;
  std::u16string_view half;
};

TEST(HalfWidth, FollowsTheJapaneseMapping) {
  const WidthCase cases[] = {
      {u"ＡＢＣ１２３ａｚ", u"ABC123az"},
      {u"！＂＃＼～", u"!\"#\\~"},
      {u"a\u3000b", u"a b"},
      {u"カタカナァ", u"ｶﾀｶﾅｧ"},
      {u"ガパヴ", u"ｶﾞﾊﾟｳﾞ"},
      {u"。「」、・ー゛゜", u"｡｢｣､･ｰﾞﾟ"},
      {u"ひらがな漢字", u"ひらがな漢字"},
      // No half-width form at all.
      {u"ヵヶヮヰヱ", u"ヵヶヮヰヱ"},
      // Half-width forms exist but would not survive code page 932.
      {u"￥￣￠←■", u"￥￣￠←■"},
      {u"plain ASCII *", u"plain ASCII *"},
      {u"", u""},
  };
  for (const WidthCase& c : cases) {
    std::u16string text(c.full);
    ToHalfWidthInPlace(text);
    EXPECT_EQ(text, c.half);
  }
}

}  // namespace
}  // namespace trovlin

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

// Runs of characters below U+3000 are copied many at a time: what follows
// them must be narrowed at every place, and appending keeps what was there.
TEST(HalfWidth, EveryPlaceInALongTextNarrowsAlike) {
  const WidthCase pieces[] = {
      {u"ガ", u"ｶﾞ"}, {u"Ａ", u"A"}, {u"\u3000", u" "}, {u"漢", u"漢"}, {u"\u2FFF", u"\u2FFF"}, {u"パＡ", u"ﾊﾟA"},
  };
  for (const WidthCase& piece : pieces) {
    for (std::size_t before = 0; before <= 20; ++before) {
      for (std::size_t after : {0, 1, 7, 8, 9, 17}) {
        const std::u16string full =
            std::u16string(before, u'x') + std::u16string(piece.full) + std::u16string(after, u'ヤ');
        const std::u16string half =
            std::u16string(before, u'x') + std::u16string(piece.half) + std::u16string(after, u'ﾔ');
        std::u16string appended = u"前";
        AppendHalfWidth(full, appended);
        ASSERT_EQ(appended, u"前" + half) << before << " " << after;
        std::u16string inPlace = full;
        ToHalfWidthInPlace(inPlace);
        ASSERT_EQ(inPlace, half) << before << " " << after;
      }
    }
  }
}

TEST(HalfWidth, VoicedKatakanaAmongOtherNarrowings) {
  std::u16string text = u"ＡカガキギＢ　パ";
  ToHalfWidthInPlace(text);
  EXPECT_EQ(text, u"AｶｶﾞｷｷﾞB ﾊﾟ");
}

}  // namespace
}  // namespace trovlin

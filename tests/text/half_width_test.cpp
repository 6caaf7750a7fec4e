#include "text/half_width.h"

#include <gtest/gtest.h>

namespace trovlin {
namespace {

// Both forms of the narrowing; appending keeps what was there.
void ExpectNarrowed(std::u16string_view full, std::u16string_view half) {
  std::u16string appended = u"前";
  AppendHalfWidth(full, appended);
  ASSERT_EQ(appended, u"前" + std::u16string(half));
  std::u16string inPlace(full);
  ToHalfWidthInPlace(inPlace);
  ASSERT_EQ(inPlace, half);
}

TEST(HalfWidth, FollowsTheJapaneseMapping) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"ＡＢＣ１２３ａｚ", u"ABC123az"},
      {u"！＂＃＼～", u"!\"#\\~"},
      {u"a\u3000b", u"a b"},
      {u"カタカナァ", u"ｶﾀｶﾅｧ"},
      {u"ガパヴ", u"ｶﾞﾊﾟｳﾞ"},
      {u"ＡカガキギＢ　パ", u"AｶｶﾞｷｷﾞB ﾊﾟ"},
      {u"。「」、・ー゛゜", u"｡｢｣､･ｰﾞﾟ"},
      {u"ひらがな漢字", u"ひらがな漢字"},
      {u"ヵヶヮヰヱ", u"ヵヶヮヰヱ"},  // no half-width form at all
      {u"￥￣￠←■", u"￥￣￠←■"},      // half-width forms that code page 932 would lose
      {u"plain ASCII *", u"plain ASCII *"},
      {u"", u""}};
  for (const auto& [full, half] : cases) ExpectNarrowed(full, half);
}

// Runs of characters below U+3000 are copied many at a time: what follows
// them must be narrowed at every place.
TEST(HalfWidth, EveryPlaceInALongTextNarrowsAlike) {
  const std::pair<std::u16string, std::u16string> pieces[] = {
      {u"ガ", u"ｶﾞ"}, {u"Ａ", u"A"}, {u"\u3000", u" "}, {u"漢", u"漢"}, {u"\u2FFF", u"\u2FFF"}, {u"パＡ", u"ﾊﾟA"}};
  for (const auto& [full, half] : pieces) {
    for (std::size_t before = 0; before <= 20; ++before) {
      for (std::size_t after : {0, 1, 7, 8, 9, 17}) {
        SCOPED_TRACE(std::to_string(before) + " " + std::to_string(after));
        const std::u16string x(before, u'x');
        ExpectNarrowed(x + full + std::u16string(after, u'ヤ'), x + half + std::u16string(after, u'ﾔ'));
      }
    }
  }
}

}  // namespace
}  // namespace trovlin

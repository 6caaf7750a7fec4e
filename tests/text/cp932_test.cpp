#include "text/cp932.h"

#include <gtest/gtest.h>

#include <string>

namespace trovlin {
namespace {

std::u16string Decode(std::string_view bytes, std::size_t* invalid = nullptr) {
  std::u16string out;
  std::size_t n = DecodeCp932(bytes, out);
  if (invalid != nullptr) *invalid = n;
  return out;
}

std::string Encode(std::u16string_view text) {
  std::string out;
  EncodeCp932(text, out);
  return out;
}

struct DecodeCase {
  const char* bytes;
  std::u16string_view text;
  std::size_t invalid;
};

TEST(Cp932, DecodesAsWindowsDoes) {
  const DecodeCase cases[] = {
      {"AB\tc", u"AB\tc", 0},
      {"\x82\x60\x82\x50", u"Ａ１", 0},
      {"\x88\x9F\x8C\x9F\x8D\xF5", u"亜検索", 0},
      {"\xB1\xDF", u"ｱﾟ", 0},
      {"\x81\x40", u"\u3000", 0},
      {"\x81\x96\x81\x96", u"＊＊", 0},
      {"\x87\x40", u"①", 0},  // NEC special row
      {"\x5C\x7E", u"\\~", 0},
      // A lead byte that cannot be trailed is one invalid byte; the next is read afresh.
      {"\x81 a", u"\xDC81 a", 1},
      {"x\x81", u"x\xDC81", 1},
      // A well-formed pair that the table does not map is two invalid bytes.
      {"\x85\x40z", u"\xDC85\xDC40z", 2},
      {"\xFF", u"\xDCFF", 1},
  };
  for (const DecodeCase& c : cases) {
    std::size_t invalid = 0;
    EXPECT_EQ(Decode(c.bytes, &invalid), c.text) << c.bytes;
    EXPECT_EQ(invalid, c.invalid) << c.bytes;
  }
}

TEST(Cp932, EncodesDuplicatesInTheirPreferredForm) {
  EXPECT_EQ(Decode("\xED\x40"), u"纊");
  EXPECT_EQ(Encode(u"纊"), "\xFA\x5C");
  EXPECT_EQ(Encode(u"Ａ亜ｱ\u3000"), "\x82\x60\x88\x9F\xB1\x81\x40");
}

TEST(Cp932, EveryByteSequenceSurvivesDecodeAndEncode) {
  // Each single byte, and each byte after every possible lead, comes back as
  // the same bytes, or (for the NEC/IBM duplicates) as bytes that decode to
  // the same character.
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
      if (a == 13 || b == 13) continue;  // never inside a line
      const std::u16string text = Decode(bytes);
      const std::string back = Encode(text);
      ASSERT_EQ(back.size(), bytes.size()) << a << " " << b;
      if (back != bytes) {
        ASSERT_EQ(Decode(back), text) << a << " " << b;
      }
    }
  }
}

TEST(Cp932, UnencodableCharactersBecomeQuestionMarks) {
  std::string out;
  EXPECT_EQ(EncodeCp932(u"a\u00E9b\U0001F600", out), 3u);  // é and both halves of the emoji
  EXPECT_EQ(out, "a?b??");
}

TEST(Cp932, RoundTripQuestion) {
  EXPECT_TRUE(Cp932RoundTrips(u'亜'));
  EXPECT_TRUE(Cp932RoundTrips(u'ｶ'));
  EXPECT_TRUE(Cp932RoundTrips(EscapeInvalidByte(0x81)));
  EXPECT_FALSE(Cp932RoundTrips(u'\u00A5'));  // ¥ is written as 0x5C, which reads back as "\"
  EXPECT_FALSE(Cp932RoundTrips(u'한'));
}

}  // namespace
}  // namespace trovlin

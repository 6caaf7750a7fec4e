#include "text/cp932.h"

#include <gtest/gtest.h>

#include <stdexcept>
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
  struct Case {
    std::u16string text;
    std::string out;
    std::size_t count;
  };
  const Case cases[] = {
      {u"a\u00E9b\U0001F600", "a?b?", 2},  // a character outside the BMP is one, both halves
      {u"𠮷x", "?x", 1},
      {u"\U00010000", "?", 1},     // its second half looks like an escaped byte
      {u"\xDFB7\xD842", "??", 2},  // halves out of order are two
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(EncodeCp932(c.text, out), c.count);
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(CountCp932Unencodable(c.text), c.count);
  }
}

TEST(Cp932, RoundTripQuestion) {
  EXPECT_TRUE(Cp932RoundTrips(u'亜'));
  EXPECT_TRUE(Cp932RoundTrips(u'ｶ'));
  EXPECT_TRUE(Cp932RoundTrips(EscapeInvalidByte(0x81)));
  EXPECT_FALSE(Cp932RoundTrips(u'\u00A5'));  // ¥ is written as 0x5C, which reads back as "\"
  EXPECT_FALSE(Cp932RoundTrips(u'한'));
}

// The converters take runs of ASCII many at a time: a character of any other
// kind must come out right at every place in a line, also near its end.
TEST(Cp932, EveryPlaceInALongLineDecodesAlike) {
  struct Piece {
    const char* bytes;
    std::u16string_view text;
    std::size_t invalid;
  };
  const Piece pieces[] = {
      {"\x88\x9F", u"亜", 0},
      {"\xB1", u"ｱ", 0},
      {"\x82\x60\x82\x61", u"ＡＢ", 0},
      {"\xFF", u"\xDCFF", 1},
      {"\x85\x40", u"\xDC85\xDC40", 2},
      {"\x81 ", u"\xDC81 ", 1},
      {"\t", u"\t", 0},
  };
  for (const Piece& piece : pieces) {
    for (std::size_t before = 0; before <= 40; ++before) {
      for (std::size_t after : {0, 1, 7, 8, 15, 16, 17, 33}) {
        const std::string bytes = std::string(before, 'a') + piece.bytes + std::string(after, 'b');
        const std::u16string text =
            std::u16string(before, u'a') + std::u16string(piece.text) + std::u16string(after, u'b');
        std::size_t invalid = 0;
        ASSERT_EQ(Decode(bytes, &invalid), text) << piece.bytes << " after " << before;
        ASSERT_EQ(invalid, piece.invalid) << piece.bytes << " after " << before;
      }
    }
  }
}

TEST(Cp932, ALeadByteAtTheEndOfAnyLengthIsOneInvalidByte) {
  for (std::size_t before = 0; before <= 40; ++before) {
    std::size_t invalid = 0;
    ASSERT_EQ(Decode(std::string(before, 'a') + "\x81", &invalid), std::u16string(before, u'a') + u"\xDC81");
    ASSERT_EQ(invalid, 1u);
  }
}

TEST(Cp932, DecodeAppendsToWhatIsThere) {
  std::u16string out = u"前";
  DecodeCp932(std::string(20, 'x') + "\x88\x9F", out);
  EXPECT_EQ(out, u"前" + std::u16string(20, u'x') + u"亜");
}

TEST(Cp932, EveryPlaceInALongTextEncodesAlike) {
  struct Piece {
    std::u16string_view text;
    const char* bytes;
    std::size_t unencodable;
  };
  const Piece pieces[] = {
      {u"亜", "\x88\x9F", 0}, {u"ｱ", "\xB1", 0},   {u"ＡＢ", "\x82\x60\x82\x61", 0},
      {u"\xDCFF", "\xFF", 0}, {u"\u00E9", "?", 1}, {u"\x7F", "\x7F", 0},
      {u"｡", "\xA1", 0},
  };
  for (const Piece& piece : pieces) {
    for (std::size_t before = 0; before <= 40; ++before) {
      for (std::size_t after : {0, 1, 7, 8, 15, 16, 17, 33}) {
        const std::u16string text =
            std::u16string(before, u'a') + std::u16string(piece.text) + std::u16string(after, u'b');
        std::string out = "=";
        ASSERT_EQ(EncodeCp932(text, out), piece.unencodable);
        ASSERT_EQ(out, "=" + std::string(before, 'a') + piece.bytes + std::string(after, 'b')) << before;
      }
    }
  }
}

TEST(Cp932, ReplacingEncodeSwapsOneAsciiCharacterEverywhere) {
  for (std::size_t before = 0; before <= 40; ++before) {
    const std::u16string text = std::u16string(before, u'"') + u"亜\"ｱ" + std::u16string(before % 19, u'b') + u"\"";
    std::string out = "\"";
    EXPECT_EQ(EncodeCp932Replacing(text, u'"', '\'', out), 0u);
    ASSERT_EQ(out, "\"" + std::string(before, '\'') + "\x88\x9F'\xB1" + std::string(before % 19, 'b') + "'") << before;
  }
  // The byte also goes when it stands as a kept invalid byte.
  std::string out;
  EXPECT_EQ(EncodeCp932Replacing(u"\xDC22\u00E9", u'"', '\'', out), 1u);
  EXPECT_EQ(out, "'?");
  EXPECT_THROW(EncodeCp932Replacing(u"x", u'亜', '\'', out), std::invalid_argument);
}

}  // namespace
}  // namespace trovlin

#include "text/cp932.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "text/utf8.h"

namespace trovlin {
namespace {

enum Way { kBoth, kDecodeOnly, kEncodeOnly };

struct Case {
  const char* bytes;
  std::u16string_view text;
  std::size_t invalid = 0;      // bytes decoding keeps as escaped bytes
  std::size_t unencodable = 0;  // characters encoding writes as "?"
  Way way = kBoth;
};

const Case kCases[] = {
    {"AB\tc\\~\x7F", u"AB\tc\\~\x7F"},
    {"\x82\x60\x82\x50", u"Ａ１"},
    {"\x88\x9F\x8C\x9F\x8D\xF5", u"亜検索"},
    {"\xB1\xDF\xA1", u"ｱﾟ｡"},
    {"\x81\x40\x81\x96", u"\u3000＊"},
    {"\x87\x40", u"①"},  // NEC special row
    // Duplicates decode alike and encode in their preferred form.
    {"\xED\x40", u"纊", 0, 0, kDecodeOnly},
    {"\xFA\x5C", u"纊"},
    // A lead byte that cannot be trailed is one invalid byte; the next is read afresh.
    {"\x81 a", u"\xDC81 a", 1},
    {"x\x81", u"x\xDC81", 1},
    // A well-formed pair that the table does not map is two invalid bytes.
    {"\x85\x40z", u"\xDC85\xDC40z", 2},
    {"\xFF", u"\xDCFF", 1},
    {"a?b?", u"a\u00E9b\U0001F600", 0, 2, kEncodeOnly},  // a character outside the BMP is one, both halves
    {"?x", u"𠮷x", 0, 1, kEncodeOnly},
    {"?", u"\U00010000", 0, 1, kEncodeOnly},     // its second half looks like an escaped byte
    {"??", u"\xDFB7\xD842", 0, 2, kEncodeOnly},  // halves out of order are two
};

// The converters take runs of ASCII many at a time: every case must come out
// right at every place in a line, also near its end, and after what the
// output already holds.
TEST(Cp932, ConvertsAsWindowsDoesAtEveryPlaceInALine) {
  EXPECT_FALSE(Cp932RoundTrips(u'\u00A5'));  // ¥ is written as 0x5C, which reads back as "\"
  for (const Case& c : kCases) {
    EXPECT_EQ(CountCp932Unencodable(c.text), c.unencodable) << c.bytes;
    for (std::size_t before = 0; before <= 40; ++before) {
      for (std::size_t after : {0, 1, 7, 8, 15, 16, 17, 33}) {
        // '.' after the case: no trail byte, so a lead byte last stays alone.
        const std::string bytes = std::string(before, 'a') + c.bytes + std::string(after, '.');
        const std::u16string text = std::u16string(before, u'a') + std::u16string(c.text) + std::u16string(after, u'.');
        const std::string where = std::string(c.bytes) + " at " + std::to_string(before) + "+" + std::to_string(after);
        if (c.way != kEncodeOnly) {
          std::u16string decoded = u"前";
          ASSERT_EQ(DecodeCp932(bytes, decoded), c.invalid) << where;
          ASSERT_EQ(decoded, u"前" + text) << where;
        }
        if (c.way != kDecodeOnly) {
          std::string encoded = "=";
          ASSERT_EQ(EncodeCp932(text, encoded), c.unencodable) << where;
          ASSERT_EQ(encoded, "=" + bytes) << where;
        }
      }
    }
  }
}

TEST(Cp932, EveryByteSequenceSurvivesDecodeAndEncode) {
  // Each single byte, and each byte after every possible lead, comes back as
  // the same bytes, or (for the NEC/IBM duplicates) as bytes that decode to
  // the same character.
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string bytes{static_cast<char>(a), static_cast<char>(b)};
      if (a == 13 || b == 13) continue;  // never inside a line
      std::u16string text, again;
      DecodeCp932(bytes, text);
      std::string back;
      EncodeCp932(text, back);
      ASSERT_EQ(back.size(), bytes.size()) << a << " " << b;
      DecodeCp932(back, again);
      ASSERT_EQ(again, text) << a << " " << b;
    }
  }
}

// The swap of plain text at every place in a line is the CSV writer's to test.
TEST(Cp932, ReplacingEncodeAlsoSwapsAKeptInvalidByte) {
  std::string out;
  EXPECT_EQ(EncodeCp932Replacing(u"\xDC22\u00E9\"", u'"', '\'', out), 1u);
  EXPECT_EQ(out, "'?'");
  EXPECT_THROW(EncodeCp932Replacing(u"x", u'亜', '\'', out), std::invalid_argument);
}

TEST(Utf8, LoneSurrogatesAreWrittenAsReplacementCharacters) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"a\xD800z", "a\xEF\xBF\xBDz"},
      {u"a\xDFFFz", "a\xEF\xBF\xBDz"},                  // a trail unit outside the escaped bytes
      {u"\xD83Dz\xD83D", "\xEF\xBF\xBDz\xEF\xBF\xBD"},  // a lead without its trail, also at the end
      {u"\xD83D\xDE00\xDC81", "\xF0\x9F\x98\x80\x81"}   // a pair is one character; an escaped byte goes back
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(Utf16ToUtf8(text), bytes);
  // Encoded surrogates are not UTF-8: each byte is kept as an escaped byte.
  std::u16string decoded;
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80!", decoded), 3u);
  EXPECT_EQ(decoded, u"\xDCED\xDCA0\xDC80!");
}

}  // namespace
}  // namespace trovlin

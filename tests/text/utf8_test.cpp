#include "text/utf8.h"

#include <gtest/gtest.h>

namespace trovlin {
namespace {

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

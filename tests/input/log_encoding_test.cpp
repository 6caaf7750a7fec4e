#include "input/log_encoding.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::TempDir;

TEST(LogEncoding, Utf8OnlyWhenTheLogShowsIt) {
  struct Case {
    const char* name;
    std::string bytes;
    LogEncoding encoding;
  };
  const Case cases[] = {
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "AN   1\r\n",
       LogEncoding::Utf8},
      {"byte-order mark alone", "\xEF\xBB\xBF", LogEncoding::Utf8},
      {"Japanese in UTF-8", "TI   \xE6\xA4\x9C\xE7\xB4\xA2\r\n", LogEncoding::Utf8},
      {"plain ASCII stays code page 932", "AN   1\r\nTI   x\r\n", LogEncoding::Cp932},
      {"empty", "", LogEncoding::Cp932},
      {"Japanese in code page 932", "TI   \x8C\x9F\x8D\xF5\r\n", LogEncoding::Cp932},
      {"valid UTF-8 then an invalid byte", "\xE6\xA4\x9C \x81\r\n", LogEncoding::Cp932},
      {"overlong form is not UTF-8", "\xC0\xAF", LogEncoding::Cp932},
      {"a sequence cut by the end of a whole file", "\xE6\xA4\x9C \xE6\xA4", LogEncoding::Cp932},
      {"UTF-16 little-endian mark", std::string("\xFF\xFEL\0", 4), LogEncoding::Utf16Le},
      {"UTF-16 big-endian mark", std::string("\xFE\xFF\0L", 4), LogEncoding::Utf16Be},
      {"UTF-16 without a mark is not taken for it", std::string("L\0\r\0", 4), LogEncoding::Cp932},
  };
  TempDir dir;
  for (const Case& c : cases) EXPECT_EQ(SniffLog(dir.Write("log", c.bytes)).format.encoding, c.encoding) << c.name;
}

TEST(LogEncoding, OnlyTheFirst64KiBDecide) {
  TempDir dir;
  const std::string utf8 = "\xE6\xA4\x9C";
  // Valid UTF-8 up to the window's end, then code page 932 bytes.
  EXPECT_EQ(SniffLog(dir.Write("a", utf8 + std::string(65536, 'x') + "\x81\x40")).format.encoding, LogEncoding::Utf8);
  // A three-byte character cut by the window's end.
  EXPECT_EQ(SniffLog(dir.Write("b", utf8 + std::string(65536 - 4, 'x') + utf8 + "tail")).format.encoding,
            LogEncoding::Utf8);
  // Only ASCII in the window: code page 932, whatever follows.
  EXPECT_EQ(SniffLog(dir.Write("c", std::string(65536, 'x') + utf8)).format.encoding, LogEncoding::Cp932);
}

TEST(LogEncoding, TheLineEndAndTheFactsOfARefusal) {
  struct Case {
    const char* name;
    std::string bytes;
    std::optional<LogEncoding> given;
    LogFormat format;
    std::vector<std::uint64_t> loneLfLines;
    bool nulBytes;
    bool utf16WithoutBom;
  };
  using E = LogEncoding;
  const std::string utf16le("A\0N\0\r\0\n\0x\0", 10);
  const std::string utf16be("\0A\0N\0\n\0x", 10);
  // clang-format off
  const Case cases[] = {
      {"CR LF", "a\r\nb\r\n", {}, {}, {}, false, false},
      {"LF only", "a\nb\n", {}, {.lineEnd = LineEnd::Lf}, {}, false, false},
      {"no line end at all", "abc", {}, {}, {}, false, false},
      {"lone LFs named by line, once each", "a\nb\n\r\nc\r\nd\r\n\ne\n", {}, {}, {1, 4}, false, false},
      {"LF CR pairs are not lone", "a\n\rb\n\r\n", {}, {}, {}, false, false},
      {"at most five lines", "a\r\nb\nc\r\nd\ne\r\nf\ng\r\nh\ni\r\nj\nk\r\nl\nm\r\n", {}, {}, {2, 3, 4, 5, 6}, false, false},
      {"UTF-16 decides on its text", std::string("\xFF\xFEx\0\n\0\x0D\x0A", 8), {},
       {.encoding = E::Utf16Le, .lineEnd = LineEnd::Lf}, {}, false, false},
      {"NUL bytes", std::string("L1\0ANSWER\r\n", 11), {}, {}, {}, true, false},
      {"UTF-16 without a mark", utf16le, {}, {}, {}, true, true},
      {"given UTF-16, the NULs say little-endian", utf16le, E::Utf16Le, {.encoding = E::Utf16Le}, {}, false, false},
      {"given UTF-16, the NULs say big-endian", utf16be, E::Utf16Le, {.encoding = E::Utf16Be, .lineEnd = LineEnd::Lf},
       {}, false, false},
      {"given UTF-16, the mark says big-endian", "\xFE\xFF" + utf16le, E::Utf16Le, {.encoding = E::Utf16Be}, {}, false,
       false},
  };
  // clang-format on
  TempDir dir;
  for (const Case& c : cases) {
    const LogSniff s = SniffLog(dir.Write("log", c.bytes), c.given);
    EXPECT_EQ(s.format.encoding, c.format.encoding) << c.name;
    EXPECT_EQ(s.format.lineEnd, c.format.lineEnd) << c.name;
    EXPECT_EQ(s.loneLfLines, c.loneLfLines) << c.name;
    EXPECT_EQ(s.nulBytes, c.nulBytes) << c.name;
    EXPECT_EQ(s.utf16WithoutBom, c.utf16WithoutBom) << c.name;
  }
}

}  // namespace
}  // namespace trovlin

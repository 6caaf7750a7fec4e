#include "input/log_encoding.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

// What the sniff found, in short: the encoding, then "lf" for LF line ends,
// "lone:" and the lines with a lone LF, "nul" and "utf16" for NUL bytes and
// UTF-16 without a mark.
std::string Described(const LogSniff& s) {
  static const char* const kNames[] = {"cp932", "utf8", "utf16le", "utf16be"};
  std::string d = kNames[static_cast<int>(s.format.encoding)];
  if (s.format.lineEnd == LineEnd::Lf) d += " lf";
  for (std::size_t i = 0; i < s.loneLfLines.size(); ++i)
    d += (i == 0 ? " lone:" : ",") + std::to_string(s.loneLfLines[i]);
  return d + (s.nulBytes ? " nul" : "") + (s.utf16WithoutBom ? " utf16" : "");
}

TEST(LogEncoding, WhatTheOpeningOfALogShows) {
  const std::string utf8 = "\xE6\xA4\x9C";
  const std::string x64k(65536, 'x');
  const std::string utf16le("A\0N\0\r\0\n\0x\0", 10);
  const std::optional<LogEncoding> utf16 = LogEncoding::Utf16Le;
  const struct {
    const char* name;
    std::string bytes;
    const char* found;
    std::optional<LogEncoding> given = {};
  } cases[] = {
      {"Japanese in UTF-8", "TI   " + utf8 + "\r\n", "utf8"},
      {"Japanese in code page 932", "TI   \x8C\x9F\x8D\xF5\r\n", "cp932"},
      {"valid UTF-8 then an invalid byte", utf8 + " \x81\r\n", "cp932"},
      {"overlong form", "\xC0\xAF", "cp932"},
      {"a sequence cut by the end of a whole file", utf8 + " \xE6\xA4", "cp932"},
      {"only the first 64 KiB decide", utf8 + x64k + "\x81\x40", "utf8"},
      {"a sequence cut by the window's end", utf8 + x64k.substr(4) + utf8 + "tail", "utf8"},
      {"only ASCII in the window", x64k + utf8, "cp932"},
      {"UTF-16 big-endian mark", std::string("\xFE\xFF\0L", 4), "utf16be"},
      {"no line end at all", "abc", "cp932"},
      {"lone LFs named by line, once each", "a\nb\n\r\nc\r\nd\r\n\ne\n", "cp932 lone:1,4"},
      {"LF CR pairs are not lone", "a\n\rb\n\r\n", "cp932"},
      {"at most five lines", "a\r\nb\nc\r\nd\ne\r\nf\ng\r\nh\ni\r\nj\nk\r\nl\nm\r\n", "cp932 lone:2,3,4,5,6"},
      {"UTF-16 decides on its text", std::string("\xFF\xFEx\0\n\0\x0D\x0A", 8), "utf16le lf"},
      {"UTF-16 without a mark", utf16le, "cp932 nul utf16"},
      {"given UTF-16, the NULs say little-endian", utf16le, "utf16le", utf16},
      {"given UTF-16, the NULs say big-endian", std::string("\0A\0N\0\n\0x", 8), "utf16be lf", utf16},
      {"given UTF-16, the mark says big-endian", "\xFE\xFF" + utf16le, "utf16be", utf16},
  };
  testing::TempDir dir;
  for (const auto& c : cases) EXPECT_EQ(Described(SniffLog(dir.Write("log", c.bytes), c.given)), c.found) << c.name;
}

}  // namespace
}  // namespace trovlin

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
      {"byte-order mark", "\xEF\xBB\xBF" "AN   1\r\n", LogEncoding::Utf8},
      {"byte-order mark alone", "\xEF\xBB\xBF", LogEncoding::Utf8},
      {"Japanese in UTF-8", "TI   \xE6\xA4\x9C\xE7\xB4\xA2\r\n", LogEncoding::Utf8},
      {"plain ASCII stays code page 932", "AN   1\r\nTI   x\r\n", LogEncoding::Cp932},
      {"empty", "", LogEncoding::Cp932},
      {"Japanese in code page 932", "TI   \x8C\x9F\x8D\xF5\r\n", LogEncoding::Cp932},
      {"valid UTF-8 then an invalid byte", "\xE6\xA4\x9C \x81\r\n", LogEncoding::Cp932},
      {"overlong form is not UTF-8", "\xC0\xAF", LogEncoding::Cp932},
      {"a sequence cut by the end of a whole file", "\xE6\xA4\x9C \xE6\xA4", LogEncoding::Cp932},
  };
  TempDir dir;
  for (const Case& c : cases) EXPECT_EQ(SniffLogEncoding(dir.Write("log", c.bytes)), c.encoding) << c.name;
}

TEST(LogEncoding, OnlyTheFirst64KiBDecide) {
  TempDir dir;
  const std::string utf8 = "\xE6\xA4\x9C";
  // Valid UTF-8 up to the window's end, then code page 932 bytes.
  EXPECT_EQ(SniffLogEncoding(dir.Write("a", utf8 + std::string(65536, 'x') + "\x81\x40")), LogEncoding::Utf8);
  // A three-byte character cut by the window's end.
  EXPECT_EQ(SniffLogEncoding(dir.Write("b", utf8 + std::string(65536 - 4, 'x') + utf8 + "tail")), LogEncoding::Utf8);
  // Only ASCII in the window: code page 932, whatever follows.
  EXPECT_EQ(SniffLogEncoding(dir.Write("c", std::string(65536, 'x') + utf8)), LogEncoding::Cp932);
}

}  // namespace
}  // namespace trovlin

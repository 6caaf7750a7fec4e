#include "input/open_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::Sjis;
using testing::TempDir;

TEST(OpenLog, OnlyAPatolisLogIsReadRepairedAndNoLogIsWritten) {
  struct Case {
    std::string bytes;
    DatabaseKind kind;
  };
  const Case cases[] = {
      {Sjis(u"＊＊検索回答 様式 1\n\r1 特許出願\n\rx\n\r"), DatabaseKind::Patolis},
      {"L1   ANSWER 1\n\rAN   1\n\rx\r\n", DatabaseKind::Stn},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.Write("log", c.bytes);
    const OpenedLog opened = OpenLog(path);
    EXPECT_EQ(opened.kind, c.kind);
    EXPECT_EQ(opened.format.repairLfCr, c.kind == DatabaseKind::Patolis);
    EXPECT_EQ(ReadBytes(path), c.bytes);
  }
}

TEST(OpenLog, ARefusedLogComesWithItsReason) {
  struct Case {
    const char* name;
    std::string bytes;
    Refusal refusal;
    std::uint64_t linesExamined;
    std::uint64_t shortLine;
  };
  const Case cases[] = {
      {"empty", "", Refusal::Empty, 0, 0},
      {"UTF-16 without a mark", std::string("L\0x\0\r\0\n\0", 8), Refusal::Utf16WithoutBom, 0, 0},
      {"NUL bytes", std::string("hello\0\r\nworld\r\n", 15), Refusal::NulBytes, 0, 0},
      {"no marker", "first line\r\nsecond line\r\nlast", Refusal::NoMarker, 2, 0},
      {"a short line ends the search", "first line\r\nabc\r\nDIALOG\r\nx", Refusal::NoMarker, 1, 2},
      {"a single line", "DIALOG", Refusal::NoMarker, 0, 0},
      {"recognised", "DIALOG\r\nx", Refusal::None, 0, 0},
  };
  TempDir dir;
  for (const Case& c : cases) {
    const OpenedLog opened = OpenLog(dir.Write("log", c.bytes));
    EXPECT_EQ(opened.refusal, c.refusal) << c.name;
    EXPECT_EQ(opened.linesExamined, c.linesExamined) << c.name;
    EXPECT_EQ(opened.shortLine, c.shortLine) << c.name;
  }
}

}  // namespace
}  // namespace trovlin

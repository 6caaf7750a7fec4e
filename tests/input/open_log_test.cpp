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

}  // namespace
}  // namespace trovlin

#include "input/open_log.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

// Why a log is refused is told by the CLI's messages; here: which log is
// read with the LF CR repair, and that none is written.
TEST(OpenLog, OnlyAPatolisLogIsReadRepairedAndNoLogIsWritten) {
  const std::pair<std::string, DatabaseKind> cases[] = {
      {testing::Sjis(u"＊＊検索回答 様式 1\n\r1 特許出願\n\rx\n\r"), DatabaseKind::Patolis},
      {"L1   ANSWER 1\n\rAN   1\n\rx\r\n", DatabaseKind::Stn},
  };
  testing::TempDir dir;
  for (const auto& [bytes, kind] : cases) {
    const std::string path = dir.Write("log", bytes);
    const OpenedLog opened = OpenLog(path);
    EXPECT_EQ(opened.kind, kind);
    EXPECT_EQ(opened.format.repairLfCr, kind == DatabaseKind::Patolis);
    EXPECT_EQ(testing::ReadBytes(path), bytes);
  }
}

}  // namespace
}  // namespace trovlin

// Real transcript excerpts, where the machine has them, must all load and
// convert. They are read-only: each is copied first, since loading a PATOLIS
// log may rewrite its line ends.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::TempDir;

TEST(RealSamples, EveryExcerptLoadsAndConverts) {
  const std::filesystem::path folder = std::filesystem::path(TROVLIN_SHARED_SAMPLES_DIR) / "real";
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) GTEST_SKIP() << "no real excerpts on this machine";
  int seen = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    ++seen;
    TempDir dir;
    const std::string log = dir.Write("excerpt.log", ReadBytes(entry.path().string()));
    const auto detected = RunCli({"detect", log});
    EXPECT_EQ(detected.exitCode, 0) << entry.path() << ": " << detected.err;
    const auto items = RunCli({"items", log});
    EXPECT_EQ(items.exitCode, 0) << entry.path() << ": " << items.err;
    const auto converted = RunCli({"convert", log, "-o", dir.File("out.csv")});
    EXPECT_EQ(converted.exitCode, 0) << entry.path() << ": " << converted.err;
  }
  if (seen == 0) GTEST_SKIP() << "the folder of real excerpts is empty";
}

}  // namespace
}  // namespace trovlin

#include "input/output_name.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::TempDir;

TEST(OutputName, ProposesTheLogNameWithCsv) {
  const std::pair<const char*, const char*> cases[] = {
      {"/d/result.log", "/d/result.csv"},
      {"/d/result.LOG", "/d/result.csv"},
      {"/d/result", "/d/result.csv"},
      {"/d/result.lo", "/d/result.cs"},
      {"/d/result.l", "/d/result.c"},
      {"/d/logs.2005/result.log", "/d/logs.2005/result.csv"},
      {"/d/stn.result.log", "/d/stn.result.csv"},
      {"/d/ab.x/y", "/d/ab.csv"},
      {"/d/answers.csv", "/d/answers.csv"},
      {"/tmp/trovlint001.tmp", "/tmp/trovlint001.csv"},
      // No dot with three or fewer characters after it: append.
      {"/d/page.html", "/d/page.html.csv"},
      {"/d/logs.2005/result", "/d/logs.2005/result.csv"},
      // A dot at the very end has nothing to overwrite.
      {"/d/result.", "/d/result.csv"},
      // Characters, not bytes: "ログ" is two.
      {"/d/結果.ログ", "/d/結果.cs"},
      {"/d.x/結果.ログ", "/d.x/結果.cs"},
      {"", ".csv"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ProposeOutputName(in), out) << in;
}

TEST(OutputName, SameFileByTextOrOnDisk) {
  TempDir dir;
  const std::string log = dir.Write("a.log", "x");
  EXPECT_TRUE(IsSameFile(log, log));
  EXPECT_TRUE(IsSameFile(log, dir.path() + "/./a.log"));
  std::filesystem::create_symlink(log, dir.File("link.csv"));
  EXPECT_TRUE(IsSameFile(log, dir.File("link.csv")));
  std::filesystem::create_hard_link(log, dir.File("hard.csv"));
  EXPECT_TRUE(IsSameFile(log, dir.File("hard.csv")));
  EXPECT_FALSE(IsSameFile(log, dir.File("A.log")));  // letter case names another file here
  dir.Write("b.csv", "x");
  EXPECT_FALSE(IsSameFile(log, dir.File("b.csv")));
  EXPECT_FALSE(IsSameFile(log, "-"));
}

}  // namespace
}  // namespace trovlin

#include "input/output_name.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

TEST(OutputName, ProposesTheLogNameWithCsv) {
  const std::pair<const char*, const char*> cases[] = {
      {"/d/result.log", "/d/result.csv"},
      {"/d/result.LOG", "/d/result.csv"},
      {"/d/result.lo", "/d/result.cs"},
      {"/d/result.l", "/d/result.c"},
      {"/d/stn.result.log", "/d/stn.result.csv"},
      {"/d/ab.x/y", "/d/ab.csv"},
      // No dot with three or fewer characters after it: append.
      {"/d/page.html", "/d/page.html.csv"},
      {"/d/logs.2005/result", "/d/logs.2005/result.csv"},
      {"/d/result.", "/d/result.csv"},
      // Characters, not bytes: "ログ" is two, and an invalid byte is one.
      {"/d.x/結果.ログ", "/d.x/結果.cs"},
      {"/d/r.\xE3\x83x", "/d/r.csv"},
      {"", ".csv"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ProposeOutputName(in), out) << in;
  // A workbook takes the log's name with its own extension.
  const std::pair<const char*, const char*> books[] = {{"/d/result.log", "/d/result.xlsx"},
                                                       {"/d/result.l", "/d/result.xlsx"},
                                                       {"/d/logs.2005/result", "/d/logs.2005/result.xlsx"}};
  for (const auto& [in, out] : books) EXPECT_EQ(ProposeOutputName(in, OutputFormat::Xlsx), out) << in;
  EXPECT_EQ(std::pair(OutputFormatFor("/d/a.XLSX"), OutputFormatFor("/d/a.xlsx.csv")),
            std::pair(OutputFormat::Xlsx, OutputFormat::Csv));
}

TEST(OutputName, SameFileByTextOrOnDisk) {
  TempDir dir;
  const std::string log = dir.Write("a.log", "x");
  std::filesystem::create_symlink(log, dir.File("link.csv"));
  std::filesystem::create_hard_link(log, dir.File("hard.csv"));
  for (const std::string& same : {log, dir.path() + "/./a.log", dir.File("link.csv"), dir.File("hard.csv")}) {
    EXPECT_TRUE(IsSameFile(log, same)) << same;
  }
  // Letter case names another file here.
  for (const std::string& other : {dir.File("A.log"), dir.Write("b.csv", "x"), std::string("-")}) {
    EXPECT_FALSE(IsSameFile(log, other)) << other;
  }
}

}  // namespace
}  // namespace trovlin::testing

// Batches of logs and saved item lists through trovlin-cli.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::TempDir;

const std::string kSamples = TROVLIN_SAMPLES_DIR;

TEST(Batch, ConvertsEachLogAndSkipsTheBrokenOne) {
  TempDir in;
  TempDir out;
  const std::string stn = in.Write("stn.log", ReadBytes(kSamples + "/stn_sample.log"));
  const std::string broken = in.Write("notes.txt", "just some notes\r\nnothing here\r\n");
  const std::string dialog = in.Write("dialog.log", ReadBytes(kSamples + "/dialog_sample.log"));
  const auto r = RunCli({"convert", stn, broken, dialog, "--out-dir", out.path(), "--items", "TI"});
  EXPECT_EQ(r.exitCode, 2);
  const std::regex expected(std::regex_replace(stn, std::regex("[.]"), "[.]") +
                            ": STN, 4 record\\(s\\), 4 row\\(s\\), [0-9]+[.][0-9]{2} s\n" +
                            "trovlin-cli: " + std::regex_replace(broken, std::regex("[.]"), "[.]") +
                            ": 検索結果ログファイルを指定してください\n" +
                            "trovlin-cli: " + std::regex_replace(broken, std::regex("[.]"), "[.]") +
                            ": no STN, DIALOG, JOIS or PATOLIS marker in the first line\n" +
                            std::regex_replace(broken, std::regex("[.]"), "[.]") + ": failed, [0-9]+[.][0-9]{2} s\n" +
                            std::regex_replace(dialog, std::regex("[.]"), "[.]") +
                            ": DIALOG, 3 record\\(s\\), 3 row\\(s\\), [0-9.]+ s\n");
  EXPECT_TRUE(std::regex_match(r.err, expected)) << r.err;
  EXPECT_EQ(ReadBytes(out.File("stn.csv")).substr(0, 6), "\"TI\"\r\n");
  EXPECT_TRUE(std::filesystem::exists(out.File("dialog.csv")));
  EXPECT_FALSE(std::filesystem::exists(out.File("notes.csv")));
  EXPECT_FALSE(std::filesystem::exists(in.File("stn.csv")));
}

TEST(Batch, AllGoodLogsExitZero) {
  TempDir out;
  const auto r =
      RunCli({"convert", kSamples + "/jois_sample.log", kSamples + "/patolis_layout1.log", "--out-dir", out.path()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(out.File("jois_sample.csv")));
  EXPECT_TRUE(std::filesystem::exists(out.File("patolis_layout1.csv")));
}

TEST(Batch, UsageAndMissingFolder) {
  const std::string log = kSamples + "/stn_sample.log";
  EXPECT_EQ(RunCli({"convert", log, log}).exitCode, 1);
  EXPECT_EQ(RunCli({"convert", log, "--out-dir", "/tmp", "-o", "x.csv"}).exitCode, 1);
  TempDir dir;
  const auto r = RunCli({"convert", log, "--out-dir", dir.File("missing")});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "trovlin-cli: cannot write into the folder '" + dir.File("missing") + "': it is not a folder\n");
}

TEST(ItemsFile, ColumnsComeFromTheSavedListAndMissingCodesStayEmpty) {
  TempDir dir;
  const std::string preset = dir.Write("items.txt", "trovlin-items 1\nPY\t*\nAN\t*\nXX\t\n");
  const std::string log = kSamples + "/jois_sample.log";
  const auto r = RunCli({"convert", log, "-o", "-", "--items-file", preset});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "\"PY\",\"AN\",\"XX\"\r\n\"2005\",\"05A0123456\",\"\"\r\n\"2004\",\"04A0987654\",\"\"\r\n");
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
            "trovlin-cli: warning: the first answer of " + log + " lacks XX; their columns stay empty\n");
}

TEST(ItemsFile, BadListsAreInputProblems) {
  TempDir dir;
  const std::string log = kSamples + "/stn_sample.log";
  const std::string bad = dir.Write("bad.txt", "AN\n");
  const auto r = RunCli({"convert", log, "-o", "-", "--items-file", bad});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "trovlin-cli: cannot load the item list '" + bad +
                       "': line 1: not a Trovlin item list (it must begin with \"trovlin-items 1\")\n");
  EXPECT_EQ(RunCli({"convert", log, "--items-file", bad, "--item", "AN"}).exitCode, 1);
}

}  // namespace
}  // namespace trovlin

// trovlin-cli as other tools call it: the real binary, real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::Sjis;
using testing::TempDir;

const std::string kSamples = TROVLIN_SAMPLES_DIR;

TEST(Cli, DetectNamesTheService) {
  const std::pair<const char*, const char*> cases[] = {
      {"stn_sample.log", "STN\n"}, {"dialog_sample.log", "DIALOG\n"}, {"jois_sample.log", "JOIS\n"}};
  for (const auto& [sample, name] : cases) {
    const auto r = RunCli({"detect", kSamples + "/" + sample});
    EXPECT_EQ(r.exitCode, 0) << sample;
    EXPECT_EQ(r.out, name);
  }
}

TEST(Cli, UnrecognisedAndUnreadableLogsAreInputProblems) {
  TempDir dir;
  const std::string plain = dir.Write("plain.txt", "hello world\r\nsecond line\r\n");
  for (const char* command : {"detect", "items", "convert"}) {
    const auto r = RunCli({command, plain});
    EXPECT_EQ(r.exitCode, 2) << command;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "trovlin-cli: 検索結果ログファイルを指定してください\n");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("plain.csv")));
  const auto missing = RunCli({"detect", dir.File("missing.log")});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "trovlin-cli: cannot open the log '" + dir.File("missing.log") + "': No such file or directory\n");
}

TEST(Cli, ItemsListsCodesAndMarks) {
  const auto r = RunCli({"items", kSamples + "/stn_sample.log"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "L1\t*\nAN\t*\nDN\t*\nTI\t*\nIN\t*\nPA\t*\nSO\t*\nDT\t*\nLA\t*\nIC\t*\nPI\t\nPRAI\t\nAB\t*\n"
            "RE.C\t*\nRE\t\n");
}

TEST(Cli, ConvertWritesTheProposedFileByDefault) {
  TempDir dir;
  const std::string log = CopySample(dir, "dialog_sample.log");
  const auto r = RunCli({"convert", log, "--items", "TI-,PN-"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "DIALOG: 3 row(s) of 2 column(s) written to " + dir.File("dialog_sample.csv") + "\n");
  EXPECT_EQ(ReadBytes(dir.File("dialog_sample.csv")),
            "\"TI-\",\"PN-\"\r\n"
            "\"Catalyst for olefin polymerization contains transition metal compound\","
            "\"JP 2005126543 A 20050519 200535 B\"\r\n"
            "\"Propylene polymer production using metallocene catalyst\",\"WO 2005042580 A1 20050512 200531 E\"\r\n"
            "\"\",\"\"\r\n");
}

TEST(Cli, ConvertToStandardOutputWithOptions) {
  const std::string log = kSamples + "/stn_sample.log";
  const std::string rows =
      "\"2005:412345  CAPLUS\",\"Supported %catalyst% for olefin %polymerization% and process for producing "
      "polyolefin with it\"\r\n"
      "\"2005:398765  CAPLUS\",\"Propylene %polymerization% with metallocene %catalyst%\"\r\n"
      "\"2004:998877  CAPLUS\",\"Review of single-site %catalysts%\"\r\n"
      "\"\",\"\"\r\n";
  auto expect = [&](const std::string& stars) {
    std::string out = "\"AN\",\"TI\"\r\n";
    for (char c : rows) {
      if (c == '%') {
        out += stars;
      } else {
        out += c;
      }
    }
    return out;
  };
  const auto plain = RunCli({"convert", log, "-o", "-", "--item", "AN", "--item", "TI"});
  EXPECT_EQ(plain.exitCode, 0);
  EXPECT_EQ(plain.out, expect(""));
  const auto kept = RunCli({"convert", log, "-o", "-", "--items", "AN,TI", "--keep-stars"});
  EXPECT_EQ(kept.out, expect("***"));
}

TEST(Cli, JoisWidthFollowsTheOption) {
  const std::string log = kSamples + "/jois_sample.log";
  const auto narrow = RunCli({"convert", log, "-o", "-", "--items", "PY"});
  EXPECT_EQ(narrow.out, "\"PY\"\r\n\"2005\"\r\n\"2004\"\r\n");
  const auto wide = RunCli({"convert", log, "-o", "-", "--items", "PY", "--keep-width"});
  EXPECT_EQ(wide.out, "\"PY\"\r\n\"" + Sjis(u"２００５") + "\"\r\n\"" + Sjis(u"２００４") + "\"\r\n");
}

TEST(Cli, DbOverridesDetection) {
  TempDir dir;
  const std::string log = dir.Write("pasted.txt", "TI   only line");
  EXPECT_EQ(RunCli({"convert", log, "-o", "-"}).exitCode, 2);
  const auto r = RunCli({"convert", log, "-o", "-", "--db", "STN"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "\"TI\"\r\n\"only line\"\r\n");
}

TEST(Cli, RefusesToWriteOverTheLog) {
  TempDir dir;
  const std::string log = CopySample(dir, "stn_sample.log");
  std::filesystem::create_symlink(log, dir.File("link.csv"));
  for (const std::string& out : {log, dir.File("link.csv")}) {
    const auto r = RunCli({"convert", log, "-o", out});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "trovlin-cli: 読み込むﾌｧｲﾙと同じﾌｧｲﾙは指定できません\n");
  }
  EXPECT_EQ(ReadBytes(log), ReadBytes(kSamples + "/stn_sample.log"));
}

TEST(Cli, OutputProblemsExitThree) {
  TempDir dir;
  const std::string out = dir.File("missing/out.csv");
  const auto r = RunCli({"convert", kSamples + "/stn_sample.log", "-o", out});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "trovlin-cli: cannot write the CSV file '" + out + "': No such file or directory\n");
}

TEST(Cli, UsageErrorsExitOne) {
  const std::string log = kSamples + "/stn_sample.log";
  std::string many;
  for (int i = 0; i < 52; ++i) many += (i ? ",C" : "C") + std::to_string(i);
  const std::initializer_list<std::string> cases[] = {
      {"convert", log, "--items", many}, {"convert", log, "--bogus"}, {"convert"},
      {"convert", log, "--db", "MEDLINE"}, {"convert", log, "--items", "AN,,TI"}, {"detect"},
      {"frobnicate"},
  };
  int i = 0;
  for (const auto& args : cases) EXPECT_EQ(RunCli(args).exitCode, 1) << "case " << i++;
  const std::string err = RunCli({"convert", log, "--items", many}).err;
  EXPECT_EQ(err.rfind("trovlin-cli: at most 51 items can be converted\nusage: trovlin-cli convert LOG", 0), 0u) << err;
}

TEST(Cli, ProposeNameAndHelp) {
  EXPECT_EQ(RunCli({"propose-name", "/d/logs.2005/result.log"}).out, "/d/logs.2005/result.csv\n");
  for (const char* command : {"detect", "items", "convert", "propose-name"}) {
    const auto r = RunCli({command, "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind(std::string("usage: trovlin-cli ") + command, 0), 0u) << command;
  }
}

}  // namespace
}  // namespace trovlin

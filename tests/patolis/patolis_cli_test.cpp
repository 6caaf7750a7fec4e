// trovlin-cli on PATOLIS logs: the samples, and logs with nothing to convert.
#include <gtest/gtest.h>

#include <filesystem>

#include "patolis_fixture.h"

namespace trovlin::testing {
namespace {

TEST(PatolisCliTest, ConvertWritesTheLayoutColumns) {
  TempDir dir;
  const std::string csv = dir.File("out.csv");
  CommandResult result = RunCli({"convert", CopySample(dir, "patolis_layout1.log"), "-o", csv});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "PATOLIS (layout 1): 4 row(s) of 8 column(s) written to " + csv + "\n");
  // Answer 3's examined number is 12 characters wide: its two trailing spaces become one.
  EXPECT_EQ(
      ReadBytes(csv),
      Sjis(u"\"出願番号\",\"出願日\",\"公開番号\",\"公開日\",\"公告番号\",\"公告日\",\"登録番号\",\"登録日\"\r\n"
           u"\"2003-123456\",\"H15.04.25\",\"公開 2004-300001\",\"H16.10.28\",\"\",\"\",\"3456789\",\"H17.05.20\"\r\n"
           u"\"2002-098765\",\"H14.02.01\",\"再公表 01/012345\",\"H14.08.15\",\"\",\"\",\"\",\"\"\r\n"
           u"\"1995-045678\",\"H07.03.10\",\"公開 1996-210987\",\"H08.08.20\",\"H08-054321 \",\"H08.05.29\","
           u"\"2567890\",\"H09.01.17\"\r\n"
           u"\"2004-000111\",\"H16.01.06\",\"公表 2005-501234\",\"H17.01.13\",\"\",\"\",\"\",\"\"\r\n"));

  // Item options do not apply.
  result =
      RunCli({"convert", CopySample(dir, "patolis_layout2.log"), "--db", "PATOLIS", "--items", "AN,TI", "-o", csv});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "PATOLIS (layout 2): 2 row(s) of 29 column(s) written to " + csv + "\n");

  result = RunCli({"convert", CopySample(dir, "patolis_layout3.log"), "-o", dir.File("none/out.csv")});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.err, "PATOLISデータ変換: cannot write the CSV file '" + dir.File("none/out.csv") +
                            "': No such file or directory\n");
}

TEST(PatolisCliTest, ItemsListsTheLayoutColumns) {
  TempDir dir;
  for (const auto& [sample, abstract] : {std::pair{"patolis_layout3.log", "要約"}, {"patolis_layout4.log", "抄録"}}) {
    const CommandResult result = RunCli({"items", CopySample(dir, sample)});
    std::string expected;
    for (const std::string& title : LayoutBTitles(abstract)) expected += title + "\n";
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, expected);
  }
}

TEST(PatolisCliTest, NoValidLayoutWritesNothingAndSaysSo) {
  TempDir dir;
  const std::string log = dir.Write("x.log", PatolisLog({AnswerHeaderLine("9"), "  1 特許出願 2003-1", ""}));
  const std::string message =
      "trovlin-cli: " + log +
      ": no PATOLIS answer header (\"＊＊検索回答\" with \"様式\" and a layout 1-4): nothing to "
      "convert, no file written\n";
  for (const char* command : {"convert", "items"}) {
    const CommandResult result = RunCli({command, log});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, message);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.csv")));
}

}  // namespace
}  // namespace trovlin::testing

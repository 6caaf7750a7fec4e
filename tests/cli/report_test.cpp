// The report of a conversion: the JSON of --report, inspect's page, --strict,
// --skip-empty-rows and where the first answer's items are read.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

using nlohmann::json;

// A display command, answers 1 and 3 of 3, and a closing command line.
const std::string kStnLog =
    "=> d all 1-\r\nL1   ANSWER 1 OF 3  CAPLUS\r\nAN   1\r\nTI   one\r\n\r\n"
    "L1   ANSWER 3 OF 3  CAPLUS\r\nAN   3\r\n\r\n=> log y\r\n";

TEST(Report, TheJsonAccountsForEveryRecordAndAnswer) {
  TempDir dir;
  const std::string log = dir.Write("s.log", kStnLog), csv = dir.File("s.csv"), report = dir.File("r.json");
  const CommandResult r =
      RunCli({"convert", log, "--items", "AN, TI", "--skip-empty-rows", "--strict", "--report", report, "-o", csv});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.err, "trovlin-cli: warning: the first answer of " + log + " lacks \" TI\"; their columns stay empty\n" +
                       "STN: 2 row(s) of 2 column(s) written to " + csv +
                       " (1 record(s) without any of the items skipped); answers: 2 of 3, missing 2\n");
  EXPECT_EQ(ReadBytes(csv), "\"AN\",\" TI\"\r\n\"1\",\"\"\r\n\"3\",\"\"\r\n");
  EXPECT_EQ(RunCli({"convert", log, "--report", log}).exitCode, 2);
  EXPECT_EQ(ReadBytes(log), kStnLog);
  const json j = json::parse(ReadBytes(report));
  EXPECT_EQ(j["log"], log);
  EXPECT_EQ(std::tuple(j["service"], j["encoding"], j["line_end"]), std::tuple("STN", "cp932", "CR"));
  EXPECT_EQ(std::tuple(j["lines"], j["bytes"], j["records"], j["rows"]), std::tuple(9, kStnLog.size(), 3, 2));
  EXPECT_EQ(j["empty_rows"], json({9}));
  EXPECT_EQ(j["items"], json::parse(R"([{"code": "AN", "rows": 2}, {"code": " TI", "rows": 0}])"));
  const json& set = j["answers"].at(0);
  EXPECT_EQ(std::tuple(j["answers"].size(), set["set"], set["announced"], set["found"]), std::tuple(1, "L1", 3, 2));
  EXPECT_EQ(std::pair(set["missing"], set["repeated"]), std::pair(json::parse("[[2, 2]]"), json::array()));
  ASSERT_EQ(j["warnings"].size(), 1u);
  EXPECT_EQ(std::pair(j["warnings"][0]["line"], j["warnings"][0]["kind"]), std::pair(json(1), json("item-not-shown")));
}

TEST(Report, InspectWritesNothingAndAGapAtTheEndIsNotStrictlyWrong) {
  TempDir dir;
  const std::string stn = dir.Write("s.log", kStnLog);
  const CommandResult page = RunCli({"inspect", stn});
  EXPECT_EQ(page.exitCode, 0);
  EXPECT_NE(page.out.find("records: 3, rows: 3\nrecords without any of the items: 1 (line 9)\nanswers:\n"
                          "  L1: 2 of 3\n    missing 2 (line 6)\n"),
            std::string::npos)
      << page.out;
  EXPECT_NE(page.out.find("  => d\t1\n  L1\t2\n  AN\t2\n  TI\t1\n"), std::string::npos) << page.out;
  // A PATOLIS display cut short by the end of the log, in its first record.
  const std::string patolis =
      dir.Write("p.log", Sjis(u"＊＊検索回答＊＊  様式 :  2    回答件数   2件\r\n ----- 1 -----\r\n"
                              u"*** 特許出願２００３－１２３４５６ [Ｈ１５．０４．２５] (通常) ()"));
  const CommandResult r = RunCli({"inspect", patolis, "--json", "--strict"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(std::pair(j["rows"], j["answers"][0]["missing"]), std::pair(json(1), json::parse("[[2, 2]]")));
  EXPECT_EQ(j["warnings"], json::parse(R"([{"line": 3, "kind": "record-cut-short",
      "message": "the end of the log cuts this record short; its row holds what was read"}])"));
  // A DIALOG search line inside a converted field still gives its set's size.
  const std::string dialog =
      dir.Write("d.log",
                "?s catalyst\r\n      S1     4  CATALYST\r\n?t s1/5/all\r\n1/5/1\r\nFN- DIALOG(R)File 351\r\n"
                "TI- one\r\n\r\n1/5/3\r\nFN- DIALOG(R)File 351\r\nTI- three\r\n");
  EXPECT_EQ(json::parse(RunCli({"inspect", dialog, "--json"}).out)["answers"], json::parse(R"([{"set": "S1",
      "announced": 4, "found": 2, "missing": [[2, 2], [4, 4]], "repeated": [], "expected": [[1, 4]],
      "missing_at": [8, 8], "repeated_at": [], "first_line": 3}])"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3) << "inspect wrote a file";
}

TEST(Report, TheFirstAnswersItemsAreReadWhereTheOptionSays) {
  TempDir dir;
  const std::string stn = dir.Write("s.log", kStnLog);
  const std::string command =
      dir.Write("c.log", "=> d all 1-\r\n\r\nL1   ANSWER 1 OF 2\r\nAN   1\r\n\r\nL1   ANSWER 2 OF 2\r\nPY   2\r\n");
  const struct {
    std::vector<std::string> args;
    std::string out, err;
  } cases[] = {
      {{"items", stn}, "=> d\t*\nL1\t*\nAN\t*\nTI\t*\n", ""},
      {{"items", stn, "--discover", "first-answer"}, "L1\t*\nAN\t*\nTI\t*\n", ""},
      {{"items", command},
       "=> d\t*\n",
       "trovlin-cli: warning: " + command + ": the item codes come from the log's first block (line 1), which " +
           "holds no answer header; --discover first-answer reads the first answer instead\n"},
      {{"items", "--discover", "first-answer", command}, "L1\t*\nAN\t*\n", ""},
      {{"convert", command, "--discover", "first-answer", "-o", "-"},
       "\"L1\",\"AN\"\r\n\"\",\"\"\r\n\"ANSWER 1 OF 2\",\"1\"\r\n\"ANSWER 2 OF 2\",\"\"\r\n",
       ""},
  };
  for (const auto& c : cases) {
    const CommandResult r = RunCli(c.args);
    EXPECT_EQ(std::tuple(r.exitCode, r.out), std::tuple(0, c.out)) << c.args.back();
    EXPECT_EQ(c.args[0] == "items" ? r.err : "", c.err);
  }
}

}  // namespace
}  // namespace trovlin::testing

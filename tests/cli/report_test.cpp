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
  EXPECT_EQ(r.err, "trovlin-cli: warning: " + log +
                       ": \" TI\" not in the first answer; a column is empty in the rows of answers without its "
                       "item\n" +
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

TEST(Report, InspectWritesNothingAndARecordCutShortIsStrictlyWrong) {
  TempDir dir;
  const std::string stn = dir.Write("s.log", kStnLog);
  const CommandResult page = RunCli({"inspect", stn});
  EXPECT_EQ(page.exitCode, 0);
  EXPECT_NE(page.out.find("records: 3, rows: 3\nrecords without any of the items: 1 (line 9)\nanswers:\n"
                          "  L1: 2 of 3\n    missing 2 (line 6)\n"),
            std::string::npos)
      << page.out;
  // A gap at the end of a log that ends after a whole record is no fault.
  const std::string first = dir.Write("first.log", "L1   ANSWER 1 OF 3\r\nAN   1\r\n\r\n");
  EXPECT_EQ(RunCli({"inspect", first, "--strict"}).exitCode, 0);
  EXPECT_NE(page.out.find("  => d\t1\n  L1\t2\n  AN\t2\n  TI\t1\n"), std::string::npos) << page.out;
  // A PATOLIS display cut short by the end of the log, in its first record.
  const std::string patolis =
      dir.Write("p.log", Sjis(u"＊＊検索回答＊＊  様式 :  2    回答件数   2件\r\n ----- 1 -----\r\n"
                              u"*** 特許出願２００３－１２３４５６ [Ｈ１５．０４．２５] (通常) ()"));
  const CommandResult r = RunCli({"inspect", patolis, "--json", "--strict"});
  EXPECT_EQ(r.exitCode, 4) << r.err;
  EXPECT_EQ(r.err, "trovlin-cli: warning: " + patolis +
                       " line 3: the end of the log cuts this record short; its row holds what was read\n");
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
      "missing_at": [8, 8], "repeated_at": [], "first_line": 3, "repeated_left_out": 0}])"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4) << "inspect wrote a file";
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

// The sample PATOLIS log of layout 3 (two answers) cut where a download
// could stop: right after the number line of answer 2 (line 27), and
// inside answer 2's record (which starts on line 28).
TEST(Report, APatolisAnswerTheLogsEndCutsIsMissingOrCutShortAndFailsStrict) {
  TempDir dir;
  const std::string whole = ReadBytes(SamplePath("patolis_layout3.log"));
  const std::string afterNumber = dir.Write("n.log", whole.substr(0, 1000));
  const std::string inRecord = dir.Write("r.log", whole.substr(0, 1300));
  const std::string csv = dir.File("out.csv");
  const struct {
    std::string log;
    std::string err;
    int rows;
  } cases[] = {
      {afterNumber,
       "trovlin-cli: warning: " + afterNumber +
           " line 27: the log ends after the number line of answer 2; it has no row and counts as missing\n"
           "PATOLIS (layout 3): 1 row(s) of 35 column(s) written to " +
           csv + "; answers: 1 of 2, missing 2\n",
       1},
      {inRecord,
       "trovlin-cli: warning: " + inRecord +
           " line 33: bytes that are not valid in the log's encoding; they are kept as they are\n"
           "trovlin-cli: warning: " +
           inRecord + " line 28: the end of the log cuts this record short; its row holds what was read\n" +
           "PATOLIS (layout 3): 2 row(s) of 35 column(s) written to " + csv + "; answers: 2 of 2\n",
       2},
  };
  for (const auto& c : cases) {
    const CommandResult plain = RunCli({"convert", c.log, "-o", csv});
    EXPECT_EQ(std::pair(plain.exitCode, plain.err), std::pair(0, c.err));
    const CommandResult strict = RunCli({"convert", c.log, "-o", csv, "--strict", "--report", dir.File("r.json")});
    EXPECT_EQ(std::pair(strict.exitCode, strict.err), std::pair(4, c.err));
    const json j = json::parse(ReadBytes(dir.File("r.json")));
    EXPECT_EQ(std::tuple(j["rows"], j["records_cut_short"], j["answers"][0]["found"]), std::tuple(c.rows, 1, c.rows));
  }
}

// What shaped the output, the formulas guarded, and the line ends as they
// were read: an LF CR pair is repaired only in a log that has one.
TEST(Report, TheJsonNamesTheOutputAndWhatWasRepaired) {
  TempDir dir;
  const std::string stn = dir.Write("s.log", "L1   ANSWER 1 OF 1\r\nAN   1\r\nTI   =SUM(1)\r\nAB   -x\r\n");
  const std::string report = dir.File("r.json");
  ASSERT_EQ(RunCli({"convert", stn, "--protect-formulas", "--encoding", "utf8", "--quotes", "double", "--report",
                    report, "-o", dir.File("s.csv")})
                .exitCode,
            0);
  json j = json::parse(ReadBytes(report));
  EXPECT_EQ(j["formulas_protected"], 2);
  EXPECT_EQ(j["output"], json::parse(R"({"format": "csv", "encoding": "utf-8", "quotes": "double",
      "protect_formulas": true, "skip_empty_rows": false, "stars_removed": true, "half_width": false})"));
  ASSERT_EQ(RunCli({"convert", stn, "--keep-stars", "--skip-empty-rows", "--db", "jois", "--report", report, "-o",
                    dir.File("s.xlsx")})
                .exitCode,
            0);
  j = json::parse(ReadBytes(report));
  EXPECT_EQ(std::pair(j["formulas_protected"], j["service"]), std::pair(json(0), json("JOIS")));
  EXPECT_EQ(j["output"], json::parse(R"({"format": "xlsx", "encoding": "utf-8", "quotes": "apostrophe",
      "protect_formulas": false, "skip_empty_rows": true, "stars_removed": false, "half_width": true})"));

  const std::u16string header = u"＊＊検索回答＊＊  様式 :  1    回答件数   1件";
  const std::u16string answer = u"  1 特許出願 2003-1";
  const struct {
    std::string name, bytes;
    bool repaired;
    std::string readAs;
  } logs[] = {
      {"crlf.log", Sjis(header + u"\r\n" + answer + u"\r\n"), false, "CR LF line ends\n"},
      {"lfcr.log", Sjis(header + u"\n\r" + answer + u"\n\r"), true, "CR line ends (LF CR read as CR LF)\n"},
  };
  for (const auto& log : logs) {
    const std::string path = dir.Write(log.name, log.bytes);
    const CommandResult r = RunCli({"inspect", path, "--json"});
    EXPECT_EQ(json::parse(r.out)["lf_cr_repaired"], log.repaired) << log.name;
    EXPECT_NE(RunCli({"inspect", path}).out.find("service: PATOLIS, read as code page 932, " + log.readAs),
              std::string::npos)
        << log.name;
  }
}

// Answers 1 to 1001 shown twice each: 1,000 repeats are listed, the last is counted.
TEST(Report, ALongListOfRepeatsIsCappedWithACount) {
  TempDir dir;
  std::string text;
  for (int pass = 0; pass < 2; ++pass) {
    for (int n = 1; n <= 1001; ++n) text += "L1   ANSWER " + std::to_string(n) + " OF 1001\r\nAN   x\r\n\r\n";
  }
  const std::string log = dir.Write("s.log", text), report = dir.File("r.json");
  const CommandResult r = RunCli({"convert", log, "-o", dir.File("s.csv"), "--report", report});
  EXPECT_EQ(r.err, "STN: 2002 row(s) of 2 column(s) written to " + dir.File("s.csv") +
                       "; answers: 1001 of 1001, repeated 1-1000 and 1 more\n");
  const json set = json::parse(ReadBytes(report))["answers"][0];
  EXPECT_EQ(std::tuple(set["repeated"].size(), set["repeated"][999], set["repeated_left_out"]),
            std::tuple(1000u, 1000, 1));
}

// "-" is standard output when the CSV goes to a file; standard error when
// the CSV itself is on standard output. --quiet leaves only warnings.
TEST(Report, TheReportOnStandardOutputParsesAndQuietKeepsWarnings) {
  TempDir dir;
  const std::string stn = dir.Write("s.log", kStnLog), csv = dir.File("s.csv");
  CommandResult r = RunCli({"convert", stn, "-o", csv, "--report", "-", "--quiet"});
  EXPECT_EQ(std::pair(r.exitCode, r.err), std::pair(0, std::string()));
  EXPECT_EQ(json::parse(r.out)["rows"], 3);
  r = RunCli({"convert", stn, "-o", "-", "--items", "AN", "--report", "-"});
  EXPECT_EQ(r.out, "\"AN\"\r\n\"1\"\r\n\"3\"\r\n\"\"\r\n");
  EXPECT_EQ(r.err.substr(0, r.err.find('{')),
            "STN: 3 row(s) of 1 column(s) written to standard output (1 of them without any of the items); "
            "answers: 2 of 3, missing 2\n");
  EXPECT_EQ(json::parse(r.err.substr(r.err.find('{')))["rows"], 3);
  const std::string utf8 = dir.Write("u.log", "L1   ANSWER 1 OF 2\nTI   5 \xE2\x82\xAC\n");
  r = RunCli({"convert", utf8, "-o", dir.File("u.csv"), "--quiet"});
  EXPECT_EQ(r.err, "trovlin-cli: warning: " + utf8 +
                       " line 2: characters that code page 932 cannot hold\n"
                       "trovlin-cli: warning: " +
                       utf8 +
                       ": 1 character(s) have no code page 932 form; written as \"?\" (--encoding utf-8 "
                       "keeps them)\n");
  // A workbook holds every character: nothing to warn of.
  r = RunCli({"convert", utf8, "-o", dir.File("u.xlsx"), "--quiet"});
  EXPECT_EQ(std::pair(r.exitCode, r.err), std::pair(0, std::string()));
}

// A value longer than a workbook cell is told on stderr with the line its
// field starts on, in characters: 33,000 characters outside the Basic
// Multilingual Plane are 66,000 UTF-16 units.
TEST(Report, ACutCellIsToldWithItsOwnLineInCharacters) {
  TempDir dir;
  std::string wide;
  for (int i = 0; i < 33'000; ++i) wide += "\xF0\xA0\x80\x8B";
  const std::string log = dir.Write("u.log", "L1   ANSWER 1 OF 1\nAN   1\nAB   " + wide + "\n");
  const std::string report = dir.File("r.json");
  const CommandResult r = RunCli({"convert", log, "-o", dir.File("u.xlsx"), "--quiet", "--report", report});
  EXPECT_EQ(std::pair(r.exitCode, r.err),
            std::pair(0, "trovlin-cli: warning: " + log +
                             " line 3: a value of 33000 characters cut to a workbook cell's 32767\n"));
  EXPECT_EQ(json::parse(ReadBytes(report))["warnings"], json::parse(R"([{"line": 3, "kind": "cell-cut",
      "message": "a value of 33000 characters cut to a workbook cell's 32767"}])"));
}

// A batch's report has an entry for every log given, in order, failed or not.
TEST(Report, ABatchReportHasAnEntryPerLogInOrder) {
  TempDir in, out;
  const std::string stn = in.Write("a.log", kStnLog), plain = in.Write("b.txt", "hello world\r\n");
  const std::string nine = in.Write("c.log", Sjis(u"＊＊検索回答＊＊  様式 :  9\r\n  1 特許出願 2003-1\r\n"));
  const std::string missing = in.File("d.log"), again = in.Write("e.log", kStnLog);
  const CommandResult r = RunCli({"convert", stn, plain, nine, missing, again, "--out-dir", out.path(), "--jobs", "3",
                                  "--report", "-", "--quiet"});
  EXPECT_EQ(r.exitCode, 2);
  const json j = json::parse(r.out);
  ASSERT_EQ(j.size(), 5u) << r.out;
  EXPECT_EQ(std::pair(j[0]["log"], j[0]["rows"]), std::pair(json(stn), json(3)));
  EXPECT_EQ(j[1], json({{"log", plain},
                        {"failed", true},
                        {"error_kind", "input"},
                        {"error", plain + ": not a search log"},
                        {"exit_code", 2}}));
  EXPECT_EQ(j[2], json({{"log", nine},
                        {"failed", true},
                        {"error_kind", "nothing-to-convert"},
                        {"error", nine + ": the PATOLIS answer layout is \"9\", not one of 1-4: nothing to convert, "
                                         "no file written"},
                        {"exit_code", 2}}));
  EXPECT_EQ(j[3], json({{"log", missing},
                        {"failed", true},
                        {"error_kind", "input"},
                        {"error", "cannot open the log '" + missing + "': No such file or directory"},
                        {"exit_code", 2}}));
  EXPECT_EQ(std::pair(j[4]["log"], j[4]["rows"]), std::pair(json(again), json(3)));
}

}  // namespace
}  // namespace trovlin::testing

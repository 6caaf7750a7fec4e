// The workbook read back by a real spreadsheet: LibreOffice Calc, headless,
// turns each sheet into a UTF-8 CSV, and every cell must be what was written.
#include "xlsx/xlsx_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace trovlin::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A CSV as LibreOffice writes it: commas, double quotes around fields that
// need them, doubled quotes inside, LF between rows.
Rows ParseCsv(const std::string& text) {
  Rows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      rows.back().back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      rows.back().emplace_back();
    } else if (!quoted && c == '\r') {
      continue;  // our CSV ends rows with CR LF
    } else if (!quoted && c == '\n') {
      rows.emplace_back(1);
    } else {
      rows.back().back() += c;
    }
  }
  if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
  return rows;
}

// LibreOffice, headless, turns each file (each sheet of it: NAME-SHEET.csv)
// into a UTF-8 CSV in dir/out; inFilter reads CSV files in another way.
bool Calc(const TempDir& dir, const std::vector<std::string>& files, const std::string& inFilter = "") {
  std::string command = "cd '" + dir.path() + "' && soffice -env:UserInstallation=file://" + dir.path() +
                        "/profile --headless" + (inFilter.empty() ? "" : " --infilter='" + inFilter + "'") +
                        " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1'"
                        " --outdir out";
  for (const std::string& file : files) command += " '" + file + "'";
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<Rows> ReadBack(const TempDir& dir, const std::string& book) {
  if (!Calc(dir, {book})) return {};
  return {ParseCsv(ReadBytes(dir.File("out/book-Sheet1.csv"))), ParseCsv(ReadBytes(dir.File("out/book-レポート.csv")))};
}

TEST(XlsxWriter, EveryCellIsTheTextWrittenAndLongValuesAreCutAtExcelsLimit) {
  if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  TempDir dir;
  XlsxWriter book(dir.File("book.xlsx"));
  book.WriteHeader({{u"AN", u"TI", u"NC-"}, {true, true, true}});
  const std::vector<std::vector<std::u16string>> rows = {
      {u"001", u"=1+1", u"a\nb"}, {u"-5", u"@x", u"x\"y, z"}, {u"", u"検索", std::u16string(40000, u'x')}};
  for (const auto& values : rows) {
    RecordBuffer record{values};
    book.WriteRow(record);
  }
  book.AddReportSheet({{"rows", "3"}, {"回答", "1 of 2"}});
  EXPECT_FALSE(std::filesystem::exists(dir.File("book.xlsx"))) << "visible before Finish";
  book.Finish();
  EXPECT_EQ(std::pair(book.CutCount(), book.RowsWritten()), std::pair(std::uint64_t{1}, std::uint64_t{3}));
  const std::vector<Rows> sheets = ReadBack(dir, dir.File("book.xlsx"));
  ASSERT_EQ(sheets.size(), 2u) << "LibreOffice could not read the workbook";
  const Rows expected = {{"AN", "TI", "NC-"},
                         {"001", "=1+1", "a\nb"},
                         {"-5", "@x", "x\"y, z"},
                         {"", "検索", std::string(XlsxWriter::kMaxCellChars, 'x')}};
  EXPECT_EQ(sheets[0], expected);
  EXPECT_EQ(sheets[1], (Rows{{"rows", "3"}, {"回答", "1 of 2"}}));
}

// Every sample, a log of awkward values and a generated log of each service
// (when the generator is built): the workbook's cells are the
// values exactly (as the UTF-8 CSV holds them), and the code page 932 CSV
// with --protect-formulas imports without a formula or an error.
TEST(XlsxWriter, SpreadsheetsReadTheSamplesAsWritten) {
  if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  TempDir dir;
  std::vector<std::string> logs = {"stn_sample",      "dialog_sample",   "jois_sample",    "patolis_layout1",
                                   "patolis_layout2", "patolis_layout3", "patolis_layout4"};
  for (const std::string& log : logs) WriteBytes(dir.File(log + ".log"), ReadBytes(SamplePath(log + ".log")));
  dir.Write("awkward.log", "=> f all\r\nNC- 001\r\nTI- =SUM(1,2)\r\nAB- -CH2-CH3\r\nPA- @risk\r\nAU- +81 3\r\n");
  logs.push_back("awkward");
#ifdef TROVLIN_LOGGEN_PATH
  // A generated log of each service, 1 MB.
  for (const std::string kind : {"stn", "jois", "patolis3"}) {
    const std::string command = std::string(TROVLIN_LOGGEN_PATH) + " " + kind + " 1 '" + dir.File(kind + ".log") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    logs.push_back(kind);
  }
#endif
  std::vector<std::string> books, guarded;
  for (const std::string& log : logs) {
    const std::string path = dir.File(log + ".log");
    std::vector<std::string> workbook = {"convert", path, "-o", dir.File(log + ".xlsx")};
    if (log == "awkward") workbook.insert(workbook.end(), {"--db", "DIALOG"});
    ASSERT_EQ(RunCli(workbook).exitCode, 0);
    const auto csv = [&](std::vector<std::string> options, const std::string& out) {
      options.insert(options.begin(), {"convert", path, "--quotes", "double", "-o", dir.File(out)});
      if (log == "awkward") options.insert(options.end(), {"--db", "DIALOG"});
      RunCli(options);
    };
    csv({"--encoding", "utf-8"}, log + ".txt");
    csv({"--protect-formulas"}, log + "-guarded.csv");
    csv({"--protect-formulas", "--encoding", "utf-8"}, log + "-guarded.txt");
    books.push_back(dir.File(log + ".xlsx"));
    guarded.push_back(dir.File(log + "-guarded.csv"));
  }
  ASSERT_TRUE(Calc(dir, books)) << "LibreOffice could not read the workbooks";
  ASSERT_TRUE(Calc(dir, guarded, "CSV:44,34,64,1")) << "LibreOffice could not read the CSV files";
  for (const std::string& log : logs) {
    SCOPED_TRACE(log);
    // A spreadsheet's data ends at its last cell: trailing rows without any
    // value are not part of it.
    Rows written = ParseCsv(ReadBytes(dir.File(log + ".txt")));
    while (!written.empty() && std::all_of(written.back().begin(), written.back().end(),
                                           [](const std::string& cell) { return cell.empty(); })) {
      written.pop_back();
    }
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(ParseCsv(ReadBytes(dir.File("out/" + log + "-Sheet1.csv"))), written);
    const Rows guardedWritten = ParseCsv(ReadBytes(dir.File(log + "-guarded.txt")));
    const Rows imported = ParseCsv(ReadBytes(dir.File("out/" + log + "-guarded-" + log + "-guarded.csv")));
    ASSERT_GE(guardedWritten.size(), imported.size());
    for (std::size_t r = 0; r < imported.size(); ++r) {
      for (std::size_t c = 0; c < imported[r].size() && c < guardedWritten[r].size(); ++c) {
        const std::string& cell = imported[r][c];
        EXPECT_FALSE(cell.starts_with("Err:") || cell.starts_with("#")) << cell;
        EXPECT_EQ(guardedWritten[r][c].starts_with("'") ? cell : "",
                  guardedWritten[r][c].starts_with("'") ? guardedWritten[r][c] : "");
      }
    }
  }
}

}  // namespace
}  // namespace trovlin::testing

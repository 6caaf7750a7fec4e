// The workbook read back by a real spreadsheet: LibreOffice Calc, headless,
// turns each sheet into a UTF-8 CSV, and every cell must be what was written.
#include "xlsx/xlsx_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
    } else if (!quoted && c == '\n') {
      rows.emplace_back(1);
    } else {
      rows.back().back() += c;
    }
  }
  if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
  return rows;
}

// Each sheet of the workbook as LibreOffice reads it, or nothing without it.
std::vector<Rows> ReadBack(const TempDir& dir, const std::string& book) {
  const std::string command = "cd '" + dir.path() + "' && soffice -env:UserInstallation=file://" + dir.path() +
                              "/profile --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,"
                              "false,true,false,false,false,-1' '" +
                              book + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  return {ParseCsv(ReadBytes(dir.File("book-Sheet1.csv"))), ParseCsv(ReadBytes(dir.File("book-レポート.csv")))};
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

}  // namespace
}  // namespace trovlin::testing

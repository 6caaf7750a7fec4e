// The workbook writer: the rows a conversion writes, as an Excel workbook.
//
// Every value is a text cell, so nothing is read as a number, a date or a
// formula (leading zeros and "=" values stay). The header row is bold and
// frozen; a value that holds a line feed keeps it and wraps; columns are a
// readable width. Excel's limits are met openly: a value longer than
// kMaxCellChars is cut there (CutCount says how many were), and past
// kMaxSheetRows rows the rows go on in a new sheet with the header repeated.
// Invalid bytes of the log become U+FFFD, as in a UTF-8 CSV; a double quote
// stays a double quote (a cell needs no quoting).
//
// The rows go to sheets named kFirstSheetName ("回答", then "回答 2", ...).
// A row whose values are all empty keeps its place but holds no cell, so a
// spreadsheet's data ends at the last row with a value: trailing empty rows
// a CSV has are not seen in a sheet.
//
// The workbook is made in unnamed temporary files (libxlsxwriter keeps each
// sheet's rows on disk, so memory stays flat); the output is opened once,
// when the writer is made, as an OutputFile, and Finish() copies the book
// into it, which puts it under its name in one step with the same rules of
// what it may replace as a CSV. A writer destroyed unfinished, or a killed
// process, leaves nothing. Throws OutputError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"
#include "common/row_sink.h"

namespace trovlin {

class XlsxWriter : public RowSink {
 public:
  static constexpr std::size_t kMaxCellChars = kMaxWorkbookCellChars;
  static constexpr std::uint64_t kMaxSheetRows = 1048575;  // besides the header row
  static constexpr std::string_view kFirstSheetName = "回答";

  XlsxWriter(const std::string& path, OutputRules rules = {});
  ~XlsxWriter() override;
  XlsxWriter(const XlsxWriter&) = delete;
  XlsxWriter& operator=(const XlsxWriter&) = delete;

  void WriteHeader(const ItemTable& items) override;
  // Writes record.values as one row, then empties every value.
  void WriteRow(RecordBuffer& record) override;
  // A last sheet, "レポート", with these rows (UTF-8 text, or numbers).
  void AddReportSheet(const SheetRows& rows);
  void Finish();

  std::uint64_t RowsWritten() const { return rows_; }
  std::uint64_t ReplacedCount() const { return replaced_; }
  std::uint64_t CutCount() const { return cut_; }

 private:
  struct Workbook;
  void StartSheet();
  void WriteCell(std::uint32_t row, std::uint16_t column, std::u16string_view value, bool header);

  std::string path_;
  OutputRules rules_;
  std::unique_ptr<Workbook> book_;
  ItemTable header_;
  std::uint64_t rows_ = 0;
  std::uint32_t sheetRow_ = 0;
  int sheets_ = 0;
  std::uint64_t replaced_ = 0;
  std::uint64_t cut_ = 0;
  std::string utf8_;
};

}  // namespace trovlin

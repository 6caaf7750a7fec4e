// The CSV writer: the only place that writes a conversion's output.
//
// Every field, header titles included, is enclosed in double quotes and
// fields are separated by "," with no spaces; every row ends with CR LF. A
// double quote inside a title or a value is written as an apostrophe, so no
// field ever holds a double quote; LF and commas stay inside the quotes. Text
// is written in code page 932 without a byte-order mark.
//
// Output is buffered in large blocks and goes through OutputFile, so the CSV
// appears under its name only when Finish() is called.
#pragma once

#include <cstdint>
#include <string>

#include "common/conversion_state.h"
#include "csv/output_file.h"

namespace trovlin {

class CsvWriter {
 public:
  // Starts the output at path ("-" = standard output).
  explicit CsvWriter(const std::string& path);

  // Writes the header row: one title per code of items.
  void WriteHeader(const ItemTable& items);
  // Writes record.values as one row, then empties every value.
  void WriteRow(RecordBuffer& record);
  // Writes what is buffered and puts the file in place.
  void Finish();

  std::uint64_t RowsWritten() const { return rows_; }
  // Characters that code page 932 cannot hold, written as "?".
  std::uint64_t UnencodableCount() const { return unencodable_; }

 private:
  void WriteField(const std::u16string& text, bool last);
  void FlushIfFull();

  OutputFile file_;
  std::string buffer_;
  std::uint64_t rows_ = 0;
  std::uint64_t unencodable_ = 0;
};

}  // namespace trovlin

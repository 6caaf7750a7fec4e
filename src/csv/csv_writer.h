// The CSV writer: the only place that writes a conversion's output.
//
// Every field, header titles included, is enclosed in double quotes and
// fields are separated by "," with no spaces; every row ends with CR LF; LF
// and commas stay inside the quotes. A double quote inside a title or a value
// is written as an apostrophe (the default, so no field ever holds a double
// quote), or as two double quotes (QuoteStyle::Double, as RFC 4180 has it).
// Text is written in code page 932 without a byte-order mark by default, or
// in UTF-8 with or without one. Escaped invalid bytes go back as themselves
// into code page 932, and as U+FFFD into UTF-8, which thus stays valid.
//
// Output is buffered in blocks and goes through OutputFile, so the CSV
// appears under its name only when Finish() is called; a preview writes into
// memory instead. Blocks bound for a file are written by a second thread
// while the next rows are made; a failure there is thrown by the WriteRow or
// Finish call that follows it. A build without threads (the page) writes
// each block when it is full, in the same order.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "common/conversion_settings.h"
#include "common/row_sink.h"
#include "platform/output_file.h"

namespace trovlin {

struct CsvFormat {
  CsvEncoding encoding = CsvEncoding::Cp932;
  QuoteStyle quotes = QuoteStyle::Apostrophe;
  bool protectFormulas = false;  // see formula_guard.h
  RowSink* sink = nullptr;       // rows go here instead of into the file (a workbook)
};

inline CsvFormat CsvFormatFor(const ConversionSettings& settings) {
  return {.encoding = settings.csvEncoding,
          .quotes = settings.quoteStyle,
          .protectFormulas = settings.protectFormulas,
          .sink = settings.rowSink};
}

class CsvWriter {
 public:
  // Starts the output at path ("-" = standard output); rules say which
  // existing file it may replace. With a sink in format, the header and the
  // rows go to it instead, and no file is opened (its maker writes it).
  explicit CsvWriter(const std::string& path, CsvFormat format = {}, OutputRules rules = {});
  // Writes into *memory instead of a file; with nullptr the bytes are made
  // (so every count holds) and dropped, for a run that only reports.
  CsvWriter(std::string* memory, CsvFormat format);
  ~CsvWriter();
  CsvWriter(const CsvWriter&) = delete;
  CsvWriter& operator=(const CsvWriter&) = delete;

  // Writes the header row: one title per code of items.
  void WriteHeader(const ItemTable& items);
  // Writes record.values as one row, then empties every value.
  void WriteRow(RecordBuffer& record);
  // The same for values that are already code page 932 bytes, into a code
  // page 932 CSV with no sink and no formula protection (which must see
  // characters, not bytes).
  void WriteRow(Cp932RecordBuffer& record);
  // Writes what is buffered and puts the file in place.
  void Finish();

  std::uint64_t RowsWritten() const { return rows_; }
  // Characters that code page 932 cannot hold, written as "?".
  std::uint64_t UnencodableCount() const { return unencodable_; }
  // Invalid bytes of the log, written as U+FFFD in a UTF-8 CSV.
  std::uint64_t ReplacedCount() const { return replaced_; }
  // Titles and values written with an apostrophe before them (protectFormulas).
  std::uint64_t ProtectedCount() const { return protected_; }

 private:
  template <class Record>
  void WriteValues(Record& record);
  void WriteField(const std::u16string& text, bool last);
  void WriteField(std::string_view cp932, bool last);
  void QuoteFrom(std::size_t start);
  void EndField(bool last);
  void DoubleQuotesFrom(std::size_t start);
  void Flush();
  void FlushIfFull();
  void WriteBlocks();
  void StopWriting(bool abandon);

  const CsvFormat format_;
  std::optional<OutputFile> file_;
  std::string* memory_ = nullptr;
  std::string buffer_;
  std::uint64_t rows_ = 0;
  std::uint64_t unencodable_ = 0;
  std::uint64_t replaced_ = 0;
  std::uint64_t protected_ = 0;

  // The block handed to the writing thread, and the hand-over's state, on a
  // cache line apart from the fields above.
  alignas(64) std::string handed_;  // guarded by mutex_, as are the four below
  bool handedFull_ = false;
  bool closing_ = false;
  bool abandon_ = false;
  std::exception_ptr failure_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread writer_;
};

}  // namespace trovlin

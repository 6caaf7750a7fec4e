#include "csv/csv_writer.h"

#include "text/cp932.h"

namespace trovlin {
namespace {

// Blocks small enough to stay in the processor's cache while they are filled.
constexpr std::size_t kFlushSize = 128 << 10;

}  // namespace

CsvWriter::CsvWriter(const std::string& path) : file_(path) { buffer_.reserve(kFlushSize + 4096); }

void CsvWriter::WriteField(const std::u16string& text, bool last) {
  buffer_.push_back('"');
  unencodable_ += EncodeCp932Replacing(text, u'"', '\'', buffer_);
  buffer_.push_back('"');
  if (last) {
    buffer_.append("\r\n");
  } else {
    buffer_.push_back(',');
  }
}

void CsvWriter::WriteHeader(const ItemTable& items) {
  const std::size_t n = items.codes.size();
  for (std::size_t i = 0; i < n; ++i) WriteField(items.codes[i], i + 1 == n);
  FlushIfFull();
}

void CsvWriter::WriteRow(RecordBuffer& record) {
  const std::size_t n = record.values.size();
  for (std::size_t i = 0; i < n; ++i) {
    WriteField(record.values[i], i + 1 == n);
    record.values[i].clear();
  }
  ++rows_;
  FlushIfFull();
}

void CsvWriter::FlushIfFull() {
  if (buffer_.size() < kFlushSize) return;
  file_.Write(buffer_);
  buffer_.clear();
}

void CsvWriter::Finish() {
  file_.Write(buffer_);
  buffer_.clear();
  file_.Commit();
}

}  // namespace trovlin

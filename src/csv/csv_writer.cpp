#include "csv/csv_writer.h"

#include <cstring>

#include "text/cp932.h"

namespace trovlin {
namespace {

constexpr std::size_t kFlushSize = 1 << 20;

}  // namespace

CsvWriter::CsvWriter(const std::string& path) : file_(path) { buffer_.reserve(kFlushSize + 4096); }

void CsvWriter::WriteField(const std::u16string& text, bool last) {
  buffer_.push_back('"');
  const std::size_t start = buffer_.size();
  unencodable_ += EncodeCp932(text, buffer_);
  // The byte 0x22 is never part of a double-byte character, so replacing it
  // in the encoded bytes replaces exactly the double quotes of the text.
  char* p = buffer_.data() + start;
  char* const end = buffer_.data() + buffer_.size();
  while ((p = static_cast<char*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)))) != nullptr) *p++ = '\'';
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

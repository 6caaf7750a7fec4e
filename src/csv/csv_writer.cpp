#include "csv/csv_writer.h"

#include <algorithm>
#include <cstring>

#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

// Blocks small enough to stay in the processor's cache while they are filled.
constexpr std::size_t kFlushSize = 128 << 10;
// Rows are handed to the encoding thread in batches of about this many
// characters: a hand-over may cost the waiting thread a sleep and a wake,
// so there are few of them, and the batches still fit the second-level cache.
constexpr std::size_t kBatchChars = 256 << 10;

// The byte 0x22 is never part of a double-byte character nor of a UTF-8
// sequence, so working on the encoded bytes changes exactly the quotes.
void ReplaceQuoteBytes(std::string& bytes, std::size_t start) {
  std::replace(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end(), '"', '\'');
}

}  // namespace

CsvWriter::CsvWriter(const std::string& path, CsvFormat format, OutputRules rules) : format_(format), threaded_(true) {
  file_.emplace(path, IoOperation::WriteCsv, rules);
  buffer_.reserve(kFlushSize + 4096);
  if (format_.encoding == CsvEncoding::Utf8Bom) buffer_.append(kUtf8Bom);
  filling_.chars.reserve(2 * kBatchChars);
  encoder_ = std::thread([this] { EncodeBatches(); });
}

CsvWriter::CsvWriter(std::string* memory, CsvFormat format) : format_(format), memory_(memory), threaded_(false) {
  if (format_.encoding == CsvEncoding::Utf8Bom) buffer_.append(kUtf8Bom);
}

CsvWriter::~CsvWriter() { StopEncoding(true); }

// Waits for the encoding thread to finish the rows handed to it (or, when
// abandoning, the batch it is on) and ends it.
void CsvWriter::StopEncoding(bool abandon) {
  if (!encoder_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    abandon_ = abandon;
  }
  changed_.notify_all();
  encoder_.join();
}

void CsvWriter::EncodeBatches() {
  Batch batch;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return handedFull_ || closing_; });
      if (abandon_ || !handedFull_) return;
      batch.chars.swap(handed_.chars);
      batch.ends.swap(handed_.ends);
      handedFull_ = false;
    }
    changed_.notify_all();
    try {
      std::size_t from = 0;
      for (const std::uint64_t end : batch.ends) {
        const std::size_t to = static_cast<std::size_t>(end & ~kLastField);
        WriteField(std::u16string_view(batch.chars).substr(from, to - from), (end & kLastField) != 0);
        from = to;
        FlushIfFull();
      }
    } catch (...) {
      {
        const std::lock_guard lock(mutex_);
        failure_ = std::current_exception();
      }
      changed_.notify_all();
      return;
    }
    batch.chars.clear();
    batch.ends.clear();
  }
}

// Gives the gathered rows to the encoding thread once it has taken the ones
// before; a failure it met is thrown here.
void CsvWriter::HandOff() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !handedFull_ || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    handed_.chars.swap(filling_.chars);
    handed_.ends.swap(filling_.ends);
    handedFull_ = true;
  }
  changed_.notify_all();
  filling_.chars.clear();
  filling_.ends.clear();
}

void CsvWriter::Put(std::u16string_view text, bool last) {
  if (!threaded_) {
    WriteField(text, last);
    return;
  }
  filling_.chars.append(text);
  filling_.ends.push_back(filling_.chars.size() | (last ? kLastField : 0));
}

void CsvWriter::DoubleQuotesFrom(std::size_t start) {
  const auto quotes =
      static_cast<std::size_t>(std::count(buffer_.begin() + static_cast<std::ptrdiff_t>(start), buffer_.end(), '"'));
  if (quotes == 0) return;
  std::size_t src = buffer_.size();
  buffer_.resize(buffer_.size() + quotes);
  std::size_t dst = buffer_.size();
  while (src > start) {
    const char c = buffer_[--src];
    buffer_[--dst] = c;
    if (c == '"') buffer_[--dst] = '"';
  }
}

void CsvWriter::WriteField(std::u16string_view text, bool last) {
  buffer_.push_back('"');
  const std::size_t start = buffer_.size();
  if (format_.encoding == CsvEncoding::Cp932 && format_.quotes == QuoteStyle::Apostrophe) {
    unencodable_ += EncodeCp932Replacing(text, u'"', '\'', buffer_);
  } else {
    if (format_.encoding == CsvEncoding::Cp932) {
      unencodable_ += EncodeCp932(text, buffer_);
    } else {
      replaced_ += EncodeValidUtf8(text, buffer_);
    }
    if (format_.quotes == QuoteStyle::Double) {
      DoubleQuotesFrom(start);
    } else {
      ReplaceQuoteBytes(buffer_, start);
    }
  }
  buffer_.push_back('"');
  if (last) {
    buffer_.append("\r\n");
  } else {
    buffer_.push_back(',');
  }
}

void CsvWriter::WriteHeader(const ItemTable& items) {
  const std::size_t n = items.codes.size();
  for (std::size_t i = 0; i < n; ++i) Put(items.codes[i], i + 1 == n);
  if (threaded_) {
    HandOff();
  } else {
    FlushIfFull();
  }
}

void CsvWriter::WriteRow(RecordBuffer& record) {
  const std::size_t n = record.values.size();
  for (std::size_t i = 0; i < n; ++i) {
    Put(record.values[i], i + 1 == n);
    record.values[i].clear();
  }
  ++rows_;
  if (!threaded_) {
    FlushIfFull();
  } else if (filling_.chars.size() >= kBatchChars) {
    HandOff();
  }
}

void CsvWriter::Flush() {
  if (memory_ != nullptr) {
    memory_->append(buffer_);
  } else if (file_) {
    file_->Write(buffer_);
  }
  buffer_.clear();
}

void CsvWriter::FlushIfFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

void CsvWriter::Finish() {
  if (encoder_.joinable()) {
    if (!filling_.ends.empty()) HandOff();
    StopEncoding(false);
  }
  if (failure_) std::rethrow_exception(failure_);
  Flush();
  if (file_) file_->Commit();
}

}  // namespace trovlin

#include "csv/csv_writer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "csv/formula_guard.h"
#include "platform/threads_available.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

// Blocks small enough to stay in the processor's cache while they are filled.
constexpr std::size_t kFlushSize = 128 << 10;

// The byte 0x22 is never part of a double-byte character nor of a UTF-8
// sequence, so working on the encoded bytes changes exactly the quotes.
// Most values hold no quote: searching for one is far cheaper than
// comparing every byte.
void ReplaceQuoteBytes(std::string& bytes, std::size_t start) {
  for (std::size_t q = bytes.find('"', start); q != std::string::npos; q = bytes.find('"', q + 1)) bytes[q] = '\'';
}

}  // namespace

CsvWriter::CsvWriter(const std::string& path, CsvFormat format, OutputRules rules) : format_(format) {
  if (format_.sink != nullptr) return;
  file_.emplace(path, IoOperation::WriteCsv, rules);
  buffer_.reserve(kFlushSize + 4096);
  handed_.reserve(kFlushSize + 4096);
  if (format_.encoding == CsvEncoding::Utf8Bom) buffer_.append(kUtf8Bom);
  if constexpr (platform::kThreadsAvailable) writer_ = std::thread([this] { WriteBlocks(); });
}

CsvWriter::CsvWriter(std::string* memory, CsvFormat format) : format_(format), memory_(memory) {
  if (format_.encoding == CsvEncoding::Utf8Bom) buffer_.append(kUtf8Bom);
}

CsvWriter::~CsvWriter() { StopWriting(true); }

// Waits for the writing thread to write the block handed to it (unless
// abandoning) and ends it.
void CsvWriter::StopWriting(bool abandon) {
  if (!writer_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
    abandon_ = abandon;
  }
  changed_.notify_all();
  writer_.join();
}

// The writing thread: the system calls that copy a block into the file and
// send it to the disk run beside the making of the next block.
void CsvWriter::WriteBlocks() {
  std::string block;
  block.reserve(kFlushSize + 4096);
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return handedFull_ || closing_; });
      if (abandon_ || !handedFull_) return;
      block.swap(handed_);
      handedFull_ = false;
    }
    changed_.notify_all();
    try {
      file_->Write(block);
    } catch (...) {
      {
        const std::lock_guard lock(mutex_);
        failure_ = std::current_exception();
      }
      changed_.notify_all();
      return;
    }
    block.clear();
  }
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

void CsvWriter::WriteField(const std::u16string& text, bool last) {
  buffer_.push_back('"');
  if (format_.protectFormulas && LooksLikeFormula(text)) {
    buffer_.push_back('\'');
    ++protected_;
  }
  const std::size_t start = buffer_.size();
  if (format_.encoding == CsvEncoding::Cp932 && format_.quotes == QuoteStyle::Apostrophe) {
    unencodable_ += EncodeCp932Replacing(text, u'"', '\'', buffer_);
  } else {
    if (format_.encoding == CsvEncoding::Cp932) {
      unencodable_ += EncodeCp932(text, buffer_);
    } else {
      replaced_ += EncodeValidUtf8(text, buffer_);
    }
    QuoteFrom(start);
  }
  EndField(last);
}

void CsvWriter::WriteField(std::string_view cp932, bool last) {
  buffer_.push_back('"');
  const std::size_t start = buffer_.size();
  buffer_.append(cp932);
  QuoteFrom(start);
  EndField(last);
}

// The quotes in the bytes from start on, as the quote style writes them.
void CsvWriter::QuoteFrom(std::size_t start) {
  if (format_.quotes == QuoteStyle::Double) {
    DoubleQuotesFrom(start);
  } else {
    ReplaceQuoteBytes(buffer_, start);
  }
}

void CsvWriter::EndField(bool last) {
  buffer_.push_back('"');
  if (last) {
    buffer_.append("\r\n");
  } else {
    buffer_.push_back(',');
  }
}

void CsvWriter::WriteHeader(const ItemTable& items) {
  if (format_.sink != nullptr) {
    format_.sink->WriteHeader(items);
    return;
  }
  const std::size_t n = items.codes.size();
  for (std::size_t i = 0; i < n; ++i) WriteField(items.codes[i], i + 1 == n);
  FlushIfFull();
}

void CsvWriter::WriteRow(RecordBuffer& record) {
  if (format_.sink != nullptr) {
    format_.sink->WriteRow(record);
    ++rows_;
    return;
  }
  WriteValues(record);
}

void CsvWriter::WriteRow(Cp932RecordBuffer& record) {
  if (format_.sink != nullptr || format_.encoding != CsvEncoding::Cp932 || format_.protectFormulas) {
    throw std::logic_error("code page 932 rows go only into a plain code page 932 CSV");
  }
  WriteValues(record);
}

template <class Record>
void CsvWriter::WriteValues(Record& record) {
  const std::size_t n = record.values.size();
  for (std::size_t i = 0; i < n; ++i) {
    WriteField(record.values[i], i + 1 == n);
    record.values[i].clear();
  }
  ++rows_;
  FlushIfFull();
}

// A block for a file is handed to the writing thread once it has written
// the one before; a failure it met is thrown here.
void CsvWriter::Flush() {
  if (memory_ != nullptr) {
    memory_->append(buffer_);
  } else if (writer_.joinable()) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !handedFull_ || failure_; });
      if (failure_) std::rethrow_exception(failure_);
      handed_.swap(buffer_);
      handedFull_ = true;
    }
    changed_.notify_all();
  } else if (file_) {
    if (failure_) std::rethrow_exception(failure_);
    file_->Write(buffer_);
  }
  buffer_.clear();
}

void CsvWriter::FlushIfFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

void CsvWriter::Finish() {
  Flush();
  StopWriting(false);
  if (failure_) std::rethrow_exception(failure_);
  if (file_) file_->Commit();
}

}  // namespace trovlin

// The log line reader: the one way every pass reads a log.
//
// A line runs up to a CR; an LF right after that CR belongs to the line end,
// any other LF is an ordinary character. The last line needs no line end.
// Each line is decoded from code page 932 (or UTF-8, when the options say so;
// a leading byte-order mark is then skipped) and every TAB becomes four spaces.
// AtEnd() is true as soon as nothing remains to be read, that is, right after
// the last line has been returned; reading at the end yields "".
//
// With LogReaderOptions::trailingEmptyLine the reader behaves as if the log ended with
// one more empty line, so that passes which stop at the end-of-input test
// still examine the log's real last line.
//
// The file is read in large blocks; memory stays at one block plus the
// longest line. A line may hold up to kMaxLineBytes bytes; a longer one stops
// the pass with IoError, as do read failures, so memory stays bounded even
// for a file without line ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/conversion_state.h"

namespace trovlin {

// Told about bytes that are not valid in the log's encoding (they are kept,
// escaped), and, for a UTF-8 log whose CSV is code page 932, about characters
// that code page 932 cannot hold.
class DecodeReporter {
 public:
  virtual ~DecodeReporter() = default;
  virtual void OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) = 0;
  virtual void OnUnencodable(std::uint64_t /*lineNumber*/, std::size_t /*count*/) {}
};

struct LogReaderOptions {
  bool trailingEmptyLine = false;
  LogEncoding encoding = LogEncoding::Cp932;
  // Report characters of a UTF-8 log that code page 932 cannot hold.
  bool reportCp932Unencodable = false;
};

// How a conversion with these settings reads its log.
inline LogReaderOptions ReaderOptionsFor(const ConversionSettings& settings, bool trailingEmptyLine) {
  return {.trailingEmptyLine = trailingEmptyLine,
          .encoding = settings.inputEncoding,
          .reportCp932Unencodable = settings.csvEncoding == CsvEncoding::Cp932};
}

class LogReader {
 public:
  using Options = LogReaderOptions;
  static constexpr std::size_t kMaxLineBytes = std::size_t{64} << 20;

  // Opens the log at path; throws IoError when it cannot be opened.
  explicit LogReader(const std::string& path, Options options = {}, DecodeReporter* reporter = nullptr);
  ~LogReader();
  LogReader(const LogReader&) = delete;
  LogReader& operator=(const LogReader&) = delete;

  void ReadLogLine(std::u16string& line);
  bool AtEnd() const { return begin_ == end_ && fileEnded_ && !trailingLinePending_; }

  std::uint64_t LineNumber() const { return lineNumber_; }
  const std::uint64_t* BytesConsumed() const { return &consumed_; }
  std::uint64_t TotalBytes() const { return totalBytes_; }

 private:
  void Fill();
  void Consume(std::size_t upTo);

  std::string path_;
  std::FILE* file_ = nullptr;
  DecodeReporter* reporter_;
  const LogEncoding encoding_;
  const bool reportUnencodable_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_)
  std::size_t end_ = 0;
  bool fileEnded_ = false;
  bool trailingLinePending_;
  std::uint64_t lineNumber_ = 0;
  std::uint64_t consumed_ = 0;
  std::uint64_t totalBytes_ = 0;
};

}  // namespace trovlin

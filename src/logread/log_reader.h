// The log line reader: the one way every pass reads a log.
//
// A line runs up to a CR; an LF right after that CR belongs to the line end,
// any other LF is an ordinary character. For a log whose format says LF, a
// line runs up to an LF and a CR is an ordinary character. The last line
// needs no line end. Each line is decoded from code page 932, UTF-8 or UTF-16
// (as the format says; a leading byte-order mark is then skipped; UTF-16 is
// turned into UTF-8 first) and every TAB becomes four spaces.
//
// With repairLfCr (a CR log only) the bytes are read as if every LF CR pair
// had been rewritten as CR LF, in this order: from the start, at an LF whose
// next byte is CR and whose previous byte, as rewritten so far, is not CR, the
// pair is rewritten; examination always resumes two bytes after an LF, so the
// byte after an LF never starts a pair. An LF first in the log has no CR
// before it; one last in the log has no byte after it. The file itself is
// never written.
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
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"
#include "common/run_observer.h"

namespace trovlin {

// Characters of a UTF-8 or UTF-16 log that code page 932 cannot hold are
// told to the observer; whether they matter is the front end's to decide.
struct LogReaderOptions {
  bool trailingEmptyLine = false;
  LogFormat format{};
};

// How a conversion with these settings reads its log.
inline LogReaderOptions ReaderOptionsFor(const ConversionSettings& settings, bool trailingEmptyLine) {
  return {.trailingEmptyLine = trailingEmptyLine, .format = settings.InputFormat()};
}

class LogReader {
 public:
  using Options = LogReaderOptions;
  static constexpr std::size_t kMaxLineBytes = std::size_t{64} << 20;

  // Opens the log at path; throws IoError when it cannot be opened.
  explicit LogReader(const std::string& path, Options options = {}, RunObserver* observer = nullptr);
  ~LogReader();
  LogReader(const LogReader&) = delete;
  LogReader& operator=(const LogReader&) = delete;

  void ReadLogLine(std::u16string& line) {
    if (lfLines_) {
      ReadLine<'\n'>(line);
    } else {
      ReadLine<'\r'>(line);
    }
  }
  // The next line of a code page 932 log as its bytes, in the canonical form
  // (cp932_bytes.h) and with TABs expanded: the bytes the line's decoded
  // text encodes to. Invalid bytes are told to the observer as above.
  void ReadLogLine(std::string& line) {
    if (lfLines_) {
      ReadLine<'\n'>(line);
    } else {
      ReadLine<'\r'>(line);
    }
  }
  bool AtEnd() const { return begin_ == end_ && fileEnded_ && !trailingLinePending_; }

  std::uint64_t LineNumber() const { return lineNumber_; }
  // The lines of the file read so far (the trailing empty line is none).
  std::uint64_t LinesRead() const { return lineNumber_ - (trailingLineGiven_ ? 1 : 0); }
  // For progress: bytes of the file passed over (of a UTF-16 log: read so far).
  const std::uint64_t* BytesConsumed() const { return utf16_ ? &rawRead_ : &consumed_; }
  std::uint64_t TotalBytes() const { return totalBytes_; }

 private:
  template <char kEnd, class Line>
  void ReadLine(Line& line);
  // Into line; nonAscii says whether bytes hold a byte at or above 0x80.
  std::size_t DecodeLine(std::string_view bytes, bool nonAscii, std::u16string& line) const;
  std::size_t DecodeLine(std::string_view bytes, bool nonAscii, std::string& line) const;
  void Fill();
  std::size_t Read(char* to, std::size_t room);
  std::size_t ReadUtf16(char* to, std::size_t room);
  void Repair(std::size_t from);
  void Consume(std::size_t upTo);
  void TellRepaired();

  std::string path_;
  std::FILE* file_ = nullptr;
  RunObserver* observer_;
  const LogFormat format_;
  const bool lfLines_;
  const bool utf16_;
  const bool repair_;
  const bool reportUnencodable_;
  std::vector<char> buffer_;
  std::string raw_;  // UTF-16 bytes read but not yet turned into UTF-8
  bool rawStarted_ = false;
  std::uint64_t rawRead_ = 0;
  // The repair's place: the byte before buffer_[0] as rewritten (-1 at the
  // start), whether the next byte read is skipped, and whether buffer_'s
  // last byte is an LF that the next byte, if it is CR, rewrites.
  int lastByte_ = -1;
  bool repaired_ = false;  // a pair was rewritten; the observer has been told
  bool skipNext_ = false;
  bool pendingLf_ = false;
  std::size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_)
  std::size_t end_ = 0;
  bool fileEnded_ = false;
  bool trailingLinePending_;
  bool trailingLineGiven_ = false;
  std::uint64_t lineNumber_ = 0;
  std::uint64_t consumed_ = 0;
  std::uint64_t totalBytes_ = 0;
};

}  // namespace trovlin

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
// With LogReaderOptions::readAhead the lines are split and decoded on a
// second thread, a batch of lines ahead of the caller; everything the caller
// sees (lines, numbers, counts, observer calls, failures) comes in the same
// order and at the same line as without.
//
// The file is read in large blocks; memory stays at one block plus the
// longest line (with readAhead, a few batches of lines more). A line may hold up to kMaxLineBytes bytes; a longer one
// stops the pass with IoError, as do read failures, so memory stays bounded even for a file without line ends.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/conversion_state.h"
#include "common/event_hook.h"

namespace trovlin {

// Characters of a UTF-8 or UTF-16 log that code page 932 cannot hold are
// told to the observer; whether they matter is the front end's to decide.
struct LogReaderOptions {
  bool trailingEmptyLine = false;
  LogFormat format{};
  bool readAhead = false;
};

// How a conversion with these settings reads its log: it reads the whole
// log, so the lines are made ahead of it.
inline LogReaderOptions ReaderOptionsFor(const ConversionSettings& settings, bool trailingEmptyLine) {
  return {.trailingEmptyLine = trailingEmptyLine, .format = settings.InputFormat(), .readAhead = true};
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
    if (ahead_) {
      TakeLine(line);
    } else {
      Notify(MakeLine(line));
    }
  }
  bool AtEnd() const { return ahead_ ? shown_.atEnd : MadeAll(); }

  std::uint64_t LineNumber() const { return ahead_ ? shown_.lineNumber : lineNumber_; }
  // The lines of the file read so far (the trailing empty line is none).
  std::uint64_t LinesRead() const { return ahead_ ? shown_.linesRead : lineNumber_ - (trailingLineGiven_ ? 1 : 0); }
  // For progress: bytes of the file passed over (of a UTF-16 log: read so far).
  const std::uint64_t* BytesConsumed() const { return ahead_ ? &shown_.consumed : utf16_ ? &rawRead_ : &consumed_; }
  std::uint64_t TotalBytes() const { return totalBytes_; }

 private:
  // A line as made, and where the reader stood after it.
  struct LineMade {
    std::size_t end = 0;  // in the batch's characters
    std::uint64_t lineNumber = 0;
    std::uint64_t linesRead = 0;
    std::uint64_t consumed = 0;
    std::size_t invalid = 0;
    std::size_t unencodable = 0;
    bool atEnd = false;
  };
  struct Batch {
    std::u16string chars;
    std::vector<LineMade> lines;
    bool ended = false;          // no line follows the batch's last
    std::exception_ptr failure;  // thrown after the batch's last line
  };

  bool MadeAll() const { return begin_ == end_ && fileEnded_ && !trailingLinePending_; }
  LineMade MakeLine(std::u16string& line);
  template <char kEnd>
  LineMade ReadLine(std::u16string& line);
  void Notify(const LineMade& made);
  void TakeLine(std::u16string& line);
  void MakeBatches();
  void Fill();
  std::size_t Read(char* to, std::size_t room);
  std::size_t ReadUtf16(char* to, std::size_t room);
  void Repair(std::size_t from);
  void Consume(std::size_t upTo);

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

  // Read-ahead: the caller's side (shown_, the batch it reads from) and the
  // batch handed over between the threads, guarded by mutex_.
  const bool ahead_;
  LineMade shown_;
  Batch taken_;
  std::size_t takenNext_ = 0;
  Batch handed_;
  bool handedFull_ = false;
  bool closing_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread maker_;
};

}  // namespace trovlin

// The point where a long pass lets its front end breathe.
//
// The readers call PendingEvents::Process() where a single-threaded window
// would process its pending events: at each record, after each line of a
// field, after each skipped blank line and after each PATOLIS row. The call
// is cheap: it forwards to the listener only when at least kStride input
// bytes have passed since the last forward, so progress bars move and a
// cancel is noticed without the hook costing the run anything measurable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/conversion_state.h"

namespace trovlin {

// Which lines to show an observer: those whose first character (after
// leading spaces, with skipSpaces) is an ASCII character set in ascii, or
// lies in [wideFirst, wideLast], or is wideOther. Tested on every line of a
// run, so it is a few instructions.
struct LineInterest {
  bool skipSpaces = false;
  std::uint64_t ascii[2] = {0, 0};  // bit c for ASCII character c
  char16_t wideFirst = 1, wideLast = 0;
  char16_t wideOther = 0;

  void Add(char c) { ascii[static_cast<unsigned char>(c) >> 6] |= std::uint64_t{1} << (c & 63); }
  bool Any() const { return (ascii[0] | ascii[1]) != 0 || wideFirst <= wideLast || wideOther != 0; }
  bool Wants(std::u16string_view line) const {
    const char16_t* p = line.data();
    const char16_t* const end = p + line.size();
    if (skipSpaces) {
      while (p != end && *p == u' ') ++p;
    }
    if (p == end) return false;
    const char16_t c = *p;
    if (c < 128) return (ascii[c >> 6] >> (c & 63)) & 1;
    return (c >= wideFirst && c <= wideLast) || c == wideOther;
  }
};

// What a running conversion tells its front end, through one object passed
// down the run: progress, where a cancel may be thrown, and trouble met in
// the log's text (told with its line number; the text is kept all the same).
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // bytesRead of bytesTotal of the log have been consumed. May throw
  // RunCancelled to stop the run.
  virtual void OnProgress(std::uint64_t /*bytesRead*/, std::uint64_t /*bytesTotal*/) {}
  // Bytes that are not valid in the log's encoding.
  virtual void OnInvalidBytes(std::uint64_t /*lineNumber*/, std::size_t /*count*/) {}
  // Characters of a UTF-8 or UTF-16 log that code page 932 cannot hold, when
  // the CSV is in code page 932.
  virtual void OnUnencodable(std::uint64_t /*lineNumber*/, std::size_t /*count*/) {}

  // The lines the run reads that an observer building a report wants (see
  // LineInterest). Asked once when the log is opened, so a run nobody
  // reports on pays nothing, and one that reports pays a character test for
  // most lines.
  virtual LineInterest InterestInLines() const { return {}; }
  virtual void OnLine(std::uint64_t /*lineNumber*/, std::u16string_view /*line*/) {}
  // A record read: the number of its first line, its values (one per
  // column), and whether it was written as a row.
  virtual void OnRecord(std::uint64_t /*firstLine*/, const RecordBuffer& /*record*/, bool /*written*/) {}
  // A PATOLIS record the log's end cut short; its row holds what was read.
  virtual void OnRecordCutShort(std::uint64_t /*lineNumber*/) {}
};

class PendingEvents {
 public:
  static constexpr std::uint64_t kStride = 64 * 1024;

  PendingEvents() = default;
  explicit PendingEvents(RunObserver* listener) : listener_(listener) {}

  void SetSource(const std::uint64_t* bytesRead, std::uint64_t bytesTotal) {
    bytesRead_ = bytesRead;
    bytesTotal_ = bytesTotal;
  }

  void Process() {
    if (listener_ == nullptr || bytesRead_ == nullptr) return;
    if (*bytesRead_ - lastForwarded_ < kStride && *bytesRead_ != bytesTotal_) return;
    if (*bytesRead_ == lastForwarded_ && forwardedOnce_) return;
    lastForwarded_ = *bytesRead_;
    forwardedOnce_ = true;
    listener_->OnProgress(*bytesRead_, bytesTotal_);
  }

  void Record(std::uint64_t firstLine, const RecordBuffer& record, bool written) {
    if (listener_ != nullptr) listener_->OnRecord(firstLine, record, written);
  }
  void RecordCutShort(std::uint64_t lineNumber) {
    if (listener_ != nullptr) listener_->OnRecordCutShort(lineNumber);
  }

 private:
  RunObserver* listener_ = nullptr;
  const std::uint64_t* bytesRead_ = nullptr;
  std::uint64_t bytesTotal_ = 0;
  std::uint64_t lastForwarded_ = 0;
  bool forwardedOnce_ = false;
};

}  // namespace trovlin

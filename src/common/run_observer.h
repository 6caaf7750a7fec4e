// The observer of a run, and the point where a long pass lets its front end breathe.
//
// The readers call PendingEvents::ForwardProgress() where a single-threaded window
// would process its pending events: at each record, after each line of a
// field, after each skipped blank line and after each PATOLIS row. The call
// is cheap: it forwards to the listener only when at least kStride input
// bytes have passed since the last forward, so progress bars move and a
// cancel is noticed without the hook costing the run anything measurable.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/conversion_settings.h"

namespace trovlin {

// Which lines to show an observer: those whose first character (after
// leading spaces, with SkipSpaces) is an ASCII character added with Add, or
// lies in [wideFirst, wideLast], or is wideOther. Tested on every line of a
// run, so the common case is one table lookup.
struct LineInterest {
  char16_t wideFirst = 1, wideLast = 0;
  char16_t wideOther = 0;

  void Add(char c) { ascii_[static_cast<unsigned char>(c) & 127] = kYes; }
  // c first is wanted only when a word runs past the fourth character (not a
  // field code and its text).
  void AddIfLongWord(char c) { ascii_[static_cast<unsigned char>(c) & 127] = kIfLongWord; }
  void SkipSpaces() { ascii_[' '] = kLookFurther; }
  bool Wants(std::u16string_view line) const {
    if (line.empty()) return false;
    const char16_t first = line.front();
    if (first < 128 && ascii_[first] < kLookFurther) return ascii_[first] == kYes;
    if (first < 128 && ascii_[first] == kIfLongWord) return line.size() > 4 && line[4] != u' ';
    return WantsAfterSpaces(line);
  }
  // The same for a line of code page 932 bytes, where an ASCII byte is
  // always the ASCII character; decode turns bytes into text, and only the
  // few characters that decide are decoded.
  // scratch holds the decoded characters.
  using Decoder = std::size_t (*)(std::string_view, std::u16string&);
  bool Wants(std::string_view line, Decoder decode, std::u16string& scratch) const {
    if (line.empty()) return false;
    const auto first = static_cast<unsigned char>(line.front());
    if (first < 128 && ascii_[first] < kLookFurther) return ascii_[first] == kYes;
    std::u16string& head = scratch;
    head.clear();
    if (first < 128 && ascii_[first] == kIfLongWord) {
      if (line.size() <= 4) return false;
      if (std::all_of(line.begin(), line.begin() + 5, [](char c) { return static_cast<unsigned char>(c) < 128; })) {
        return line[4] != ' ';
      }
      decode(line.substr(0, 10), head);  // the fifth character ends within ten bytes
      return head.size() > 4 && head[4] != u' ';
    }
    const std::size_t i = line.find_first_not_of(' ');
    if (i == std::string_view::npos) return false;
    if (static_cast<unsigned char>(line[i]) < 128) return ascii_[static_cast<unsigned char>(line[i])] == kYes;
    decode(line.substr(i, 2), head);
    return (head[0] >= wideFirst && head[0] <= wideLast) || head[0] == wideOther;
  }

 private:
  static constexpr std::uint8_t kYes = 1, kLookFurther = 2, kIfLongWord = 3;

  bool WantsAfterSpaces(std::u16string_view line) const {
    std::size_t i = 0;
    while (i < line.size() && line[i] == u' ') ++i;
    if (i == line.size()) return false;
    const char16_t c = line[i];
    if (c < 128) return ascii_[c] == kYes;
    return (c >= wideFirst && c <= wideLast) || c == wideOther;
  }

  std::array<std::uint8_t, 128> ascii_{};
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

  // Lines that may carry an answer mark, for an observer that builds a
  // report: every line of a tagged log but blank lines and the text of an
  // "RE" field, and the lines a PATOLIS run reads between its records; of
  // those, the ones whose first character the observer's LineInterest names. Asked once per run, so a
  // run nobody reports on pays nothing.
  virtual LineInterest InterestInLines() const { return {}; }
  virtual void OnLine(std::uint64_t /*lineNumber*/, std::u16string_view /*line*/) {}
  // A record read: the number of its first line, its values (one per
  // column), and whether it was written as a row.
  virtual void OnRecord(std::uint64_t /*firstLine*/, const RecordBuffer& /*record*/, bool /*written*/) {}
  // The same from a run that keeps its text as code page 932 bytes (a code
  // page 932 log into a code page 932 CSV): an observer that looks at
  // records overrides both.
  virtual void OnCp932Record(std::uint64_t /*firstLine*/, const Cp932RecordBuffer& /*record*/, bool /*written*/) {}
  // A PATOLIS record the log's end cut short; its row holds what was read.
  virtual void OnRecordCutShort(std::uint64_t /*lineNumber*/) {}
  // A PATOLIS answer (number) whose number line the log's end follows, at
  // lineNumber: no row.
  virtual void OnAnswerCutOff(std::uint64_t /*lineNumber*/, std::uint64_t /*number*/) {}
  // The first LF CR pair a pass reads as CR LF (told once per pass).
  virtual void OnLfCrRepaired() {}
  // A value longer than a workbook cell holds, cut to it: the line its
  // field starts on, and its length in characters.
  virtual void OnCellCut(std::uint64_t /*lineNumber*/, std::uint64_t /*characters*/) {}
};

class PendingEvents {
 public:
  static constexpr std::uint64_t kStride = 64 * 1024;

  PendingEvents() = default;
  explicit PendingEvents(RunObserver* listener)
      : listener_(listener), interest_(listener != nullptr ? listener->InterestInLines() : LineInterest{}) {}

  void SetSource(const std::uint64_t* bytesRead, std::uint64_t bytesTotal) {
    bytesRead_ = bytesRead;
    bytesTotal_ = bytesTotal;
  }

  void ForwardProgress() {
    if (listener_ == nullptr || bytesRead_ == nullptr) return;
    if (*bytesRead_ - lastForwarded_ < kStride && *bytesRead_ != bytesTotal_) return;
    if (*bytesRead_ == lastForwarded_ && forwardedOnce_) return;
    lastForwarded_ = *bytesRead_;
    forwardedOnce_ = true;
    listener_->OnProgress(*bytesRead_, bytesTotal_);
  }

  // A line that may carry an answer mark (see RunObserver::OnLine).
  void MarkLine(std::uint64_t lineNumber, std::u16string_view line) {
    if (interest_.Wants(line)) listener_->OnLine(lineNumber, line);
  }
  // The same for a line of code page 932 bytes, decoded with decode when wanted.
  void MarkLine(std::uint64_t lineNumber, std::string_view line, LineInterest::Decoder decode) {
    if (!interest_.Wants(line, decode, decoded_)) return;
    decoded_.clear();
    decode(line, decoded_);
    listener_->OnLine(lineNumber, decoded_);
  }
  void Record(std::uint64_t firstLine, const RecordBuffer& record, bool written) {
    if (listener_ != nullptr) listener_->OnRecord(firstLine, record, written);
  }
  void Record(std::uint64_t firstLine, const Cp932RecordBuffer& record, bool written) {
    if (listener_ != nullptr) listener_->OnCp932Record(firstLine, record, written);
  }
  void RecordCutShort(std::uint64_t lineNumber) {
    if (listener_ != nullptr) listener_->OnRecordCutShort(lineNumber);
  }

 private:
  RunObserver* listener_ = nullptr;
  LineInterest interest_;
  const std::uint64_t* bytesRead_ = nullptr;
  std::uint64_t bytesTotal_ = 0;
  std::uint64_t lastForwarded_ = 0;
  bool forwardedOnce_ = false;
  std::u16string decoded_;
};

}  // namespace trovlin

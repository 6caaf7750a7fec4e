#include "cli/terminal.h"

#include <cstdio>

#include "cli/print.h"
#include "common/errors.h"
#include "platform/console.h"
#include "platform/stop_signals.h"

namespace trovlin::cli {
namespace {

constexpr std::uint64_t kLongLog = 8u << 20;
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
constexpr char kClearLine[] = "\r\033[K";

std::string Line(std::uint64_t lineNumber) { return " line " + std::to_string(lineNumber) + ": "; }

}  // namespace

ConsoleObserver::ConsoleObserver(std::string log, bool replaced, bool progress)
    : enabled_(progress && platform::StandardErrorIsTerminal()), log_(std::move(log)), replaced_(replaced) {}

void ConsoleObserver::Clear() {
  if (drawn_) std::fputs(kClearLine, stderr);
  drawn_ = false;
}

void ConsoleObserver::Draw(std::uint64_t bytesRead, std::uint64_t bytesTotal) {
  drawn_ = true;
  complete_ = bytesRead == bytesTotal;
  std::fprintf(stderr, "\rconverting: %3d%% (%llu of %llu MiB)", static_cast<int>(100 * bytesRead / bytesTotal),
               static_cast<unsigned long long>(bytesRead >> 20), static_cast<unsigned long long>(bytesTotal >> 20));
  std::fflush(stderr);
}

void ConsoleObserver::Finish() {
  if (!drawn_) return;
  if (!complete_) Draw(total_, total_);
  std::fputs("\n", stderr);
  drawn_ = false;
}

void ConsoleObserver::Warn(const std::string& message) {
  Clear();
  Error("warning: " + log_ + message);
}

void ConsoleObserver::OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) {
  if (platform::StopRequested()) throw RunCancelled();
  if (!enabled_ || bytesTotal < kLongLog) return;
  total_ = bytesTotal;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - last_ < kRedrawInterval && bytesRead != bytesTotal) return;
  last_ = now;
  Draw(bytesRead, bytesTotal);
}

void ConsoleObserver::OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) {
  if (replaced_) {
    invalidBytes_ += count;
    if (++invalidLines_ > kUnencodableLinesNamed) return;
    Warn(Line(lineNumber) + "bytes that are not valid in the log's encoding; written as U+FFFD" +
         (invalidLines_ == kUnencodableLinesNamed ? " (further lines are not named)" : ""));
    return;
  }
  if (invalidBytes_ == 0) {
    Warn(Line(lineNumber) + "bytes that are not valid in the log's encoding; they are kept as they are");
  }
  invalidBytes_ += count;
}

void ConsoleObserver::OnUnencodable(std::uint64_t lineNumber, std::size_t) {
  if (replaced_) return;  // a UTF-8 CSV holds every character
  if (++unencodableLines_ > kUnencodableLinesNamed) return;
  Warn(Line(lineNumber) + "characters that code page 932 cannot hold" +
       (unencodableLines_ == kUnencodableLinesNamed ? " (further lines are not named)" : ""));
}

void ConsoleObserver::OnRecordCutShort(std::uint64_t lineNumber) {
  Warn(Line(lineNumber) + "the end of the log cuts this record short; its row holds what was read");
}

void ConsoleObserver::OnAnswerCutOff(std::uint64_t lineNumber, std::uint64_t number) {
  Warn(Line(lineNumber) + "the log ends after the number line of answer " + std::to_string(number) +
       "; it has no row and counts as missing");
}

void ConsoleObserver::OnCellCut(std::uint64_t lineNumber, std::uint64_t characters) {
  Warn(Line(lineNumber) + "a value of " + std::to_string(characters) + " characters cut to a workbook cell's " +
       std::to_string(kMaxWorkbookCellChars));
}

}  // namespace trovlin::cli

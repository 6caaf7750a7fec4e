#include "cli/terminal.h"

#include <unistd.h>

#include <cstdio>

#include "common/errors.h"
#include "platform/stop_signals.h"

namespace trovlin::cli {
namespace {

constexpr std::uint64_t kLongLog = 8u << 20;
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

}  // namespace

ConsoleObserver::ConsoleObserver(std::string log, bool replaced)
    : enabled_(::isatty(STDERR_FILENO) == 1), log_(std::move(log)), replaced_(replaced) {}

ConsoleObserver::~ConsoleObserver() {
  if (drawn_) std::fputs("\r\033[K", stderr);
}

void ConsoleObserver::OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) {
  if (platform::StopRequested()) throw RunCancelled();
  if (!enabled_ || bytesTotal < kLongLog) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - last_ < kRedrawInterval) return;
  last_ = now;
  drawn_ = true;
  std::fprintf(stderr, "\rconverting: %3d%% (%llu of %llu MB)", static_cast<int>(100 * bytesRead / bytesTotal),
               static_cast<unsigned long long>(bytesRead >> 20), static_cast<unsigned long long>(bytesTotal >> 20));
  std::fflush(stderr);
}

void ConsoleObserver::OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) {
  if (replaced_) {
    invalidBytes_ += count;
    if (++invalidLines_ > kUnencodableLinesNamed) return;
    std::fprintf(stderr,
                 "trovlin-cli: warning: %s line %llu: bytes that are not valid in the log's encoding; written as "
                 "U+FFFD%s\n",
                 log_.c_str(), static_cast<unsigned long long>(lineNumber),
                 invalidLines_ == kUnencodableLinesNamed ? " (further lines are not named)" : "");
    return;
  }
  if (invalidBytes_ == 0) {
    std::fprintf(stderr,
                 "trovlin-cli: warning: %s line %llu: bytes that are not valid in the log's encoding; they "
                 "are kept as they are\n",
                 log_.c_str(), static_cast<unsigned long long>(lineNumber));
  }
  invalidBytes_ += count;
}

void ConsoleObserver::OnUnencodable(std::uint64_t lineNumber, std::size_t) {
  if (replaced_) return;  // a UTF-8 CSV holds every character
  if (++unencodableLines_ > kUnencodableLinesNamed) return;
  std::fprintf(stderr, "trovlin-cli: warning: %s line %llu: characters that code page 932 cannot hold%s\n",
               log_.c_str(), static_cast<unsigned long long>(lineNumber),
               unencodableLines_ == kUnencodableLinesNamed ? " (further lines are not named)" : "");
}

}  // namespace trovlin::cli

// What trovlin-cli tells the user on stderr while a pass runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "common/event_hook.h"
#include "logread/log_reader.h"

namespace trovlin::cli {

// A progress line, drawn only on a terminal and only for long logs; it also
// stops the run (RunCancelled) once a stop signal has come.
class TerminalProgress : public EventListener {
 public:
  TerminalProgress();
  ~TerminalProgress() override;
  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override;

 private:
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// Warns about bytes that are not valid in the log's encoding: once, naming
// the first line, when a code page 932 CSV keeps them; naming the first lines
// when a UTF-8 CSV writes them as U+FFFD. Names the first lines whose
// characters the CSV's code page cannot hold.
class InvalidBytesWarning : public DecodeReporter {
 public:
  static constexpr int kUnencodableLinesNamed = 5;

  InvalidBytesWarning(std::string log, bool replaced) : log_(std::move(log)), replaced_(replaced) {}
  void OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) override;
  void OnUnencodable(std::uint64_t lineNumber, std::size_t count) override;
  std::uint64_t total() const { return total_; }

 private:
  std::string log_;
  bool replaced_;
  std::uint64_t total_ = 0;
  int invalidLines_ = 0;
  int unencodableLines_ = 0;
};

}  // namespace trovlin::cli

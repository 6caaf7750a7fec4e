// What trovlin-cli tells the user on stderr while a pass runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "common/event_hook.h"

namespace trovlin::cli {

// What trovlin-cli shows of a running conversion. A progress line, drawn
// only on a terminal and only for long logs; the run is stopped
// (RunCancelled) once a stop signal has come. Bytes that are not valid in the
// log's encoding are warned about once, naming the first line, when a code
// page 932 CSV keeps them, and with the first lines named when a UTF-8 CSV
// writes them as U+FFFD (replaced). The first lines whose characters the
// CSV's code page cannot hold are named.
class ConsoleObserver : public RunObserver {
 public:
  static constexpr int kUnencodableLinesNamed = 5;

  // replaced: the CSV is in UTF-8, where invalid bytes become U+FFFD.
  ConsoleObserver(std::string log, bool replaced);
  ~ConsoleObserver() override;
  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override;
  void OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) override;
  void OnUnencodable(std::uint64_t lineNumber, std::size_t count) override;

 private:
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
  std::string log_;
  bool replaced_;
  std::uint64_t invalidBytes_ = 0;
  int invalidLines_ = 0;
  int unencodableLines_ = 0;
};

}  // namespace trovlin::cli

// What trovlin-cli tells the user on stderr while a pass runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "common/run_observer.h"

namespace trovlin::cli {

// What trovlin-cli shows of a running conversion. A progress line in MiB,
// drawn only on a terminal, only for long logs, and only when asked; a
// warning clears it first, and Finish() leaves it at 100 % and ends its line,
// so that the summary after it has a line of its own. The run is stopped
// (RunCancelled) once a stop signal has come. Bytes that are not valid in the
// log's encoding are warned about once, naming the first line, when a code
// page 932 CSV keeps them, and with the first lines named when a UTF-8 CSV
// writes them as U+FFFD (replaced). The first lines whose characters the
// CSV's code page cannot hold are named.
class ConsoleObserver : public RunObserver {
 public:
  static constexpr int kUnencodableLinesNamed = 5;

  // replaced: the CSV is in UTF-8, where invalid bytes become U+FFFD.
  // progress: the progress line may be drawn (not while other logs convert).
  ConsoleObserver(std::string log, bool replaced, bool progress = true);
  // Clears a progress line the run did not finish.
  ~ConsoleObserver() override { Clear(); }
  void Finish();
  void Clear();
  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override;
  void OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) override;
  void OnUnencodable(std::uint64_t lineNumber, std::size_t count) override;
  void OnRecordCutShort(std::uint64_t lineNumber) override;
  void OnAnswerCutOff(std::uint64_t lineNumber, std::uint64_t number) override;
  void OnCellCut(std::uint64_t lineNumber, std::uint64_t characters) override;

 private:
  void Draw(std::uint64_t bytesRead, std::uint64_t bytesTotal);
  void Warn(const std::string& message);

  bool enabled_;
  std::uint64_t total_ = 0;
  bool drawn_ = false;
  bool complete_ = false;  // the line drawn says 100 %
  std::chrono::steady_clock::time_point last_{};
  std::string log_;
  bool replaced_;
  std::uint64_t invalidBytes_ = 0;
  int invalidLines_ = 0;
  int unencodableLines_ = 0;
};

}  // namespace trovlin::cli

// One conversion at a time on a thread of its own.
//
// The job is any conversion of the core, given the observer that the core
// calls at its pending-events points and with trouble met in the log.
// Progress reaches the window as the progress() signal; Cancel() makes the
// next pending-events point throw RunCancelled, which the core turns into
// "no output written, an old file of that name kept". finished() is
// delivered on the window's thread once the thread has ended; result() is
// then valid until the next Start().
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "common/event_hook.h"
#include "logread/log_reader.h"
#include "report/conversion_report.h"

namespace trovlin::app {

struct RunResult {
  enum class Status { Done, Cancelled, Failed };
  Status status = Status::Done;
  // Failed, or a run that stopped part way and kept its rows (rowsKept):
  // what went wrong.
  std::exception_ptr error;
  bool rowsKept = false;
  std::uint64_t rows = 0;
  std::uint64_t unencodable = 0;   // characters written as "?"
  std::uint64_t invalidBytes = 0;  // bytes of the log that are not code page 932
  std::uint64_t firstInvalidLine = 0;
  bool written = true;  // false: a PATOLIS log with nothing to convert; no file was touched
  ConversionReport report;
};

class ConversionWorker : public QObject {
  Q_OBJECT

 public:
  // Fills the counts of a RunResult; exceptions are the worker's to catch.
  using Job = std::function<RunResult(RunObserver*)>;

  explicit ConversionWorker(QObject* parent = nullptr);
  ~ConversionWorker() override;

  // Starts job; false when a run is already under way.
  bool Start(Job job);
  bool IsRunning() const { return thread_ != nullptr; }
  void Cancel() { cancel_ = true; }
  // Blocks until the thread has ended (finished() still follows).
  void Wait();
  const RunResult& result() const { return result_; }

 signals:
  void progress(quint64 bytesRead, quint64 bytesTotal);
  void finished();

 private:
  void Run();
  void OnThreadFinished();

  Job job_;
  RunResult result_;
  std::atomic<bool> cancel_{false};
  QThread* thread_ = nullptr;
};

}  // namespace trovlin::app

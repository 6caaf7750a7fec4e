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

#include "common/run_observer.h"
#include "session/conversion.h"

namespace trovlin::app {

// How a run on the worker ended: the session's outcome when it came back,
// and the log's invalid bytes the observer met on the way.
struct RunResult {
  enum class Status { Done, Cancelled, Failed };
  Status status = Status::Done;
  std::exception_ptr error;  // Failed: what went wrong
  ConversionOutcome outcome;
  std::uint64_t invalidBytes = 0;  // bytes of the log that are not code page 932
  std::uint64_t firstInvalidLine = 0;
};

class ConversionWorker : public QObject {
  Q_OBJECT

 public:
  // A conversion asked of the session; exceptions are the worker's to catch.
  using Job = std::function<ConversionOutcome(RunObserver*)>;

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

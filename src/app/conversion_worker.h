// One conversion at a time on a thread of its own.
//
// The job is any conversion of the core, given the listener that the core
// calls at its pending-events points and a reporter of undecodable bytes.
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

namespace trovlin::app {

struct RunResult {
  enum class Status { Done, Cancelled, Failed };
  Status status = Status::Done;
  std::exception_ptr error;  // Failed: what went wrong
  std::uint64_t rows = 0;
  std::uint64_t unencodable = 0;   // characters written as "?"
  std::uint64_t invalidBytes = 0;  // bytes of the log that are not code page 932
  std::uint64_t firstInvalidLine = 0;
  bool patolisFailed = false;  // a PATOLIS converter stopped early
  std::string patolisFailure;
};

class ConversionWorker : public QObject {
  Q_OBJECT

 public:
  // Fills the counts of a RunResult; exceptions are the worker's to catch.
  using Job = std::function<RunResult(EventListener*, DecodeReporter*)>;

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

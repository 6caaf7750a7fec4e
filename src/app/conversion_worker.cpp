#include "app/conversion_worker.h"

#include <exception>

#include "common/errors.h"

namespace trovlin::app {
namespace {

class Observer : public RunObserver {
 public:
  Observer(ConversionWorker& worker, const std::atomic<bool>& cancel) : worker_(worker), cancel_(cancel) {}
  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override {
    if (cancel_) throw RunCancelled();
    // Emitted from the run's thread; Qt queues it to the window's thread.
    emit worker_.progress(bytesRead, bytesTotal);
  }
  void OnInvalidBytes(std::uint64_t lineNumber, std::size_t count) override {
    if (bytes == 0) firstLine = lineNumber;
    bytes += count;
  }
  std::uint64_t bytes = 0;
  std::uint64_t firstLine = 0;

 private:
  ConversionWorker& worker_;
  const std::atomic<bool>& cancel_;
};

}  // namespace

ConversionWorker::ConversionWorker(QObject* parent) : QObject(parent) {}

ConversionWorker::~ConversionWorker() {
  if (thread_ == nullptr) return;
  Cancel();
  thread_->wait();
  delete thread_;
}

bool ConversionWorker::Start(Job job) {
  if (thread_ != nullptr) return false;
  job_ = std::move(job);
  result_ = RunResult();
  cancel_ = false;
  thread_ = QThread::create([this] { Run(); });
  connect(thread_, &QThread::finished, this, &ConversionWorker::OnThreadFinished, Qt::QueuedConnection);
  thread_->start();
  return true;
}

void ConversionWorker::Wait() {
  if (thread_ != nullptr) thread_->wait();
}

void ConversionWorker::Run() {
  Observer observer(*this, cancel_);
  RunResult result;
  try {
    result.outcome = job_(&observer);
    // A failure met while cancelling is the cancel, also one after which the
    // rows written so far were kept.
    if (cancel_ && result.outcome.status == ConversionOutcome::Status::RowsKept) {
      result.status = RunResult::Status::Cancelled;
    }
  } catch (const RunCancelled&) {
    result.status = RunResult::Status::Cancelled;
  } catch (const IoError&) {
    result.status = cancel_ ? RunResult::Status::Cancelled : RunResult::Status::Failed;
    result.error = std::current_exception();
  } catch (const std::exception&) {
    result.status = RunResult::Status::Failed;
    result.error = std::current_exception();
  }
  result.invalidBytes = observer.bytes;
  result.firstInvalidLine = observer.firstLine;
  result_ = std::move(result);
}

void ConversionWorker::OnThreadFinished() {
  if (thread_ == nullptr) return;
  thread_->wait();
  delete thread_;
  thread_ = nullptr;
  job_ = nullptr;
  emit finished();
}

}  // namespace trovlin::app

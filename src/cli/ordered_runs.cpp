#include "cli/ordered_runs.h"

#include <thread>

#include "cli/print.h"

namespace trovlin::cli {

OrderedRuns::OrderedRuns(std::size_t count, unsigned workers) : workers_(workers < 1 ? 1 : workers), slots_(count) {}

void OrderedRuns::WaitFor(std::size_t index) {
  std::unique_lock lock(mutex_);
  ended_.wait(lock, [&] { return slots_[index].done; });
}

void OrderedRuns::Work(const std::function<void(std::size_t, bool)>& work) {
  for (;;) {
    std::size_t index = 0;
    {
      const std::lock_guard lock(mutex_);
      if (next_ == slots_.size()) return;
      index = next_++;
    }
    std::exception_ptr failure;
    std::string held;
    {
      HeldMessages messages;
      try {
        work(index, true);
      } catch (...) {
        failure = std::current_exception();
      }
      held = messages.Take();
    }
    const std::lock_guard lock(mutex_);
    slots_[index] = {true, std::move(held), failure};
    ended_.notify_all();
  }
}

void OrderedRuns::Run(const std::function<void(std::size_t, bool)>& work) {
  if (workers_ == 1 || slots_.size() < 2) {
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      work(i, false);
      const std::lock_guard lock(mutex_);
      slots_[i].done = true;
    }
    return;
  }
  std::vector<std::jthread> threads;
  for (unsigned w = 0; w < workers_ && w < slots_.size(); ++w) threads.emplace_back([&] { Work(work); });
  std::exception_ptr first;
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    std::string held;
    {
      std::unique_lock lock(mutex_);
      ended_.wait(lock, [&] { return slots_[i].done; });
      held = std::move(slots_[i].held);
      if (!first) first = slots_[i].failure;
    }
    Print(stderr, held);
  }
  threads.clear();
  if (first) std::rethrow_exception(first);
}

}  // namespace trovlin::cli

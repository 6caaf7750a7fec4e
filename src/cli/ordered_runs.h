// Runs of a batch that may go on at the same time but speak in order.
//
// Run(work) calls work(i, parallel) once for each i in [0, count), on up to
// `workers` threads taking the indexes in increasing order. With one worker
// the calls are made in this thread, one after the other, and print as they
// go. With more, each call's stderr is held (HeldMessages) and printed whole
// once every call before it has been printed, so the output reads as if the
// runs had been made one after the other; an exception a call throws is
// thrown again by Run() once every call has ended and its text is printed
// (with one worker, at once). WaitFor(j), from within work(i, ...) with j < i, waits
// until call j has ended; calls never wait for a later one, so no wait can
// block for ever.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace trovlin::cli {

class OrderedRuns {
 public:
  OrderedRuns(std::size_t count, unsigned workers);
  void Run(const std::function<void(std::size_t index, bool parallel)>& work);
  void WaitFor(std::size_t index);

 private:
  struct Slot {
    bool done = false;
    std::string held;
    std::exception_ptr failure;
  };
  void Work(const std::function<void(std::size_t, bool)>& work);

  unsigned workers_;
  std::vector<Slot> slots_;
  std::size_t next_ = 0;
  std::mutex mutex_;
  std::condition_variable ended_;
};

}  // namespace trovlin::cli

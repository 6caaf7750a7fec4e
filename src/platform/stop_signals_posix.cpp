#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstring>

#include "platform/stop_signals.h"

namespace trovlin::platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Set by the handler in whichever thread the signal lands on, read by every
// run: an atomic, as sig_atomic_t is only safe within one thread.
std::atomic<int> caught{0};

// One partial file per thread (a batch writes several CSVs at once), each
// in a slot of its own. Read by the handler, so fixed buffers, and lock-free
// atomics rather than locks.
enum SlotState { kFree, kClaimed, kSet };
struct PartialFile {
  std::atomic<int> state{kFree};
  char path[PATH_MAX + 1];
};
constexpr int kPartialFiles = 64;
PartialFile partialFiles[kPartialFiles];
thread_local PartialFile* threadSlot = nullptr;
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];
bool installed[sizeof kSignals / sizeof kSignals[0]];

void OnStopSignal(int signal) {
  if (caught.load() == 0) {
    caught.store(signal);
    return;
  }
  for (PartialFile& file : partialFiles) {
    if (file.state.load() == kSet) ::unlink(file.path);
  }
  ::_exit(128 + caught.load());
}

}  // namespace

StopSignals::StopSignals() {
  caught.store(0);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a write blocked on a FIFO or a read on a terminal must
  // return so the run can notice the signal.
  action.sa_flags = 0;
  for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
    installed[i] = false;
    if (::sigaction(kSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) continue;
    installed[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

StopSignals::~StopSignals() {
  for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
    if (installed[i]) ::sigaction(kSignals[i], &previous[i], nullptr);
  }
}

int StopSignal() { return caught.load(); }

void RememberPartialFile(const std::string& path) {
  for (int i = 0; threadSlot == nullptr && i < kPartialFiles; ++i) {
    int free = kFree;
    if (partialFiles[i].state.compare_exchange_strong(free, kClaimed)) threadSlot = &partialFiles[i];
  }
  if (threadSlot == nullptr) return;
  threadSlot->state.store(kClaimed);
  if (path.size() > PATH_MAX) return;
  std::memcpy(threadSlot->path, path.c_str(), path.size() + 1);
  threadSlot->state.store(kSet);
}

void ForgetPartialFile() {
  if (threadSlot != nullptr) threadSlot->state.store(kClaimed);
}

}  // namespace trovlin::platform

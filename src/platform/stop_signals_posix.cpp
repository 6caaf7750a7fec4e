#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/stop_signals.h"

namespace trovlin::platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t caught = 0;
// Read by the handler, so a fixed buffer rather than a string.
char partialFile[PATH_MAX + 1];
volatile sig_atomic_t partialFileSet = 0;
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];
bool installed[sizeof kSignals / sizeof kSignals[0]];

void OnStopSignal(int signal) {
  if (caught == 0) {
    caught = signal;
    return;
  }
  if (partialFileSet) ::unlink(partialFile);
  ::_exit(128 + caught);
}

}  // namespace

StopSignals::StopSignals() {
  caught = 0;
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

int StopSignal() { return caught; }

void RememberPartialFile(const std::string& path) {
  partialFileSet = 0;
  if (path.size() > PATH_MAX) return;
  std::memcpy(partialFile, path.c_str(), path.size() + 1);
  partialFileSet = 1;
}

void ForgetPartialFile() { partialFileSet = 0; }

}  // namespace trovlin::platform

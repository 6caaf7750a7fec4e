// Interrupt, terminate and hang-up signals that stop a run cleanly.
//
// While a StopSignals object lives, SIGINT, SIGTERM and SIGHUP do not end the
// process: the handler only records the signal, blocking system calls return
// EINTR, and the run notices StopSignal() at its next pending-events point or
// failed call and unwinds, so its temporary output goes with it. A second
// signal ends the process at once, removing the named temporary file
// remembered with RememberPartialFile() first. A signal the process was told
// to ignore (nohup) stays ignored. Nothing here is used by the window.
#pragma once

#include <string>

namespace trovlin::platform {

class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;
};

// The number of the first stop signal received, or 0.
int StopSignal();
inline bool StopRequested() { return StopSignal() != 0; }

// The named temporary file that a second signal removes (one at a time in
// each thread, for up to 64 threads).
void RememberPartialFile(const std::string& path);
void ForgetPartialFile();

}  // namespace trovlin::platform

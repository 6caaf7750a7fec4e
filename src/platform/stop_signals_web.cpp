// A page receives no signals: its run is stopped by ending the worker that
// runs it, which takes the run's memory and unfinished output with it.
#include "platform/stop_signals.h"

namespace trovlin::platform {

StopSignals::StopSignals() = default;
StopSignals::~StopSignals() = default;

int StopSignal() { return 0; }

void RememberPartialFile(const std::string&) {}
void ForgetPartialFile() {}

}  // namespace trovlin::platform

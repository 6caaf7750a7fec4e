#include <unistd.h>

#include <csignal>

#include "platform/console.h"

namespace trovlin::platform {

void PrepareCommandLineProcess() { std::signal(SIGXFSZ, SIG_IGN); }

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace trovlin::platform

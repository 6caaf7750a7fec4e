// A page has no command line and no terminal.
#include "platform/console.h"

namespace trovlin::platform {

void PrepareCommandLineProcess() {}

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

bool StandardErrorIsTerminal() { return false; }

}  // namespace trovlin::platform

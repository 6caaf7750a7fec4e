// trovlin-cli: the command-line twin of the window.
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/console.h"

int main(int argc, char** argv) {
  trovlin::platform::PrepareCommandLineProcess();
  const std::vector<std::string> args = trovlin::platform::CommandLineArguments(argc, argv);
  if (args.size() < 2 || args[1] == "--help" || args[1] == "-h") {
    trovlin::cli::PrintOverview();
    return args.size() < 2 ? trovlin::cli::kUsage : trovlin::cli::kOk;
  }
  if (args[1] == "--version") {
    trovlin::cli::PrintVersion();
    return trovlin::cli::kOk;
  }
  return trovlin::cli::RunCommand(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
}

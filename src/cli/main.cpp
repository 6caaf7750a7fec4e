// trovlin-cli: the command-line twin of the window.
#include <csignal>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
  // A file size limit must surface as a write error, not kill the run.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    trovlin::cli::PrintOverview();
    return argc < 2 ? trovlin::cli::kUsage : trovlin::cli::kOk;
  }
  if (std::string(argv[1]) == "--version") {
    trovlin::cli::PrintVersion();
    return trovlin::cli::kOk;
  }
  return trovlin::cli::RunCommand(argv[1], std::vector<std::string>(argv + 2, argv + argc));
}

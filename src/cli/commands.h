// The subcommands of trovlin-cli. Each takes the words after its name and
// returns the exit code: 0 success, 1 usage, 2 input problem, 3 output problem,
// 4 answers missing or repeated (with --strict).
#pragma once

#include <string>
#include <vector>

namespace trovlin::cli {

enum ExitCode { kOk = 0, kUsage = 1, kInputProblem = 2, kOutputProblem = 3, kIncomplete = 4 };

int RunCommand(const std::string& name, const std::vector<std::string>& args);
void PrintOverview();
// "trovlin-cli 0.1.0": the project's version.
void PrintVersion();

}  // namespace trovlin::cli

// The subcommands of trovlin-cli. Each takes the words after its name and
// returns the exit code: 0 success, 1 usage, 2 input problem, 3 output problem,
// 4 answers missing or repeated (with --strict).
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "common/errors.h"

namespace trovlin::cli {

enum ExitCode { kOk = 0, kUsage = 1, kInputProblem = 2, kOutputProblem = 3, kIncomplete = 4 };

// The exit code of a failure: the output's side (OutputError) 3, the log's 2.
ExitCode ExitCodeFor(const IoError& failure);
// The same of a failure held as a value (an IoError), and its sentence.
ExitCode ExitCodeFor(const std::exception_ptr& failure);
std::string FailureText(const std::exception_ptr& failure);

int RunCommand(const std::string& name, const std::vector<std::string>& args);
void PrintOverview();
// "trovlin-cli 0.1.0": the project's version.
void PrintVersion();

}  // namespace trovlin::cli

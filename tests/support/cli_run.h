// Test support for trovlin-cli: the real binary run with its output captured,
// and the bundled sample logs.
#pragma once

#include <string>
#include <vector>

namespace trovlin::testing {

class TempDir;

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs trovlin-cli with args in the current folder, standard input read from
// the file input.
CommandResult RunCli(const std::vector<std::string>& args, const std::string& input = "/dev/null");

std::string SamplePath(const std::string& name);
// A copy of a bundled sample in dir, so that outputs land beside it.
std::string CopySample(const TempDir& dir, const std::string& name);

}  // namespace trovlin::testing

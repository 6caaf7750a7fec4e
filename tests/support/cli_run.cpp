#include "support/cli_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

CommandResult RunCli(const std::vector<std::string>& args, const std::string& input) {
  TempDir capture;
  std::string command = Quote(TROVLIN_CLI_PATH);
  for (const std::string& a : args) command += " " + Quote(a);
  command += " >" + Quote(capture.File("out")) + " 2>" + Quote(capture.File("err")) + " <" + Quote(input);
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(capture.File("out")), ReadBytes(capture.File("err"))};
}

std::string SamplePath(const std::string& name) { return std::string(TROVLIN_SAMPLES_DIR) + "/" + name; }

std::string CopySample(const TempDir& dir, const std::string& name) {
  return dir.Write(name, ReadBytes(SamplePath(name)));
}

}  // namespace trovlin::testing

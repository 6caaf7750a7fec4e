// Test support: a temporary folder removed with its contents, and whole-file
// reads and writes of raw bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trovlin::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path()/name
  std::string File(std::string_view name) const;
  // Writes bytes to path()/name and returns that path.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);

// text in code page 932, for building logs from readable literals.
std::string Sjis(std::u16string_view text);
// Lines joined with CR LF after each.
std::string CrLfLines(std::initializer_list<std::string_view> lines);

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};
// Runs trovlin-cli with args (each shell-quoted here) in the current folder,
// standard input read from the file input.
CommandResult RunCli(const std::vector<std::string>& args, const std::string& input = "/dev/null");

}  // namespace trovlin::testing

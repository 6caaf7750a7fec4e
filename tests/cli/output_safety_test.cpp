// trovlin-cli and the files around a conversion: names it chose, clashing
// names in a batch, standard input, and signals in the middle of a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using namespace testing;

const std::string kStn = std::string(TROVLIN_SAMPLES_DIR) + "/stn_sample.log";

TEST(OutputSafety, RefusedFilesSayHowToInsist) {
  TempDir dir;
  const std::string log = dir.Write("search.log.1", ReadBytes(kStn));
  const std::string c = dir.Write("search.log.c", "int main(){}\n");
  const std::string ro = dir.Write("ro.csv", "old");
  std::filesystem::permissions(ro, std::filesystem::perms::others_read);
  for (const char* folder : {"a", "b"}) std::filesystem::create_directory(dir.File(folder));
  const std::string a = dir.Write("a/log.txt", ReadBytes(kStn));
  const std::string b = dir.Write("b/log.txt", ReadBytes(std::string(TROVLIN_SAMPLES_DIR) + "/dialog_sample.log"));
  const std::string csv = RunCli({"convert", kStn, "-o", "-"}).out;
  const std::string notCsv = "trovlin-cli: cannot write the CSV file '" + c +
                             "': it exists and is not a CSV file; name the output with -o, or --force replaces it\n";
  const std::string readOnly =
      "trovlin-cli: cannot write the CSV file '" + ro + "': it is read-only; --force replaces it\n";
  const std::string dup = dir.File("log.csv");
  const std::string clash = b + ": its CSV '" + dup + "' was already written for " + a;
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string err;  // a line of stderr
    std::string file;
    std::string bytes;  // the file's contents afterwards
  } cases[] = {
      {{"convert", log}, 3, notCsv, c, "int main(){}\n"},
      {{"convert", kStn, "-o", ro}, 3, readOnly, ro, "old"},
      {{"convert", kStn, "-o", ro, "--force"}, 0, "", ro, csv},
      {{"convert", a, b, "--out-dir", dir.path()}, 3, clash, dup, csv},
  };
  for (const auto& k : cases) {
    const auto r = RunCli(k.args);
    EXPECT_EQ(r.exitCode, k.exitCode) << r.err;
    EXPECT_NE(r.err.find(k.err), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(k.file), k.bytes);
  }
}

TEST(OutputSafety, ADashReadsTheLogFromStandardInput) {
  TempDir dir;
  const std::string out = dir.File("out.csv");
  const std::string csv = RunCli({"convert", kStn, "--items", "AN,TI", "-o", "-"}).out;
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"detect", "-"}, "STN\n"},
      {{"convert", "-", "--items", "AN,TI"}, csv},
      {{"convert", "-", "--items", "AN,TI", "-o", out}, ""},
  };
  for (const auto& [args, expected] : cases) {
    const auto r = RunCli(args, kStn);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, expected);
  }
  EXPECT_EQ(ReadBytes(out), csv);
}

TEST(OutputSafety, ASignalDuringARunLeavesThePreviousFileAndNothingElse) {
  TempDir in, dir;
  std::string log;
  for (int i = 0; i < 1'000'000; ++i) log += "AN   " + std::to_string(i) + "\r\nTI   a title of some length\r\n\r\n";
  const std::string path = in.Write("big.log", log);
  const std::string out = dir.File("out.csv");
  // Whether the run has a file in dir open: the output, named or not.
  const auto writing = [&](pid_t pid) {
    std::error_code ec;
    const std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", ec);
    return std::any_of(begin(fds), end(fds), [&](const auto& fd) {
      return std::filesystem::read_symlink(fd.path(), ec).string().rfind(dir.path() + "/", 0) == 0;
    });
  };
  // The signal, and the exit code or minus the signal that ended the process.
  const std::pair<int, int> cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}, {SIGKILL, -SIGKILL}};
  for (const auto& [signal, expected] : cases) {
    SCOPED_TRACE(signal);
    WriteBytes(out, "previous");
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int s : {SIGINT, SIGHUP}) ::signal(s, SIG_DFL);
      if (std::freopen(in.File("err").c_str(), "w", stderr) == nullptr) ::_exit(126);
      ::execl(TROVLIN_CLI_PATH, "trovlin-cli", "convert", path.c_str(), "--db", "STN", "--items", "AN,TI", "-o",
              out.c_str(), nullptr);
      ::_exit(127);
    }
    for (int i = 0; i < 10000 && !writing(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), expected);
    EXPECT_EQ(ReadBytes(in.File("err")), expected > 0 ? "trovlin-cli: interrupted; no CSV written\n" : "");
    EXPECT_EQ(ReadBytes(out), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

}  // namespace
}  // namespace trovlin

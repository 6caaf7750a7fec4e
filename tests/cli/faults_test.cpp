// Bad input and failing output through trovlin-cli: each gets a clear
// message naming the file and the reason, a non-zero exit, and no file is
// damaged or left half-written; and the files around a conversion: names it
// chose, clashing names in a batch, standard input, signals during a run.
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using namespace testing;
using namespace std::string_literals;

const std::string kSamples = TROVLIN_SAMPLES_DIR;
const std::string kStn = kSamples + "/stn_sample.log";

TEST(Faults, LogsThatAreNotLogs) {
  TempDir dir;
  const std::string noMarker = "no STN, DIALOG, JOIS or PATOLIS marker";
  const std::pair<std::string, std::string> refused[] = {
      {"", "the file is empty"},
      {std::string("hello\0world\r\nx\r\n", 16), "the file holds NUL bytes: not a text log"},
      {std::string("L\0001\0\r\0\n\0x\0\r\0\n\0", 14),
       "the file looks like UTF-16 without a byte-order mark; --input-encoding utf-16 reads it"},
      // Japanese UTF-16 has few NULs: those of its line ends and spaces, all in the second byte.
      {"\x0A\x30\x68\x30\x20\x00\x1C\x69\x22\x7D\x0D\x00\x0A\x00\x54\x30\x4B\x30\x89\x30\x8C\x30\x3C\x30"
       "\x1C\x69\x22\x7D\x1C\x69\x22\x7D\x1C\x69\x22\x7D\x1C\x69\x22\x7D"s,
       "the file looks like UTF-16 without a byte-order mark; --input-encoding utf-16 reads it"},
      {"abcd\r\nDIALOG\r\nx\r\n", noMarker + ": line 1 has 4 characters or fewer and ends the search"},
      {"one line\r\nxyz\r\nDIALOG\r\n",
       noMarker + " in the first line (line 2 has 4 characters or fewer and ends the search)"},
      {"first line\r\nsecond line\r\nlast", noMarker + " in the first 2 lines"},
      {"DIALOG", noMarker + ": the log's only line is never examined"},
  };
  for (const auto& [bytes, reason] : refused) {
    const std::string path = dir.Write("refused.log", bytes);
    const auto r = RunCli({"detect", path});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "trovlin-cli: " + path + ": not a search log\ntrovlin-cli: " + path + ": " + reason + "\n");
  }

  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131 + 7) % 256));
  const auto converted = RunCli({"convert", dir.Write("binary.log", binary), "--db", "STN", "--items", "AN,TI"});
  EXPECT_EQ(converted.exitCode, 0) << converted.err;
  EXPECT_EQ(ReadBytes(dir.File("binary.csv")).rfind("\"AN\",\"TI\"\r\n", 0), 0u);
}

TEST(Faults, OverlongLineStopsWithAClearMessage) {
  TempDir dir;
  const std::string log = dir.Write("long.log", "TI   " + std::string(70u << 20, 'x'));
  const auto r = RunCli({"convert", log, "--db", "STN", "-o", dir.File("out.csv")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, "trovlin-cli: cannot read the log '" + log + "': line 1 is longer than the limit of 64 MiB\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.csv")));

  // A PATOLIS log keeps the rows it converted, but a failed read is an input problem all the same.
  const std::string sample = kSamples + "/patolis_layout1.log";
  const std::string patolis = dir.Write("long-patolis.log", ReadBytes(sample) + std::string(70u << 20, 'x'));
  const auto p = RunCli({"convert", patolis, "-o", dir.File("out.csv")});
  EXPECT_EQ(p.exitCode, 2);
  EXPECT_EQ(p.err, "trovlin-cli: " + patolis + ": PATOLIS conversion failed: cannot read the log '" + patolis +
                       "': line 15 is longer than the limit of 64 MiB; the rows converted before it were kept in " +
                       dir.File("out.csv") + "\n");
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), RunCli({"convert", sample, "-o", "-"}).out);
}

// On a terminal a long log draws a progress line in MiB, which ends at 100 %
// on a line of its own; the summary follows on the next line.
TEST(Faults, ProgressOnATerminalEndsAtAHundredPerCentOnItsOwnLine) {
  TempDir dir;
  std::string log;
  while (log.size() < (9u << 20)) log += "AN   " + std::to_string(log.size()) + "\r\nTI   some title\r\n\r\n";
  const std::string path = dir.Write("big.log", log), out = dir.File("big.csv");
  termios raw{};
  ::cfmakeraw(&raw);  // no CR added before LF
  int terminal = -1;
  const pid_t pid = ::forkpty(&terminal, nullptr, &raw, nullptr);
  if (pid == 0) {
    ::execl(TROVLIN_CLI_PATH, "trovlin-cli", "convert", path.c_str(), "--db", "STN", "--items", "AN,TI", nullptr);
    ::_exit(127);
  }
  std::string err;
  char buffer[4096];
  for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) err.append(buffer, n);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ::close(terminal);
  // One row per record, and every record has an "A".
  const std::string rows = std::to_string(std::count(log.begin(), log.end(), 'A'));
  const std::string last =
      "\rconverting: 100% (9 of 9 MiB)\nSTN: " + rows + " row(s) of 2 column(s) written to " + out + "\n";
  ASSERT_GT(err.size(), last.size()) << err;
  EXPECT_EQ(err.substr(err.size() - last.size()), last);
  std::istringstream frames(err.substr(1, err.size() - last.size()));
  for (std::string frame; std::getline(frames, frame, '\r');) {
    EXPECT_EQ(std::pair(frame.substr(0, 12), frame.substr(frame.size() - 10)),
              std::pair("converting: "s, " of 9 MiB)"s));
  }
}

// The LF CR line ends of a PATOLIS log are repaired while reading: a log
// that cannot be written (immutable: as root, permissions do not stop a
// write) converts as its CR LF twin does, and stays as it was.
TEST(Faults, ReadOnlyPatolisLogIsConvertedAndLeftWhole) {
  TempDir dir;
  const std::string twin = kSamples + "/patolis_layout1.log";
  std::string bytes = ReadBytes(twin);
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) {
    bytes.replace(at, 2, "\n\r");
  }
  const std::string log = dir.Write("patolis.log", bytes);
  if (std::system(("chattr +i '" + log + "' 2>/dev/null").c_str()) != 0) GTEST_SKIP() << "no immutable files here";
  for (const char* command : {"detect", "items"}) EXPECT_EQ(RunCli({command, log}).exitCode, 0) << command;
  const auto r = RunCli({"convert", log, "-o", "-"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, RunCli({"convert", twin, "-o", "-"}).out);
  EXPECT_EQ(ReadBytes(log), bytes);
  std::system(("chattr -i '" + log + "'").c_str());
}

// Refused outputs that --force replaces are in the command-line table.
TEST(OutputSafety, ABatchKeepsTheCsvItWroteForAnotherLogOfTheSameName) {
  TempDir dir;
  for (const char* folder : {"a", "b"}) std::filesystem::create_directory(dir.File(folder));
  const std::string a = dir.Write("a/log.txt", ReadBytes(kStn));
  const std::string b = dir.Write("b/log.txt", ReadBytes(kSamples + "/dialog_sample.log"));
  const auto r = RunCli({"convert", a, b, "--out-dir", dir.path(), "--jobs", "2"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find(b + ": its CSV '" + dir.File("log.csv") + "' was already written for " + a), std::string::npos)
      << r.err;
  EXPECT_EQ(ReadBytes(dir.File("log.csv")), RunCli({"convert", kStn, "-o", "-"}).out);
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

TEST(OutputSafety, ASignalOrAWriteErrorDuringARunLeavesThePreviousFileAndNothingElse) {
  TempDir in, dir;
  std::string log;
  for (int i = 0; i < 1'000'000; ++i) log += "AN   " + std::to_string(i) + "\r\nTI   a title of some length\r\n\r\n";
  const std::string path = in.Write("big.log", log), path2 = in.Write("big2.log", log);
  const std::string out = dir.File("big.csv");
  // Whether the run has a file in dir open: the output, named or not.
  const auto writing = [&](pid_t pid) {
    std::error_code ec;
    const std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", ec);
    return std::any_of(begin(fds), end(fds), [&](const auto& fd) {
      return std::filesystem::read_symlink(fd.path(), ec).string().rfind(dir.path() + "/", 0) == 0;
    });
  };
  // The signal, and the exit code or minus the signal that ended the process;
  // no signal but a file size limit that the CSV outgrows: a write error;
  // and whether two logs are converted at once into dir.
  const std::tuple<int, int, bool> cases[] = {{SIGINT, 130, false},       {SIGTERM, 143, false}, {SIGHUP, 129, false},
                                              {SIGKILL, -SIGKILL, false}, {0, 3, false},         {SIGTERM, 143, true}};
  const std::string stop = "interrupted; no CSV written",
                    tooLarge = "cannot write the CSV file '" + out + "': File too large";
  for (const auto& [signal, expected, batch] : cases) {
    SCOPED_TRACE(signal);
    WriteBytes(out, "previous");
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int s : {SIGINT, SIGHUP}) ::signal(s, SIG_DFL);
      const rlimit limit{32768, 32768};
      if (signal == 0 && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
      if (std::freopen(in.File("err").c_str(), "w", stderr) == nullptr) ::_exit(126);
      if (batch) {
        ::execl(TROVLIN_CLI_PATH, "trovlin-cli", "convert", path.c_str(), path2.c_str(), "--db", "STN", "--items",
                "AN,TI", "--out-dir", dir.path().c_str(), "--jobs", "2", nullptr);
      }
      ::execl(TROVLIN_CLI_PATH, "trovlin-cli", "convert", path.c_str(), "--db", "STN", "--items", "AN,TI", "-o",
              out.c_str(), nullptr);
      ::_exit(127);
    }
    for (int i = 0; signal != 0 && i < 10000 && !writing(pid); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), expected);
    const std::string told = expected == 3 ? tooLarge
                             : batch       ? "interrupted; the remaining logs were not converted"
                                           : stop;
    EXPECT_EQ(ReadBytes(in.File("err")), expected > 0 ? "trovlin-cli: " + told + "\n" : "");
    EXPECT_EQ(ReadBytes(out), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  }
}

}  // namespace
}  // namespace trovlin

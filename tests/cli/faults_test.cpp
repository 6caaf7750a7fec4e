// Bad input and failing output through trovlin-cli: each gets a clear
// message naming the file and the reason, a non-zero exit, and no file is
// damaged or left half-written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::TempDir;

const std::string kStn = std::string(TROVLIN_SAMPLES_DIR) + "/stn_sample.log";

std::vector<std::string> FileNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Faults, LogsThatAreNotLogs) {
  TempDir dir;
  const std::string folder = dir.File("folder.log");
  std::filesystem::create_directory(folder);
  const auto asFolder = RunCli({"convert", folder, "--db", "STN"});
  EXPECT_EQ(asFolder.exitCode, 2);
  EXPECT_EQ(asFolder.err, "trovlin-cli: cannot read the log '" + folder + "': it is a folder\n");

  const struct {
    std::string bytes;
    std::string reason;
  } refused[] = {
      {"", "the file is empty"},
      {std::string("hello\0world\r\nx\r\n", 16), "the file holds NUL bytes: not a text log"},
      {std::string("L\0001\0\r\0\n\0x\0\r\0\n\0", 14), "the file is UTF-16 without a byte-order mark"},
      {"abc\r\nDIALOG\r\nx\r\n",
       "no STN, DIALOG, JOIS or PATOLIS marker: line 1 has 4 characters or fewer and ends the search"},
      {"one line\r\nxyz\r\nDIALOG\r\n",
       "no STN, DIALOG, JOIS or PATOLIS marker in the first line (line 2 has 4 characters or fewer and ends the "
       "search)"},
      {"DIALOG", "no STN, DIALOG, JOIS or PATOLIS marker: the log's only line is never examined"},
  };
  for (const auto& c : refused) {
    const std::string path = dir.Write("refused.log", c.bytes);
    const auto r = RunCli({"detect", path});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "trovlin-cli: 検索結果ログファイルを指定してください\ntrovlin-cli: " + path + ": " + c.reason + "\n");
  }

  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131 + 7) % 256));
  const std::string log = dir.Write("binary.log", binary);
  const auto converted = RunCli({"convert", log, "--db", "STN", "--items", "AN,TI"});
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
  const std::string sample = ReadBytes(std::string(TROVLIN_SAMPLES_DIR) + "/patolis_layout1.log");
  const std::string patolis = dir.Write("long-patolis.log", sample + std::string(70u << 20, 'x'));
  const auto p = RunCli({"convert", patolis, "-o", dir.File("out.csv")});
  EXPECT_EQ(p.exitCode, 2);
  EXPECT_EQ(p.err,
            "PATOLISデータ変換: cannot read the log '" + patolis + "': line 15 is longer than the limit of 64 MiB\n");
  const std::string rows =
      RunCli({"convert", std::string(TROVLIN_SAMPLES_DIR) + "/patolis_layout1.log", "-o", "-"}).out;
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), rows);
}

TEST(Faults, OutputThatCannotBeWritten) {
  TempDir dir;
  const std::string folder = dir.File("out.csv");
  std::filesystem::create_directory(folder);
  const auto r = RunCli({"convert", kStn, "-o", folder});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "trovlin-cli: cannot write the CSV file '" + folder + "': it is a folder\n");
}

TEST(Faults, FileSizeLimitDuringARunKeepsThePreviousFile) {
  TempDir dir;
  std::string log;
  for (int i = 0; i < 20000; ++i) log += "AN   " + std::to_string(i) + "\r\nTI   a title long enough to fill\r\n\r\n";
  const std::string input = dir.Write("big.log", log);
  const std::string out = dir.Write("big.csv", "previous");
  // 64 blocks of 512 bytes: the CSV outgrows it halfway.
  const std::string command = "ulimit -f 64; '" + std::string(TROVLIN_CLI_PATH) + "' convert '" + input +
                              "' --db STN -o '" + out + "' 2>'" + dir.File("err") + "'";
  const int status = std::system(("sh -c \"" + command + "\"").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(ReadBytes(dir.File("err")), "trovlin-cli: cannot write the CSV file '" + out + "': File too large\n");
  EXPECT_EQ(ReadBytes(out), "previous");
  EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"big.csv", "big.log", "err"}));
}

// Tests run as root, for whom permissions do not stop a write: the immutable
// attribute does.
class Immutable {
 public:
  explicit Immutable(std::string path) : path_(std::move(path)) {
    ok_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
  }
  ~Immutable() {
    if (ok_) std::system(("chattr -i '" + path_ + "'").c_str());
  }
  bool ok() const { return ok_; }

 private:
  std::string path_;
  bool ok_;
};

// The LF CR line ends of a PATOLIS log are repaired while reading: a log
// that cannot be written converts as its CR LF twin does, and stays as it was.
TEST(Faults, ReadOnlyPatolisLogIsConvertedAndLeftWhole) {
  TempDir dir;
  const std::string twin = std::string(TROVLIN_SAMPLES_DIR) + "/patolis_layout1.log";
  std::string bytes = ReadBytes(twin);
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) {
    bytes.replace(at, 2, "\n\r");
  }
  const std::string log = dir.Write("patolis.log", bytes);
  Immutable guard(log);
  if (!guard.ok()) GTEST_SKIP() << "this file system cannot make a file immutable";
  for (const char* command : {"detect", "items"}) EXPECT_EQ(RunCli({command, log}).exitCode, 0) << command;
  const auto r = RunCli({"convert", log, "-o", "-"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, RunCli({"convert", twin, "-o", "-"}).out);
  EXPECT_EQ(ReadBytes(log), bytes);
}

}  // namespace
}  // namespace trovlin

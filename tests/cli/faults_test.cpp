// Bad input and failing output through trovlin-cli: each gets a clear
// message naming the file and the reason, a non-zero exit, and no file is
// damaged or left half-written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::TempDir;

const std::string kSamples = TROVLIN_SAMPLES_DIR;

TEST(Faults, LogsThatAreNotLogs) {
  TempDir dir;
  const std::string folder = dir.File("folder.log");
  std::filesystem::create_directory(folder);
  const auto asFolder = RunCli({"convert", folder, "--db", "STN"});
  EXPECT_EQ(asFolder.exitCode, 2);
  EXPECT_EQ(asFolder.err, "trovlin-cli: cannot read the log '" + folder + "': it is a folder\n");

  const std::string noMarker = "no STN, DIALOG, JOIS or PATOLIS marker";
  const std::pair<std::string, std::string> refused[] = {
      {"", "the file is empty"},
      {std::string("hello\0world\r\nx\r\n", 16), "the file holds NUL bytes: not a text log"},
      {std::string("L\0001\0\r\0\n\0x\0\r\0\n\0", 14), "the file is UTF-16 without a byte-order mark"},
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
    EXPECT_EQ(r.err,
              "trovlin-cli: 検索結果ログファイルを指定してください\ntrovlin-cli: " + path + ": " + reason + "\n");
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
  EXPECT_EQ(p.err,
            "PATOLISデータ変換: cannot read the log '" + patolis + "': line 15 is longer than the limit of 64 MiB\n");
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), RunCli({"convert", sample, "-o", "-"}).out);
}

TEST(Faults, FileSizeLimitDuringARunKeepsThePreviousFile) {
  TempDir dir;
  std::string log;
  for (int i = 0; i < 20000; ++i) log += "AN   " + std::to_string(i) + "\r\nTI   a title long enough to fill\r\n\r\n";
  const std::string input = dir.Write("big.log", log);
  const std::string out = dir.Write("big.csv", "previous");
  // 64 blocks of 512 bytes: the CSV outgrows it halfway.
  const std::string command = "ulimit -f 64; '" + std::string(TROVLIN_CLI_PATH) + "' convert '" + input +
                              "' --db STN --items AN,TI -o '" + out + "' 2>'" + dir.File("err") + "'";
  const int status = std::system(("sh -c \"" + command + "\"").c_str());
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(ReadBytes(dir.File("err")), "trovlin-cli: cannot write the CSV file '" + out + "': File too large\n");
  EXPECT_EQ(ReadBytes(out), "previous");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3) << "a file left beside";
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

}  // namespace
}  // namespace trovlin

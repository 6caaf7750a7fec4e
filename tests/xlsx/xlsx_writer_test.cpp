// The workbook read back by a real spreadsheet: LibreOffice Calc, headless,
// turns each sheet into a UTF-8 CSV, and every cell must be what was written.
#include "xlsx/xlsx_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace trovlin::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A CSV as LibreOffice writes it: commas, double quotes around fields that
// need them, doubled quotes inside, LF between rows.
Rows ParseCsv(const std::string& text) {
  Rows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      rows.back().back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      rows.back().emplace_back();
    } else if (!quoted && c == '\r') {
      continue;  // our CSV ends rows with CR LF
    } else if (!quoted && c == '\n') {
      rows.emplace_back(1);
    } else {
      rows.back().back() += c;
    }
  }
  if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
  return rows;
}

// LibreOffice, headless, turns each file (each sheet of it: NAME-SHEET.csv)
// into a UTF-8 CSV in dir/out; inFilter reads CSV files in another way.
bool Calc(const TempDir& dir, const std::vector<std::string>& files, const std::string& inFilter = "") {
  std::string command = "cd '" + dir.path() + "' && soffice -env:UserInstallation=file://" + dir.path() +
                        "/profile --headless" + (inFilter.empty() ? "" : " --infilter='" + inFilter + "'") +
                        " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1'"
                        " --outdir out";
  for (const std::string& file : files) command += " '" + file + "'";
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<Rows> ReadBack(const TempDir& dir, const std::string& book) {
  if (!Calc(dir, {book})) return {};
  return {ParseCsv(ReadBytes(dir.File("out/book-回答.csv"))), ParseCsv(ReadBytes(dir.File("out/book-レポート.csv")))};
}

TEST(XlsxWriter, EveryCellIsTheTextWrittenAndLongValuesAreCutAtExcelsLimit) {
  if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  TempDir dir;
  XlsxWriter book(dir.File("book.xlsx"));
  book.WriteHeader({{u"AN", u"TI", u"NC-"}, {true, true, true}});
  const std::vector<std::vector<std::u16string>> rows = {
      {u"001", u"=1+1", u"a\nb"}, {u"-5", u"@x", u"x\"y, z"}, {u"", u"検索", std::u16string(40000, u'x')}};
  for (const auto& values : rows) {
    RecordBuffer record{values};
    book.WriteRow(record);
  }
  book.AddReportSheet({{{"rows"}, {"3", true}}, {{"回答"}, {"1 of 2"}}});
  EXPECT_FALSE(std::filesystem::exists(dir.File("book.xlsx"))) << "visible before Finish";
  book.Finish();
  EXPECT_EQ(std::pair(book.CutCount(), book.RowsWritten()), std::pair(std::uint64_t{1}, std::uint64_t{3}));
  const std::vector<Rows> sheets = ReadBack(dir, dir.File("book.xlsx"));
  ASSERT_EQ(sheets.size(), 2u) << "LibreOffice could not read the workbook";
  const Rows expected = {{"AN", "TI", "NC-"},
                         {"001", "=1+1", "a\nb"},
                         {"-5", "@x", "x\"y, z"},
                         {"", "検索", std::string(XlsxWriter::kMaxCellChars, 'x')}};
  EXPECT_EQ(sheets[0], expected);
  EXPECT_EQ(sheets[1], (Rows{{"rows", "3"}, {"回答", "1 of 2"}}));
}

// Every sample, a log of awkward values and a generated log of each service
// (when the generator is built): the workbook's cells are the
// values exactly (as the UTF-8 CSV holds them), and the code page 932 CSV
// with --protect-formulas imports without a formula or an error.
TEST(XlsxWriter, SpreadsheetsReadTheSamplesAsWritten) {
  if (std::system("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  TempDir dir;
  std::vector<std::string> logs = {"stn_sample",      "dialog_sample",   "jois_sample",    "patolis_layout1",
                                   "patolis_layout2", "patolis_layout3", "patolis_layout4"};
  for (const std::string& log : logs) WriteBytes(dir.File(log + ".log"), ReadBytes(SamplePath(log + ".log")));
  dir.Write("awkward.log", "=> f all\r\nNC- 001\r\nTI- =SUM(1,2)\r\nAB- -CH2-CH3\r\nPA- @risk\r\nAU- +81 3\r\n");
  logs.push_back("awkward");
#ifdef TROVLIN_LOGGEN_PATH
  // A generated log of each service, 1 MB.
  for (const std::string kind : {"stn", "jois", "patolis3"}) {
    const std::string command = std::string(TROVLIN_LOGGEN_PATH) + " " + kind + " 1 '" + dir.File(kind + ".log") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    logs.push_back(kind);
  }
#endif
  std::vector<std::string> books, guarded;
  for (const std::string& log : logs) {
    const std::string path = dir.File(log + ".log");
    std::vector<std::string> workbook = {"convert", path, "-o", dir.File(log + ".xlsx")};
    if (log == "awkward") workbook.insert(workbook.end(), {"--db", "DIALOG"});
    ASSERT_EQ(RunCli(workbook).exitCode, 0);
    const auto csv = [&](std::vector<std::string> options, const std::string& out) {
      options.insert(options.begin(), {"convert", path, "--quotes", "double", "-o", dir.File(out)});
      if (log == "awkward") options.insert(options.end(), {"--db", "DIALOG"});
      RunCli(options);
    };
    csv({"--encoding", "utf-8"}, log + ".txt");
    csv({"--protect-formulas"}, log + "-guarded.csv");
    csv({"--protect-formulas", "--encoding", "utf-8"}, log + "-guarded.txt");
    books.push_back(dir.File(log + ".xlsx"));
    guarded.push_back(dir.File(log + "-guarded.csv"));
  }
  ASSERT_TRUE(Calc(dir, books)) << "LibreOffice could not read the workbooks";
  ASSERT_TRUE(Calc(dir, guarded, "CSV:44,34,64,1")) << "LibreOffice could not read the CSV files";
  for (const std::string& log : logs) {
    SCOPED_TRACE(log);
    // A spreadsheet's data ends at its last cell: trailing rows without any
    // value are not part of it.
    Rows written = ParseCsv(ReadBytes(dir.File(log + ".txt")));
    while (!written.empty() && std::all_of(written.back().begin(), written.back().end(),
                                           [](const std::string& cell) { return cell.empty(); })) {
      written.pop_back();
    }
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(ParseCsv(ReadBytes(dir.File("out/" + log + "-回答.csv"))), written);
    const Rows guardedWritten = ParseCsv(ReadBytes(dir.File(log + "-guarded.txt")));
    const Rows imported = ParseCsv(ReadBytes(dir.File("out/" + log + "-guarded-" + log + "-guarded.csv")));
    ASSERT_GE(guardedWritten.size(), imported.size());
    for (std::size_t r = 0; r < imported.size(); ++r) {
      for (std::size_t c = 0; c < imported[r].size() && c < guardedWritten[r].size(); ++c) {
        const std::string& cell = imported[r][c];
        EXPECT_FALSE(cell.starts_with("Err:") || cell.starts_with("#")) << cell;
        EXPECT_EQ(guardedWritten[r][c].starts_with("'") ? cell : "",
                  guardedWritten[r][c].starts_with("'") ? guardedWritten[r][c] : "");
      }
    }
  }
}

// A member of a workbook (a zip file), as unzip prints it.
std::string Member(const std::string& book, const std::string& name) {
  TempDir out;
  const std::string command = "unzip -p '" + book + "' '" + name + "' > '" + out.File("m") + "' 2>/dev/null";
  return std::system(command.c_str()) == 0 ? ReadBytes(out.File("m")) : "";
}

// The sheets are named, and the report sheet's counts are numbers under
// labelled columns.
TEST(XlsxWriter, SheetsAreNamedAndTheReportsCountsAreNumbers) {
  if (std::system("command -v unzip >/dev/null") != 0) GTEST_SKIP() << "unzip is not installed";
  TempDir dir;
  const std::string book = dir.File("s.xlsx");
  ASSERT_EQ(RunCli({"convert", SamplePath("stn_sample.log"), "-o", book}).exitCode, 0);
  const std::string workbook = Member(book, "xl/workbook.xml");
  EXPECT_NE(workbook.find("<sheet name=\"回答\" sheetId=\"1\""), std::string::npos) << workbook;
  EXPECT_NE(workbook.find("<sheet name=\"レポート\" sheetId=\"2\""), std::string::npos) << workbook;
  const std::string report = Member(book, "xl/worksheets/sheet2.xml");
  // Row 6 is "rows": the sample's 4 rows (3 answers, then the closing
  // command line), a number cell.
  EXPECT_NE(report.find("<c r=\"B6\"><v>4</v></c>"), std::string::npos) << report;
  for (const std::string label : {"set", "announced", "found", "missing", "repeated", "code"}) {
    EXPECT_NE(report.find("<t>" + label + "</t>"), std::string::npos) << label;
  }
}

// A child running trovlin-cli with args; TMPDIR is tmp, stderr goes to err.
pid_t Start(const std::vector<std::string>& args, const std::string& tmp, const std::string& err) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::setenv("TMPDIR", tmp.c_str(), 1);
  if (std::freopen(err.c_str(), "w", stderr) == nullptr) ::_exit(126);
  std::vector<char*> argv = {const_cast<char*>("trovlin-cli")};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execv(TROVLIN_CLI_PATH, argv.data());
  ::_exit(127);
}

// The exit code, minus the signal, or -1000 when it has not ended in 20 s (then it is killed).
int Wait(pid_t pid) {
  int status = 0;
  for (int i = 0; i < 2000; ++i) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1000;
}

std::size_t Entries(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A log whose workbook is larger than a pipe holds: values that do not compress away.
std::string LargeLog(int records) {
  std::string log;
  std::uint64_t x = 88172645463325252u;
  for (int i = 0; i < records; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    log += "AN   " + std::to_string(x) + "\r\nTI   " + std::to_string(x * 31) + "\r\n\r\n";
  }
  return log;
}

// A workbook written into a FIFO reaches its one reader whole: the output
// is opened once.
TEST(XlsxWriter, AFifoGetsTheWholeWorkbook) {
  TempDir dir;
  const std::string fifo = dir.File("book.xlsx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const pid_t pid = Start({"convert", SamplePath("stn_sample.log"), "-o", fifo}, dir.path(), dir.File("err"));
  const int fd = ::open(fifo.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::string bytes;
  char block[4096];
  for (ssize_t got; (got = ::read(fd, block, sizeof block)) > 0;) bytes.append(block, static_cast<std::size_t>(got));
  ::close(fd);
  EXPECT_EQ(Wait(pid), 0) << ReadBytes(dir.File("err"));
  ASSERT_GT(bytes.size(), 22u);
  EXPECT_EQ(bytes.substr(0, 4), "PK\x03\x04");
  // The zip's end record closes the bytes: nothing is missing after it.
  EXPECT_EQ(bytes.substr(bytes.size() - 22, 4), "PK\x05\x06");
}

// Stopped by a signal, or killed while its workbook is on the way out, a
// workbook run leaves nothing in the temporary folder and says "workbook".
TEST(XlsxWriter, AStoppedOrKilledRunLeavesNothing) {
  TempDir in, tmp, out;
  const std::string log = in.Write("big.log", LargeLog(400'000)), err = in.File("err");
  const std::string book = out.File("big.xlsx");
  // Stopped while converting: the run has its output open in out.
  const pid_t stopped = Start({"convert", log, "--db", "STN", "--items", "AN,TI", "-o", book}, tmp.path(), err);
  const auto writing = [&](pid_t pid) {
    std::error_code ec;
    const std::filesystem::directory_iterator fds("/proc/" + std::to_string(pid) + "/fd", ec);
    return std::any_of(begin(fds), end(fds), [&](const auto& fd) {
      return std::filesystem::read_symlink(fd.path(), ec).string().rfind(out.path() + "/", 0) == 0;
    });
  };
  for (int i = 0; i < 10000 && !writing(stopped); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ::kill(stopped, SIGTERM);
  EXPECT_EQ(Wait(stopped), 143);
  EXPECT_EQ(ReadBytes(err), "trovlin-cli: interrupted; no workbook written\n");
  EXPECT_EQ(Entries(tmp.path()) + Entries(out.path()), 0u);

  // Killed while the finished workbook waits for a FIFO's reader to take it.
  const std::string fifo = out.File("fifo.xlsx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const pid_t killed = Start({"convert", log, "--db", "STN", "--items", "AN,TI", "-o", fifo}, tmp.path(), err);
  pollfd ready{reader, POLLIN, 0};
  bool arrived = false;
  // Until a writer comes, poll may say "hung up" at once: wait between looks.
  for (int i = 0; i < 600 && !arrived; ++i) {
    arrived = ::poll(&ready, 1, 100) > 0 && (ready.revents & POLLIN) != 0;
    if (!arrived) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_TRUE(arrived) << "no workbook bytes";
  ::kill(killed, SIGKILL);
  EXPECT_EQ(Wait(killed), -SIGKILL);
  ::close(reader);
  EXPECT_EQ(Entries(tmp.path()), 0u);
  EXPECT_EQ(Entries(out.path()), 1u) << "only the FIFO";
}

}  // namespace
}  // namespace trovlin::testing

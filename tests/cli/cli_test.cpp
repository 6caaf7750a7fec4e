// trovlin-cli as other tools call it: the real binary on real files, one log
// at a time or in a batch, tagged or PATOLIS.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

// A command line split at its spaces (no path here holds one).
CommandResult RunLine(const std::string& line) {
  std::istringstream words(line);
  return RunCli({std::istream_iterator<std::string>(words), {}});
}

TEST(Cli, CommandsOutputsAndExitCodes) {
  TempDir dir;
  const std::string stn = CopySample(dir, "stn_sample.log"), jois = SamplePath("jois_sample.log");
  const std::string plain = dir.Write("plain.txt", "hello world\r\n"), stars = dir.Write("stars.txt", "TI   *a*");
  const std::string wide = dir.Write("wide.txt", Sjis(u"TI   Ａ\r\n")), no = dir.File("no/a.csv");
  const std::string nine = dir.Write("nine.log", Sjis(u"＊＊検索回答＊＊  様式 :  9\r\n  1 特許出願 2003-1\r\n"));
  const std::string preset = dir.Write("items.txt", "trovlin-items 1\nPY\t*\nAN\t*\nXX\t\n");
  const std::string bomPreset = dir.Write("bom.txt", "\xEF\xBB\xBFtrovlin-items 1\r\nPY\t*\r\n");
  std::filesystem::create_symlink(stn, dir.File("link.csv"));
  // The CSV proposed for search.log.1 is search.log.c.
  const std::string dotOne = dir.Write("search.log.1", ReadBytes(stn)), c = dir.Write("search.log.c", "int main(){}\n");
  const std::string ro = dir.Write("ro.csv", "old"), cannot = "trovlin-cli: cannot write the CSV file '";
  std::filesystem::permissions(ro, std::filesystem::perms::others_read);
  const std::string notALog = "trovlin-cli: " + plain + ": not a search log\ntrovlin-cli: " + plain +
                              ": no STN, DIALOG, JOIS or PATOLIS marker: the log's only line is never examined\n";
  const std::string sameFile = "trovlin-cli: " + stn + ": the CSV '";
  const std::string onlyRead = "' would replace the log itself; a log is only read, never written\n";
  const std::string seeConvert = "see trovlin-cli convert --help\n";
  const std::string noLayout =
      "trovlin-cli: " + nine +
      ": the PATOLIS answer layout is \"9\", not one of 1-4: nothing to convert, no file written\n";
  const struct {
    std::string line;
    int exitCode;
    std::string out, err;  // err: what standard error begins with
  } cases[] = {
      {"detect " + stn, 0, "STN\n", ""},
      {"items " + stn, 0,
       "L1\t*\nAN\t*\nDN\t*\nTI\t*\nIN\t*\nPA\t*\nSO\t*\nDT\t*\nLA\t*\nIC\t*\nPI\t\nPRAI\t\nAB\t*\nRE.C\t*\nRE\t\n",
       ""},
      {"convert " + stars + " --db STN", 0, "",
       "trovlin-cli: warning: " + stars + ": the item codes come from the log's first block (line 1), which holds " +
           "no answer header; --discover first-answer reads the first answer instead\nSTN: 1 row(s) of 1 column(s) " +
           "written to " + dir.File("stars.csv") + "\n"},
      {"convert " + stars + " -o - --db STN --keep-stars", 0, "\"TI\"\r\n\"*a*\"\r\n", ""},
      {"convert " + wide + " -o - --db JOIS", 0, "\"TI\"\r\n\"A\"\r\n", ""},
      {"convert " + wide + " -o - --db JOIS --keep-width", 0, "\"TI\"\r\n\"" + Sjis(u"Ａ") + "\"\r\n", ""},
      {"convert " + jois + " -o - --items-file " + preset, 0,
       "\"PY\",\"AN\",\"XX\"\r\n\"2005\",\"05A0123456\",\"\"\r\n\"2004\",\"04A0987654\",\"\"\r\n",
       "trovlin-cli: warning: " + jois +
           ": XX not in the first answer; a column is empty in the rows of answers without its item\n"},
      {"convert " + jois + " -o - --items-file " + plain, 2, "",
       "trovlin-cli: cannot load the item list '" + plain +
           "': line 1: not a Trovlin item list (it must begin with \"trovlin-items 1\")\n"},
      {"propose-name /d/logs.2005/result.log", 0, "/d/logs.2005/result.csv\n", ""},
      {"convert " + stn + " --items AN,,TI", 1, "", "trovlin-cli: an item code must not be empty\n" + seeConvert},
      {"detect", 1, "", "trovlin-cli: expected exactly one path\nsee trovlin-cli detect --help\n"},
      {"--version", 0, "trovlin-cli 0.1.0\n", ""},
      {"convert " + stn + " --itme AN", 1, "",
       "trovlin-cli: unknown option --itme; did you mean --item?\n" + seeConvert},
      {"convert " + stn + " --out-dir " + dir.path() + " --jobs 0", 1, "",
       "trovlin-cli: --jobs takes a number of logs to convert at once, 1 or more, not 0\n" + seeConvert},
      {"convert --db=STN --items=TI -o - " + stars, 0, "\"TI\"\r\n\"a\"\r\n", ""},
      {"convert " + jois + " -o - --items-file " + bomPreset, 0, "\"PY\"\r\n\"2005\"\r\n\"2004\"\r\n", ""},
      {"detect -x.log", 1, "", "trovlin-cli: unknown option -x.log\nsee trovlin-cli detect --help\n"},
      {"detect -- -x.log", 2, "", "trovlin-cli: cannot open the log '-x.log': No such file or directory\n"},
      {"propose-name -- -x.log", 0, "-x.csv\n", ""},
      {"convert " + plain, 2, "", notALog},
      {"detect " + dir.File("no.log"), 2, "",
       "trovlin-cli: cannot open the log '" + dir.File("no.log") + "': No such file or directory\n"},
      {"convert " + stn + " -o " + stn, 2, "", sameFile + stn + onlyRead},
      {"convert " + stn + " -o " + dir.File("link.csv"), 2, "", sameFile + dir.File("link.csv") + onlyRead},
      {"convert " + stn + " -o " + no, 3, "", cannot + no + "': No such file or directory\n"},
      {"convert " + dotOne, 3, "",
       cannot + c + "': it exists and is not a CSV file; name the output with -o, or --force replaces it\n"},
      {"convert " + stn + " -o " + ro, 3, "", cannot + ro + "': it is read-only; --force replaces it\n"},
      {"convert " + stn + " -o " + ro + " --force", 0, "", ""},
      {"convert " + stn + " --out-dir " + no, 3, "",
       "trovlin-cli: cannot write into the folder '" + no + "': No such file or directory\n"},
      {"convert " + stn + " --out-dir " + plain, 3, "",
       "trovlin-cli: cannot write into the folder '" + plain + "': it is not a folder\n"},
      {"convert " + nine, 2, "", noLayout},
      {"items " + nine, 0, "", noLayout},
      {"convert " + CopySample(dir, "patolis_layout1.log") + " -o " + dir.File("p1.csv"), 0, "",
       "PATOLIS (layout 1): 4 row(s) of 8 column(s) written to " + dir.File("p1.csv") + "; answers: 4 of 4\n"},
      // Item options do not apply, and a warning says so.
      {"convert " + CopySample(dir, "patolis_layout2.log") + " --db PATOLIS --items AN,TI -o " + dir.File("p2.csv"), 0,
       "",
       "trovlin-cli: warning: " + dir.File("patolis_layout2.log") +
           ": a PATOLIS log has the fixed columns of its layout; the item options change nothing\n"
           "PATOLIS (layout 2): 2 row(s) of 29 column(s) written to " +
           dir.File("p2.csv") + "; answers: 2 of 2\n"},
      {"convert " + CopySample(dir, "patolis_layout3.log") + " -o " + no, 3, "",
       "trovlin-cli: " + dir.File("patolis_layout3.log") + ": PATOLIS conversion failed: cannot write the CSV file '" +
           no + "': No such file or directory\n"},
  };
  for (const auto& c : cases) {
    const CommandResult r = RunLine(c.line);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.line << ": " << r.err;
    EXPECT_EQ(r.out, c.out) << c.line;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << c.line;
  }
  EXPECT_EQ(ReadBytes(dir.File("stars.csv")), "\"TI\"\r\n\"a\"\r\n");
  EXPECT_EQ(ReadBytes(c), "int main(){}\n");
  EXPECT_EQ(ReadBytes(ro), RunLine("convert " + stn + " -o -").out);
  EXPECT_FALSE(std::filesystem::exists(dir.File("plain.csv")) || std::filesystem::exists(dir.File("nine.csv")));
  EXPECT_EQ(ReadBytes(stn), ReadBytes(SamplePath("stn_sample.log")));
  const CommandResult unknown = RunLine("conver " + stn);
  EXPECT_EQ(std::tuple(unknown.exitCode, unknown.out, unknown.err),
            std::tuple(1, "", "trovlin-cli: unknown command: conver; did you mean convert?\nsee trovlin-cli --help\n"));
  for (const std::string command : {"detect", "items", "convert", "propose-name"}) {
    EXPECT_EQ(std::pair(RunLine(command + " x --bogus -h").out.rfind("usage: trovlin-cli " + command, 0), 0),
              std::pair(0ul, 0))
        << command;
  }
  // The titles `items` lists for a PATOLIS log are those its CSV starts with.
  for (const char* sample :
       {"patolis_layout1.log", "patolis_layout2.log", "patolis_layout3.log", "patolis_layout4.log"}) {
    const std::string log = CopySample(dir, sample);
    const std::string csv = RunLine("convert " + log + " -o - --encoding utf-8").out;
    EXPECT_EQ(std::regex_replace(RunLine("items " + log).out, std::regex("(.*)\n"), "\"$1\","),
              csv.substr(0, csv.find("\r\n")) + ",")
        << sample;
  }
}

// Every help text fits a terminal of 80 columns, and inspect's names the
// options it takes.
TEST(Cli, HelpFitsEightyColumnsAndNamesEveryOption) {
  for (const std::string command : {"", "detect", "items", "convert", "inspect", "propose-name"}) {
    const CommandResult r = RunLine(command + " --help");
    EXPECT_EQ(r.exitCode, 0) << command;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 79u) << command << ": " << line;
  }
  const std::string inspect = RunLine("inspect --help").out;
  for (const std::string option :
       {"--json", "--strict", "--db", "--item", "--items", "--items-file", "--keep-stars", "--keep-width",
        "--input-encoding", "--encoding", "--quotes", "--discover", "--skip-empty-rows", "--protect-formulas"}) {
    EXPECT_TRUE(inspect.find(option + " ") != std::string::npos || inspect.find(option + "]") != std::string::npos)
        << option;
  }
  EXPECT_NE(RunLine("convert --help").out.find("  --quiet "), std::string::npos);
  EXPECT_NE(RunLine("items --help").out.find("  --save FILE "), std::string::npos);
}

// The manual page, made from the help, reads in 80 columns and has the
// sections a reader looks for.
TEST(Cli, TheManualPageFitsEightyColumns) {
  if (std::system("command -v help2man >/dev/null && command -v man >/dev/null") != 0) {
    GTEST_SKIP() << "help2man or man is not installed";
  }
  TempDir dir;
  const std::string script = std::string(TROVLIN_SAMPLES_DIR) + "/../scripts/make_manpage.sh";
  const std::string make = "'" + script + "' '" + TROVLIN_CLI_PATH + "' 0.1.0 '" + dir.File("t.1") + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const std::string show = "MANWIDTH=80 man -l '" + dir.File("t.1") + "' > '" + dir.File("t.txt") + "' 2>/dev/null";
  ASSERT_EQ(std::system(show.c_str()), 0);
  std::istringstream lines(ReadBytes(dir.File("t.txt")));
  std::vector<std::string> sections;
  for (std::string line; std::getline(lines, line);) {
    // man draws with UTF-8 hyphens and quotes: columns are characters.
    const auto columns = std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; });
    EXPECT_LE(columns, 80) << line;
    const bool heading = !line.empty() && std::all_of(line.begin(), line.end(),
                                                      [](char c) { return (c >= 'A' && c <= 'Z') || c == ' '; });
    if (heading) sections.push_back(line);
  }
  EXPECT_EQ(sections, (std::vector<std::string>{"NAME", "DESCRIPTION", "COMMANDS", "EXIT STATUS", "REPORT", "FILES",
                                                "EXAMPLES", "SEE ALSO"}));
}

// items --save writes the list convert --items-file reads back: the same
// columns as the default.
TEST(Cli, ItemsSaveWritesAListThatConvertLoads) {
  TempDir dir;
  const std::string jois = CopySample(dir, "jois_sample.log"), list = dir.File("items.txt");
  const CommandResult saved = RunCli({"items", jois, "--save", list});
  EXPECT_EQ(saved.exitCode, 0) << saved.err;
  std::string expected = "trovlin-items 1\n";
  std::istringstream listed(saved.out);
  for (std::string line; std::getline(listed, line);) expected += line + "\n";
  EXPECT_EQ(ReadBytes(list), expected);
  EXPECT_EQ(RunCli({"convert", jois, "-o", "-", "--items-file", list}).out, RunCli({"convert", jois, "-o", "-"}).out);
  const std::string patolis = CopySample(dir, "patolis_layout1.log");
  const CommandResult refused = RunCli({"items", patolis, "--save", dir.File("p.txt")});
  EXPECT_EQ(std::pair(refused.exitCode, refused.err),
            std::pair(1, std::string("trovlin-cli: --save: a PATOLIS log has fixed columns, no item list to save\n"
                                     "see trovlin-cli items --help\n")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("p.txt")));
  EXPECT_EQ(RunCli({"items", jois, "--save", dir.File("no/items.txt")}).exitCode, 3);
}

// Messages that name the way out, and options that change nothing here.
TEST(Cli, MessagesNameTheRemedy) {
  TempDir dir;
  const std::string dialog = dir.Write("d.log", "? s catalyst\r\n? t s1/5/all\r\n\r\nFN- one\r\nTI- two\r\n");
  const std::string patolis = CopySample(dir, "patolis_layout1.log"), csv = dir.File("out.csv");
  const std::string stn = CopySample(dir, "stn_sample.log");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  } cases[] = {
      {{"convert", dialog, "-o", csv},
       2,
       "trovlin-cli: " + dialog + ": not a search log\ntrovlin-cli: " + dialog +
           ": no STN, DIALOG, JOIS or PATOLIS marker in the first 2 lines (line 3 has 4 characters or fewer and ends "
           "the search)\ntrovlin-cli: " +
           dialog +
           ": a log of a search whose markers were not found converts with --db STN, DIALOG, JOIS or PATOLIS\n"},
      {{"convert", dialog, "-o", csv, "--db", "dialog", "--discover", "first-answer", "--quiet"}, 0, ""},
      {{"convert", patolis, "-o", csv, "--items", "AN", "--keep-width", "--quiet"},
       0,
       "trovlin-cli: warning: " + patolis +
           ": a PATOLIS log has the fixed columns of its layout; the item options change nothing\n"
           "trovlin-cli: warning: " +
           patolis + ": --keep-width changes JOIS logs only, not this PATOLIS log\n"},
      {{"convert", stn, "-o", csv, "--keep-stars", "--jobs", "2", "--db", "STN", "--db", "STN", "--quiet"},
       0,
       "trovlin-cli: warning: --jobs does nothing without --out-dir\n"
       "trovlin-cli: warning: --db is given more than once; the last one counts\n"},
      {{"convert", stn, "-o", csv, "--format", "xlsx", "--quiet"},
       0,
       "trovlin-cli: warning: --format xlsx writes a workbook, whatever the name " + csv + " says\n"},
  };
  for (const auto& c : cases) {
    const CommandResult r = RunCli(c.args);
    EXPECT_EQ(std::pair(r.exitCode, r.err), std::pair(c.exitCode, c.err)) << c.args.back();
  }
  EXPECT_EQ(ReadBytes(csv).substr(0, 2), "PK") << "a workbook under the name given";
}

std::string Literal(const std::string& text) { return std::regex_replace(text, std::regex("[.()]"), "\\$&"); }

// Several logs at once or one after the other, the same lines in the same
// order; the first log is the largest, so that it ends last when in parallel.
TEST(Cli, ABatchConvertsEachLogSkipsTheBrokenOneAndExitsWithTheWorst) {
  TempDir in;
  std::string bytes = ReadBytes(SamplePath("stn_sample.log"));
  // The sample ends in a record of its own that the first added lines continue.
  for (int i = 0; i < 100'000; ++i) bytes += "AN   " + std::to_string(i) + "\r\nTI   t\r\n\r\n";
  const std::string stn = in.Write("stn.log", bytes), patolis = CopySample(in, "patolis_layout1.log");
  const std::string broken = in.Write("notes.txt", "just some notes\r\nnothing here\r\n");
  for (const char* jobs : {"1", "3"}) {
    TempDir out;
    const CommandResult r = RunCli({"convert", stn, broken, patolis, "--out-dir", out.path(), "--items", "TI", "--jobs",
                                    jobs, "--report", out.File("r.json")});
    EXPECT_EQ(r.exitCode, 2);
    const std::string seconds = "[0-9]+[.][0-9]{2} s\n";
    EXPECT_TRUE(std::regex_match(
        r.err,
        std::regex(Literal(stn + ": STN, 100003 record(s), 100003 row(s), answers: 3 of 3, ") + seconds +
                   Literal("trovlin-cli: " + broken + ": not a search log\n") +
                   Literal("trovlin-cli: " + broken + ": no STN, DIALOG, JOIS or PATOLIS marker in the first line\n") +
                   Literal("trovlin-cli: " + broken + ": a log of a search whose markers were not found converts " +
                           "with --db STN, DIALOG, JOIS or PATOLIS\n") +
                   Literal(broken + ": failed, ") + seconds +
                   Literal("trovlin-cli: warning: " + patolis + ": a PATOLIS log has the fixed columns of its " +
                           "layout; the item options change nothing\n") +
                   Literal(patolis + ": PATOLIS, 4 record(s), 4 row(s), answers: 4 of 4, ") + seconds)))
        << r.err;
    const nlohmann::json report = nlohmann::json::parse(ReadBytes(out.File("r.json")));
    EXPECT_EQ(std::tuple(report.size(), report[0]["log"], report[1]["log"], report[2]["log"]),
              std::tuple(3u, stn, broken, patolis));
    EXPECT_EQ(std::tuple(report[1]["failed"], report[1]["error"], report[1]["exit_code"]),
              std::tuple(true, broken + ": not a search log", 2));
    EXPECT_EQ(ReadBytes(out.File("stn.csv")).substr(0, 6), "\"TI\"\r\n");
    EXPECT_TRUE(std::filesystem::exists(out.File("patolis_layout1.csv")));
    EXPECT_FALSE(std::filesystem::exists(out.File("notes.csv")) || std::filesystem::exists(in.File("stn.csv")));
  }
}

}  // namespace
}  // namespace trovlin::testing

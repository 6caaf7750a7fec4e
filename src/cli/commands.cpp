#include "cli/commands.h"

#include <cstdio>
#include <string_view>

#include "cli/options.h"
#include "cli/terminal.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "input/detect.h"
#include "input/discover.h"
#include "input/output_name.h"
#include "patolis/patolis.h"
#include "tagged/tagged_run.h"
#include "text/utf8.h"

namespace trovlin::cli {
namespace {

constexpr std::string_view kDetectUsage =
    "usage: trovlin-cli detect LOG\n"
    "\n"
    "Prints the service that produced LOG: STN, DIALOG, JOIS or PATOLIS.\n"
    "A PATOLIS log has its LF CR line ends rewritten as CR LF in the file itself.\n"
    "Exit 0 when recognised; 2 when the log is not recognised or cannot be read.\n";

constexpr std::string_view kItemsUsage =
    "usage: trovlin-cli items LOG\n"
    "\n"
    "Lists the item codes of the first answer of a tagged (STN, DIALOG, JOIS) log,\n"
    "one per line in order of first occurrence: CODE, TAB, MARK (\"*\" or empty).\n"
    "At most 51 codes are listed; a warning says how many more there were.\n"
    "For a PATOLIS log, the column titles of its answer layout, one per line.\n"
    "Exit 0; 2 when the log is not recognised or cannot be read.\n";

constexpr std::string_view kConvertUsage =
    "usage: trovlin-cli convert LOG [-o CSV|-] [--db STN|DIALOG|JOIS|PATOLIS]\n"
    "                           [--item CODE]... [--items A,B,...] [--keep-stars] [--keep-width]\n"
    "\n"
    "Converts LOG into a CSV file in code page 932: one row per answer, one column per item.\n"
    "  -o CSV        the output file (default: LOG's name with the extension csv);\n"
    "                \"-\" writes the CSV to standard output\n"
    "  --db NAME     convert as this service (default: the detected one)\n"
    "  --item CODE   a column, in order; may be repeated (default: every item of the\n"
    "                first answer, as `trovlin-cli items` lists them); at most 51\n"
    "  --items A,B   several columns at once, separated by commas\n"
    "  --keep-stars  keep the \"*\" in STN fields (removed by default)\n"
    "  --keep-width  keep full-width characters in JOIS fields (made half-width by default)\n"
    "A PATOLIS log is written in the fixed columns of its answer layout (1-4); the\n"
    "item options are ignored, and a log with no answer layout 1-4 writes no file.\n"
    "Exit 0 on success; 1 usage; 2 input problem; 3 output problem.\n";

constexpr std::string_view kProposeUsage =
    "usage: trovlin-cli propose-name PATH\n"
    "\n"
    "Prints the name of the CSV file proposed for a log at PATH.\n";

void Print(std::FILE* to, std::string_view text) { std::fwrite(text.data(), 1, text.size(), to); }

void Error(std::string_view message) {
  Print(stderr, "trovlin-cli: ");
  Print(stderr, message);
  Print(stderr, "\n");
}

// The answer layout of a PATOLIS log could not be found; nothing is written.
std::string NoLayoutMessage(const std::string& log) {
  return log + ": no PATOLIS answer header (\"＊＊検索回答\" with \"様式\" and a layout 1-4): " +
         "nothing to convert, no file written";
}

int Usage(std::string_view usage, const UsageError& e) {
  Error(e.what());
  Print(stderr, usage);
  return kUsage;
}

// Detection, reporting an unrecognised log; None means the caller must stop.
DatabaseKind DetectOrReport(const std::string& log, bool quietIfUnknown) {
  DatabaseKind kind = DetectDatabase(log);
  if (kind == DatabaseKind::None && !quietIfUnknown) Error(kNotALogMessage);
  return kind;
}

int Detect(const std::vector<std::string>& args) {
  const std::string log = ParseSinglePath(args);
  const DatabaseKind kind = DetectOrReport(log, false);
  if (kind == DatabaseKind::None) return kInputProblem;
  Print(stdout, DatabaseCaption(kind));
  Print(stdout, "\n");
  return kOk;
}

int PatolisItems(const std::string& log) {
  const std::optional<AnswerHeader> header = FindAnswerHeader(log);
  const int code = header ? header->layoutCode : 0;
  if (code == 0) {
    Error(NoLayoutMessage(log));
    return kOk;
  }
  for (const std::u16string& title : PatolisColumnTitles(code)) Print(stdout, Utf16ToUtf8(title) + "\n");
  return kOk;
}

int ConvertPatolisLog(const ConversionSettings& settings) {
  TerminalProgress progress;
  InvalidBytesWarning invalid(settings.inputPath);
  const PatolisOutcome outcome = ConvertPatolis(settings, &progress, &invalid);
  switch (outcome.status) {
    case PatolisOutcome::Status::NothingToConvert:
      Error(NoLayoutMessage(settings.inputPath));
      return kOk;
    case PatolisOutcome::Status::Failed:
      Print(stderr, std::string(kPatolisFailureTitle) + ": " + outcome.failure + "\n");
      return kOutputProblem;
    case PatolisOutcome::Status::Converted:
      break;
  }
  const std::string where = settings.outputPath == "-" ? std::string("standard output") : settings.outputPath;
  Print(stderr, "PATOLIS (layout " + std::to_string(outcome.layoutCode) + "): " + std::to_string(outcome.rows) +
                    " row(s) of " + std::to_string(PatolisColumnTitles(outcome.layoutCode).size()) +
                    " column(s) written to " + where + "\n");
  return kOk;
}

int Items(const std::vector<std::string>& args) {
  const std::string log = ParseSinglePath(args);
  const DatabaseKind kind = DetectOrReport(log, false);
  if (kind == DatabaseKind::None) return kInputProblem;
  if (kind == DatabaseKind::Patolis) return PatolisItems(log);
  const Discovery found = DiscoverItems(log);
  for (const DiscoveredItem& item : found.items) {
    Print(stdout, Utf16ToUtf8(item.code) + "\t" + Utf16ToUtf8(item.mark) + "\n");
  }
  if (found.leftOut > 0) {
    Error("warning: " + std::to_string(found.leftOut) + " further item code(s) of the first answer were not listed (at most " +
          std::to_string(kMaxTaggedItems) + ")");
  }
  return kOk;
}

int Convert(const std::vector<std::string>& args) {
  const ConvertOptions options = ParseConvertOptions(args);
  ConversionSettings settings;
  settings.inputPath = options.log;
  settings.databaseKind = DetectOrReport(options.log, options.database.has_value());
  if (options.database) settings.databaseKind = *options.database;
  if (settings.databaseKind == DatabaseKind::None) return kInputProblem;

  settings.outputPath = options.output.value_or(ProposeOutputName(options.log));
  if (IsSameFile(settings.inputPath, settings.outputPath)) {
    Error(kSameFileMessage);
    return kInputProblem;
  }
  SetRunOptions(settings, !options.keepStars, !options.keepWidth);
  if (settings.databaseKind == DatabaseKind::Patolis) return ConvertPatolisLog(settings);

  ItemTable items;
  if (options.items.empty()) {
    for (DiscoveredItem& item : DiscoverItems(options.log).items) {
      items.notJoined.push_back(item.mark != u"*");
      items.codes.push_back(std::move(item.code));
    }
  } else {
    items.codes = options.items;
    items.notJoined.assign(items.codes.size(), true);
  }
  if (items.codes.empty()) {
    Error("the first answer of " + options.log + " holds no item code: nothing to convert, no file written");
    return kOk;
  }

  TerminalProgress progress;
  InvalidBytesWarning invalid(options.log);
  const RunStatistics stats = RunTaggedConversion(settings, items, &progress, &invalid);
  if (stats.unencodable > 0) {
    Error("warning: " + std::to_string(stats.unencodable) + " character(s) have no code page 932 form; written as \"?\"");
  }
  const std::string where = settings.outputPath == "-" ? std::string("standard output") : settings.outputPath;
  Print(stderr, std::string(DatabaseCaption(settings.databaseKind)) + ": " + std::to_string(stats.rows) +
                    " row(s) of " + std::to_string(items.codes.size()) + " column(s) written to " + where + "\n");
  return kOk;
}

int ProposeName(const std::vector<std::string>& args) {
  Print(stdout, ProposeOutputName(ParseSinglePath(args)) + "\n");
  return kOk;
}

struct Command {
  std::string_view name;
  std::string_view usage;
  int (*run)(const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"detect", kDetectUsage, Detect},
    {"items", kItemsUsage, Items},
    {"convert", kConvertUsage, Convert},
    {"propose-name", kProposeUsage, ProposeName},
};

}  // namespace

void PrintOverview() {
  Print(stdout,
        "usage: trovlin-cli COMMAND [ARGS]\n"
        "\n"
        "Turns the saved log of an online search (STN, DIALOG, JOIS, PATOLIS) into CSV.\n"
        "\n"
        "commands:\n"
        "  detect LOG          print the service that produced LOG\n"
        "  items LOG           list the item codes of LOG's first answer\n"
        "  convert LOG [...]   write LOG as CSV\n"
        "  propose-name PATH   print the CSV name proposed for a log at PATH\n"
        "\n"
        "`trovlin-cli COMMAND --help` tells more about each.\n");
}

int RunCommand(const std::string& name, const std::vector<std::string>& args) {
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    if (WantsHelp(args)) {
      Print(stdout, command.usage);
      return kOk;
    }
    try {
      return command.run(args);
    } catch (const UsageError& e) {
      return Usage(command.usage, e);
    } catch (const OutputError& e) {
      Error(e.what());
      return kOutputProblem;
    } catch (const IoError& e) {
      Error(e.what());
      return kInputProblem;
    }
  }
  Error("unknown command: " + name);
  PrintOverview();
  return kUsage;
}

}  // namespace trovlin::cli

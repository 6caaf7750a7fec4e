#include "cli/commands.h"

#include <cstdio>
#include <string_view>

#include "cli/convert_command.h"
#include "cli/log_source.h"
#include "cli/options.h"
#include "cli/print.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "input/item_preset.h"
#include "input/output_name.h"
#include "session/log_session.h"
#include "text/utf8.h"

namespace trovlin::cli {
namespace {

constexpr std::string_view kDetectUsage =
    "usage: trovlin-cli detect LOG\n"
    "\n"
    "Prints the service that produced LOG: STN, DIALOG, JOIS or PATOLIS.\n"
    "LOG \"-\" reads the log from standard input.\n"
    "The log is only read; an unrecognised log is reported with the reason\n"
    "(\"LOG: not a search log\", then why).\n"
    "Exit 0 when recognised; 2 when the log is not recognised or cannot be read.\n";

constexpr std::string_view kItemsUsage =
    "usage: trovlin-cli items LOG [--discover first-block|first-answer]\n"
    "                         [--save FILE]\n"
    "\n"
    "Lists the item codes of the first answer of a tagged (STN, DIALOG, JOIS) log,\n"
    "one per line in order of first occurrence: CODE, TAB, MARK (\"*\" or empty).\n"
    "MARK is the join mark the window shows beside each code: empty for PI, RE,\n"
    "IT and PRAI, \"*\" for the others. It is kept in item lists and changes no\n"
    "byte of a conversion: a field's further lines are joined either way.\n"
    "At most 51 codes are listed; a warning says how many more there were.\n"
    "The first answer is the log's first block of lines, or with --discover\n"
    "first-answer its first answer record (an STN answer header, a JOIS record\n"
    "header, a DIALOG FN- line); a first block that holds no answer header is\n"
    "warned about.\n"
    "  --save FILE   also write the list as an item list (\"trovlin-items 1\", then\n"
    "                CODE TAB MARK per line), which convert --items-file loads;\n"
    "                FILE is replaced in one step\n"
    "For a PATOLIS log, the column titles of its answer layout, one per line (its\n"
    "columns are fixed: --save is refused).\n"
    "LOG \"-\" reads the log from standard input.\n"
    "Exit 0; 1 usage; 2 when the log is not recognised or cannot be read; 3 when\n"
    "FILE cannot be written.\n";

constexpr std::string_view kProposeUsage =
    "usage: trovlin-cli propose-name PATH\n"
    "\n"
    "Prints the name of the CSV file proposed for a log at PATH.\n";

// A usage error is told in a line, with where to read more.
int Usage(std::string_view command, const std::string& message) {
  Error(message);
  Print(stderr, "see trovlin-cli " + std::string(command) + (command.empty() ? "" : " ") + "--help\n");
  return kUsage;
}

int Detect(const std::vector<std::string>& args) {
  const LogSource source(ParseSinglePath(args));
  ConversionSettings settings;
  settings.inputPath = source.path();
  const OpenedLog opened = OpenLogInto(settings);
  ReportOpenedLog(source.name(), opened, false);
  if (opened.kind == DatabaseKind::None) return kInputProblem;
  Print(stdout, DatabaseCaption(opened.kind));
  Print(stdout, "\n");
  return kOk;
}

int PatolisItems(const LogSource& source, const ConversionSettings& settings) {
  const std::optional<AnswerHeader> header = PatolisLayout(settings);
  const int code = header ? header->layoutCode : 0;
  if (code == 0) {
    Error(NoPatolisLayoutMessage(source.name(), header));
    return kOk;
  }
  for (const std::u16string& title : PatolisColumnTitles(code)) Print(stdout, Utf16ToUtf8(title) + "\n");
  return kOk;
}

int Items(const std::vector<std::string>& args) {
  const ItemsOptions options = ParseItemsOptions(args);
  const LogSource source(options.log);
  ConversionSettings settings;
  settings.inputPath = source.path();
  const OpenedLog opened = OpenLogInto(settings);
  if (opened.kind == DatabaseKind::None) {
    ReportOpenedLog(source.name(), opened, false);
    return kInputProblem;
  }
  if (opened.kind == DatabaseKind::Patolis) {
    if (options.save) throw UsageError("--save: a PATOLIS log has fixed columns, no item list to save");
    return PatolisItems(source, settings);
  }
  const Discovery found = FirstAnswerItems(settings, options.discover);
  if (options.save) {
    if (found.items.empty()) {
      Error(source.name() + ": the first answer holds no item code; no item list written");
      return kInputProblem;
    }
    SaveItemPreset(*options.save, found.items);
  }
  for (const DiscoveredItem& item : found.items) {
    Print(stdout, Utf16ToUtf8(item.code) + "\t" + Utf16ToUtf8(item.mark) + "\n");
  }
  if (found.leftOut > 0) Error(ItemsLeftOutMessage(source.name(), found.leftOut));
  if (options.discover == DiscoveryStart::FirstBlock) WarnIfNoAnswerHeader(source.name(), found);
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

const Command kCommands[] = {
    {"detect", kDetectUsage, Detect},
    {"items", kItemsUsage, Items},
    {"convert", kConvertUsage, RunConvert},
    {"inspect", kInspectUsage, RunInspect},
    {"propose-name", kProposeUsage, ProposeName},
};

}  // namespace

ExitCode ExitCodeFor(const IoError& failure) {
  return dynamic_cast<const OutputError*>(&failure) != nullptr ? kOutputProblem : kInputProblem;
}

ExitCode ExitCodeFor(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const IoError& e) {
    return ExitCodeFor(e);
  }
}

std::string FailureText(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return e.what();
  }
}

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
        "  inspect LOG         report what LOG holds: items, answers shown and missing\n"
        "  propose-name PATH   print the CSV name proposed for a log at PATH\n"
        "\n"
        "An option's value follows it or is joined to it with \"=\"; \"--\" ends the\n"
        "options.\n"
        "Exit 1 on a usage error, told in a line or two.\n"
        "`trovlin-cli COMMAND --help` tells more about each; `trovlin-cli --version`\n"
        "prints the version.\n");
}

void PrintVersion() { Print(stdout, "trovlin-cli " TROVLIN_VERSION "\n"); }

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
      return Usage(command.name, e.what());
    } catch (const IoError& e) {
      Error(e.what());
      return ExitCodeFor(e);
    }
  }
  std::vector<std::string> names;
  for (const Command& command : kCommands) names.emplace_back(command.name);
  names.insert(names.end(), {"--help", "--version"});
  return Usage("", "unknown command: " + name + DidYouMean(name, names));
}

}  // namespace trovlin::cli

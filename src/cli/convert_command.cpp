#include "cli/convert_command.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include "cli/commands.h"
#include "cli/log_source.h"
#include "cli/options.h"
#include "cli/ordered_runs.h"
#include "cli/print.h"
#include "cli/report_json.h"
#include "cli/report_text.h"
#include "cli/terminal.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "input/item_preset.h"
#include "input/output_name.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "platform/stop_signals.h"
#include "session/log_session.h"
#include "text/utf8.h"

namespace trovlin::cli {

namespace {

constexpr std::size_t kNoRows = ~std::size_t{0};

// What converting one log came to, for the exit code and the batch summary.
// One log to convert and where its CSV goes.
struct Job {
  std::string log;           // the path the core opens
  std::string name;          // what messages call the log
  std::string output;        // "-" is standard output
  bool outputNamed = false;  // the user named the output; else a proposed name
  bool batch = false;
  bool inspect = false;  // report only; no CSV
  bool progress = true;  // a progress line may be drawn
};

struct LogResult {
  int exitCode = kOk;
  DatabaseKind kind = DatabaseKind::None;
  std::uint64_t rows = kNoRows;  // kNoRows: nothing written
  std::uint64_t records = 0;
  std::optional<ConversionReport> report = std::nullopt;
  bool nothingToConvert = false;  // a PATOLIS log without an answer layout 1-4
  std::string error = {};         // in a batch: the message that said why nothing was written
};

std::string Where(const std::string& output) { return output == "-" ? std::string("standard output") : output; }

void WarnUnencodable(const std::string& log, std::uint64_t count, std::uint64_t replaced) {
  if (count > 0) {
    Error("warning: " + log + ": " + std::to_string(count) +
          " character(s) have no code page 932 form; written as \"?\" (--encoding utf-8 keeps them)");
  }
  if (replaced > 0) {
    Error("warning: " + log + ": " + std::to_string(replaced) + " invalid byte(s) of the log written as U+FFFD");
  }
}

// A code as a message shows it: quoted when spaces at its ends would hide.
std::u16string Shown(const std::u16string& code) {
  const bool spaced = !code.empty() && (code.front() == u' ' || code.back() == u' ');
  return spaced ? u"\"" + code + u"\"" : code;
}

// The columns of a tagged run: as given, from the preset, or discovered;
// what the report says of them goes into warnings.
ItemTable ChooseItems(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset,
                      const Job& job, const ConversionSettings& settings, std::vector<ReportWarning>& warnings) {
  const Discovery first = FirstAnswerItems(settings, options.discover);
  const bool given = preset || !options.items.empty();
  const ItemTable items = preset ? ItemTableFrom(*preset)
                          : !options.items.empty()
                              ? ItemTable{options.items, std::vector<bool>(options.items.size(), true)}
                              : ItemTableFrom(first.items);
  warnings = ItemWarnings(items, first, given);
  if (given) {
    std::vector<std::u16string> missing;
    for (const ReportWarning& w : warnings) {
      if (w.kind == WarningKind::ItemNotShown) missing.push_back(Shown(w.code));
    }
    if (!missing.empty()) {
      Error("warning: " + job.name + ": " + Utf16ToUtf8(JoinCodes(missing)) +
            " not in the first answer; a column is empty in the rows of answers without its item");
    }
    return items;
  }
  if (first.leftOut > 0) Error(ItemsLeftOutMessage(job.name, first.leftOut));
  if (options.discover == DiscoveryStart::FirstBlock) WarnIfNoAnswerHeader(job.name, first);
  return items;
}

// A workbook when --format says so, or the output's name ends in ".xlsx".
OutputFormat OutputFormatOf(const ConvertOptions& options) {
  if (options.format) return *options.format;
  return options.output ? OutputFormatFor(*options.output) : OutputFormat::Csv;
}

// What messages call the output: "CSV" or "workbook".
std::string OutputWord(const ConvertOptions& options) {
  return OutputFormatOf(options) == OutputFormat::Xlsx ? "workbook" : "CSV";
}

// The summary line of a single log: rows, and the answers the log shows.
void PrintSummary(const ConversionSettings& settings, const ConversionOutcome& outcome) {
  const DatabaseKind kind = settings.databaseKind;
  const std::string service = kind == DatabaseKind::Patolis
                                  ? "PATOLIS (layout " + std::to_string(outcome.layoutCode) + ")"
                                  : std::string(DatabaseCaption(kind));
  std::string line = service + ": " + std::to_string(outcome.rows) + " row(s) of " + std::to_string(outcome.columns) +
                     " column(s) written to " + Where(settings.outputPath);
  if (const std::string empty = EmptyRowsSummary(outcome.report, settings.skipEmptyRows); !empty.empty()) {
    line += " (" + empty + ")";
  }
  if (const std::string answers = AnswersSummary(outcome.report); !answers.empty()) line += "; " + answers;
  Print(stderr, line + "\n");
}

// What a finished run says on stderr, and what it leaves for the summary.
LogResult Report(const ConversionSettings& settings, const Job& job, ConversionOutcome& outcome,
                 const ConvertOptions& options) {
  const DatabaseKind kind = settings.databaseKind;
  if (!outcome.written) {
    Error(NoPatolisLayoutMessage(job.name, PatolisLayout(settings)));
    LogResult nothing{kInputProblem, kind, kNoRows};
    nothing.nothingToConvert = true;
    return nothing;
  }
  outcome.report.log = job.name;
  WarnUnencodable(job.name, outcome.unencodable, outcome.replaced);
  if (!job.batch && !job.inspect && !options.quiet) PrintSummary(settings, outcome);
  const bool incomplete = options.strict && outcome.report.Incomplete();
  return {incomplete ? kIncomplete : kOk, kind, outcome.rows, outcome.report.records, std::move(outcome.report)};
}

// Options that this log's service takes no notice of.
void WarnIdleFor(const std::string& log, DatabaseKind kind, const ConvertOptions& options) {
  const std::string service(DatabaseCaption(kind));
  if (kind == DatabaseKind::Patolis && (!options.items.empty() || options.itemsFile)) {
    Error("warning: " + log + ": a PATOLIS log has the fixed columns of its layout; the item options change nothing");
  }
  if (options.keepWidth && kind != DatabaseKind::Jois) {
    Error("warning: " + log + ": --keep-width changes JOIS logs only, not this " + service + " log");
  }
  if (options.keepStars && kind != DatabaseKind::Stn) {
    Error("warning: " + log + ": --keep-stars changes STN logs only, not this " + service + " log");
  }
}

LogResult ConvertLog(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset,
                     const Job& job) {
  const std::string& log = job.log;
  ConversionSettings settings;
  settings.inputPath = log;
  settings.csvEncoding = options.csvEncoding;
  settings.quoteStyle = options.quoteStyle;
  settings.protectFormulas = options.protectFormulas;
  settings.outputFormat = OutputFormatOf(options);
  settings.outputRules = {.namedByUser = job.outputNamed, .force = options.force};
  const OpenedLog opened = OpenLogInto(settings, options.inputEncoding);
  OpenedLog reported = opened;
  // A log the user names the service of is converted whatever detection said.
  if (options.database) reported.kind = *options.database;
  ReportOpenedLog(job.name, reported, !options.quiet);
  if (settings.databaseKind == DatabaseKind::None && !options.database) {
    if (opened.refusal == Refusal::NoMarker) {
      Error(job.name + ": a log of a search whose markers were not found converts with --db STN, DIALOG, JOIS or " +
            "PATOLIS");
    }
    return {kInputProblem};
  }
  if (options.database) settings.databaseKind = *options.database;
  settings.outputPath = job.output;
  if (!job.inspect && IsSameFile(settings.inputPath, settings.outputPath)) {
    Error(job.name + ": the CSV '" + job.output + "' would replace the log itself; a log is only read, never written");
    return {kInputProblem, settings.databaseKind};
  }
  SetRunOptions(settings, !options.keepStars, !options.keepWidth);
  WarnIdleFor(job.name, settings.databaseKind, options);
  settings.skipEmptyRows = options.skipEmptyRows;
  ItemTable items;
  std::vector<ReportWarning> warnings;
  if (settings.databaseKind != DatabaseKind::Patolis) {
    items = ChooseItems(options, preset, job, settings, warnings);
    if (items.codes.empty()) {
      Error("the first answer of " + job.name + " holds no item code: nothing to convert, no file written");
      return {kOk, settings.databaseKind};
    }
  }
  // A UTF-8 CSV and a workbook hold every character.
  const bool holdsEverything =
      settings.csvEncoding != CsvEncoding::Cp932 || settings.outputFormat == OutputFormat::Xlsx;
  ConsoleObserver observer(job.name, holdsEverything, job.progress && !options.quiet);
  try {
    ConversionOutcome outcome =
        Convert(settings, items, &observer, job.inspect ? RunMode::Inspect : RunMode::Convert, warnings);
    observer.Finish();
    return Report(settings, job, outcome, options);
  } catch (const IoError& e) {
    // A PATOLIS conversion that stopped part way keeps its rows; the
    // message says which conversion failed.
    if (!e.rowsKept() || platform::StopRequested()) throw;
    observer.Clear();
    // A failure before the output was made has no rows to keep.
    std::error_code ec;
    const bool kept = settings.outputPath == "-" || std::filesystem::exists(platform::PathOf(settings.outputPath), ec);
    Error(job.name + ": PATOLIS conversion failed: " + e.what() +
          (kept ? "; the rows converted before it were kept in " + Where(settings.outputPath) : std::string()));
    return {dynamic_cast<const OutputError*>(&e) != nullptr ? kOutputProblem : kInputProblem, settings.databaseKind,
            kNoRows};
  }
}

std::optional<std::vector<DiscoveredItem>> LoadPreset(const ConvertOptions& options) {
  if (!options.itemsFile) return std::nullopt;
  std::vector<DiscoveredItem> preset = LoadItemPreset(*options.itemsFile);
  CheckPresetConvertible(*options.itemsFile, preset);
  return preset;
}

// One summary line per log of a batch: service, records, rows, seconds.
void PrintBatchLine(const std::string& log, const LogResult& result, double seconds) {
  char time[32];
  std::snprintf(time, sizeof time, "%.2f s", seconds);
  std::string line = log + ": ";
  if (result.nothingToConvert) {
    line += std::string(DatabaseCaption(result.kind)) + ", nothing written";
  } else if (result.exitCode != kOk && result.exitCode != kIncomplete) {
    line += "failed";
  } else {
    line += std::string(DatabaseCaption(result.kind)) + ", " + std::to_string(result.records) + " record(s), " +
            std::to_string(result.rows) + " row(s)";
    if (const std::string answers = AnswersSummary(*result.report); !answers.empty()) line += ", " + answers;
  }
  Print(stderr, line + ", " + time + "\n");
}

// An output refused because of what it would replace says how to insist.
std::string OutputFailure(const OutputError& e, const Job& job) {
  if (!e.forceable()) return e.what();
  if (job.outputNamed || job.batch) return std::string(e.what()) + "; --force replaces it";
  return std::string(e.what()) + "; name the output with -o, or --force replaces it";
}

// A failing log of a batch is reported and the batch goes on, unless a stop
// signal made it fail.
LogResult ConvertInBatch(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset,
                         const Job& job) {
  try {
    return ConvertLog(options, preset, job);
  } catch (const OutputError& e) {
    if (platform::StopRequested()) throw;
    Error(OutputFailure(e, job));
    return {kOutputProblem};
  } catch (const IoError& e) {
    if (platform::StopRequested()) throw;
    Error(e.what());
    return {kInputProblem};
  }
}

// The report file is written whole or not at all, as a CSV is. "-" is
// standard output, unless the CSV itself goes there: then standard error.
void WriteReport(const ConvertOptions& options, const std::string& json, bool outputOnStdout) {
  if (*options.report == "-") {
    Print(outputOnStdout ? stderr : stdout, json);
    return;
  }
  OutputFile file(*options.report, IoOperation::WriteReport, {.namedByUser = true, .force = options.force});
  file.Write(json);
  file.Commit();
}

int ConvertOne(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset) {
  const LogSource source(options.logs.front());
  Job job{source.path(), source.name(), "", options.output.has_value(), false};
  // A log read from standard input has no name to put a CSV beside.
  job.output = options.output.value_or(
      source.IsStandardInput() ? "-" : ProposeOutputName(source.path(), OutputFormatOf(options)));
  try {
    const LogResult result = ConvertLog(options, preset, job);
    if (options.report && result.report) WriteReport(options, ReportJson(*result.report), job.output == "-");
    return result.exitCode;
  } catch (const OutputError& e) {
    if (platform::StopRequested()) throw;
    Error(OutputFailure(e, job));
    return kOutputProblem;
  }
}

// One log of a batch. Logs whose proposed names meet in the folder would
// replace each other's CSV: once one has written it, the later are refused.
struct BatchLog {
  Job job;
  std::optional<std::size_t> sameOutput;  // the log before it with the same output
  std::string writtenBy;                  // the log that wrote the output before it
  bool ended = false;
  LogResult result;
};

void ConvertBatchLog(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset,
                     std::vector<BatchLog>& logs, std::size_t index, OrderedRuns& runs, bool parallel) {
  BatchLog& log = logs[index];
  if (platform::StopRequested()) return;
  if (log.sameOutput) {
    runs.WaitFor(*log.sameOutput);
    const BatchLog& before = logs[*log.sameOutput];
    log.writtenBy = before.result.rows != kNoRows ? before.job.log : before.writtenBy;
  }
  const auto start = std::chrono::steady_clock::now();
  const FirstError error;
  if (!log.writtenBy.empty()) {
    Error(log.job.log + ": its CSV '" + log.job.output + "' was already written for " + log.writtenBy +
          " in this run; not replaced");
    log.result.exitCode = kOutputProblem;
  } else {
    log.job.progress = !parallel;
    log.result = ConvertInBatch(options, preset, log.job);
  }
  log.result.error = error.text();
  log.ended = true;
  if (options.quiet) return;
  PrintBatchLine(log.job.log, log.result,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

// Several logs are converted at once (--jobs, by default one per core); what
// they print, the worst exit code and the reports follow the order given.
int ConvertBatch(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset) {
  std::error_code ec;
  const std::filesystem::path outDir = platform::PathOf(*options.outDir);
  if (!std::filesystem::is_directory(outDir, ec)) {
    const bool missing = !std::filesystem::exists(std::filesystem::symlink_status(outDir, ec));
    if (missing) throw OutputError(*options.outDir, IoOperation::WriteIntoFolder, IoReason::System, ENOENT);
    throw OutputError(*options.outDir, IoOperation::WriteIntoFolder, IoReason::NotAFolder);
  }
  std::vector<BatchLog> logs;
  std::map<std::string, std::size_t> lastWith;  // output -> the last log so far that goes there
  for (const std::string& log : options.logs) {
    const std::filesystem::path name = platform::PathOf(ProposeOutputName(log, OutputFormatOf(options))).filename();
    BatchLog& added = logs.emplace_back();
    added.job = {log, log, platform::PathString(outDir / name), false, true};
    if (const auto before = lastWith.find(added.job.output); before != lastWith.end())
      added.sameOutput = before->second;
    lastWith[added.job.output] = logs.size() - 1;
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  OrderedRuns runs(logs.size(), options.jobs != 0 ? options.jobs : cores);
  runs.Run([&](std::size_t index, bool parallel) { ConvertBatchLog(options, preset, logs, index, runs, parallel); });
  std::vector<std::variant<ConversionReport, FailedLog>> entries;
  int worst = kOk;
  for (BatchLog& log : logs) {
    if (!log.ended) continue;
    worst = std::max(worst, log.result.exitCode);
    if (log.result.report) {
      entries.emplace_back(std::move(*log.result.report));
    } else {
      const std::string kind = log.result.nothingToConvert || log.result.exitCode == kOk ? "nothing-to-convert"
                               : log.result.exitCode == kOutputProblem                   ? "output"
                                                                                         : "input";
      entries.emplace_back(FailedLog{log.job.log, kind, log.result.error, log.result.exitCode});
    }
  }
  if (options.report) {
    try {
      WriteReport(options, ReportsJson(entries), false);
    } catch (const OutputError& e) {
      Error(e.what());
      worst = std::max<int>(worst, kOutputProblem);
    }
  }
  return worst;
}

// Options that change nothing in this run are said once, before any log.
void WarnIdleOptions(const ConvertOptions& options) {
  for (const std::string& idle : options.idle) Error("warning: " + idle);
}

}  // namespace

int RunInspect(const std::vector<std::string>& args) {
  const ConvertOptions options = ParseConvertOptions(args, OptionsFor::Inspect);
  WarnIdleOptions(options);
  const std::optional<std::vector<DiscoveredItem>> preset = LoadPreset(options);
  const LogSource source(options.logs.front());
  Job job{source.path(), source.name(), "", false, false, true};
  const LogResult result = ConvertLog(options, preset, job);
  if (!result.report) return result.exitCode;
  if (options.json) {
    Print(stdout, ReportJson(*result.report));
  } else {
    PrintInspection(stdout, *result.report);
  }
  return result.exitCode;
}

// SIGINT, SIGTERM and SIGHUP end a conversion through its unwinding, so the
// temporary output goes; the exit code is the shell's 128 + the signal.
int RunConvert(const std::vector<std::string>& args) {
  const ConvertOptions options = ParseConvertOptions(args);
  WarnIdleOptions(options);
  // The report replaces neither a log nor the CSV it reports on.
  if (options.report && *options.report != "-") {
    for (const std::string& log : options.logs) {
      if (IsSameFile(log, *options.report)) {
        Error("--report names the log " + log + ", which is only read, never written");
        return kInputProblem;
      }
    }
    if (options.output && IsSameFile(*options.output, *options.report)) {
      throw UsageError("-o and --report name the same file");
    }
  }
  const std::optional<std::vector<DiscoveredItem>> preset = LoadPreset(options);
  const platform::StopSignals stopSignals;
  int code = kOk;
  try {
    code = options.outDir ? ConvertBatch(options, preset) : ConvertOne(options, preset);
  } catch (...) {
    if (!platform::StopRequested()) throw;
    // In a batch the logs that ended before the signal keep their CSVs.
    Error(options.outDir ? "interrupted; the remaining logs were not converted"
                         : "interrupted; no " + OutputWord(options) + " written");
    return 128 + platform::StopSignal();
  }
  if (!platform::StopRequested()) return code;
  Error(options.outDir ? "interrupted; the remaining logs were not converted"
                       : "interrupted after the " + OutputWord(options) + " was written");
  return 128 + platform::StopSignal();
}

}  // namespace trovlin::cli

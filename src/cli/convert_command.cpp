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
#include "session/conversion.h"
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

// What the CLI says of the columns the plan chose: codes given that the
// first answer lacks, or what discovering them met.
void WarnAboutItems(const ConversionPlan& plan, const Job& job, DiscoveryStart discover) {
  if (plan.itemsGiven) {
    std::vector<std::u16string> missing;
    for (const ReportWarning& w : plan.itemWarnings) {
      if (w.kind == WarningKind::ItemNotShown) missing.push_back(Shown(w.code));
    }
    if (!missing.empty()) {
      Error("warning: " + job.name + ": " + Utf16ToUtf8(JoinCodes(missing)) +
            " not in the first answer; a column is empty in the rows of answers without its item");
    }
    return;
  }
  if (plan.firstAnswer.leftOut > 0) Error(ItemsLeftOutMessage(job.name, plan.firstAnswer.leftOut));
  if (discover == DiscoveryStart::FirstBlock) WarnIfNoAnswerHeader(job.name, plan.firstAnswer);
}

// The format of a name the CLI proposes: without -o, only --format chooses.
OutputFormat ProposedFormat(const ConvertOptions& options) { return options.format.value_or(OutputFormat::Csv); }

// What messages call the output: "CSV" or "workbook".
std::string OutputWord(const ConvertOptions& options) {
  return ChosenOutputFormat(options.format, options.output.value_or("")) == OutputFormat::Xlsx ? "workbook" : "CSV";
}

// The summary line of a single log: rows, and the answers the log shows.
void PrintSummary(const ConversionSettings& settings, const ConversionOutcome& outcome) {
  const DatabaseKind kind = outcome.service;
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
  const DatabaseKind kind = outcome.service;
  switch (outcome.status) {
    case ConversionOutcome::Status::Converted:
      break;
    case ConversionOutcome::Status::NothingToConvert: {
      Error(NoPatolisLayoutMessage(job.name, outcome.patolisHeader));
      LogResult nothing{kInputProblem, kind, kNoRows};
      nothing.nothingToConvert = true;
      return nothing;
    }
    case ConversionOutcome::Status::RowsKept:
    case ConversionOutcome::Status::Refused:
      return {kInputProblem, kind, kNoRows};
  }
  outcome.report.log = job.name;
  WarnUnencodable(job.name, outcome.unencodable, outcome.replaced);
  if (!job.batch && !job.inspect && !options.quiet) PrintSummary(settings, outcome);
  const bool incomplete = options.strict && outcome.report.Incomplete();
  return {incomplete ? kIncomplete : kOk, kind, outcome.rows, outcome.report.records, std::move(outcome.report)};
}

ConversionRequest RequestFor(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset,
                             const Job& job, const ConversionSettings& opened) {
  ConversionRequest request;
  request.settings = opened;
  request.settings.outputPath = job.output;
  request.settings.csvEncoding = options.csvEncoding;
  request.settings.quoteStyle = options.quoteStyle;
  request.settings.protectFormulas = options.protectFormulas;
  request.settings.skipEmptyRows = options.skipEmptyRows;
  request.settings.outputRules = {.namedByUser = job.outputNamed, .force = options.force};
  request.service = options.database;
  if (preset) {
    request.itemSource = ItemSource::List;
    request.itemList = *preset;
  } else if (!options.items.empty()) {
    request.itemSource = ItemSource::Given;
    request.items = options.items;
  }
  request.discover = options.discover;
  request.removeStars = !options.keepStars;
  request.toHalfWidth = !options.keepWidth;
  request.format = options.format;
  request.mode = job.inspect ? RunMode::Inspect : RunMode::Convert;
  return request;
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
  ConversionSettings opened;
  opened.inputPath = job.log;
  OpenedLog reported = OpenLogInto(opened, options.inputEncoding);
  // A log the user names the service of is converted whatever detection said.
  if (options.database) reported.kind = *options.database;
  ReportOpenedLog(job.name, reported, !options.quiet);
  if (reported.kind == DatabaseKind::None) {
    if (reported.refusal == Refusal::NoMarker) {
      Error(job.name + ": a log of a search whose markers were not found converts with --db STN, DIALOG, JOIS or " +
            "PATOLIS");
    }
    return {kInputProblem};
  }
  const ConversionPlan plan = PlanConversion(RequestFor(options, preset, job, opened));
  const DatabaseKind kind = plan.settings.databaseKind;
  if (plan.problem == RequestProblem::SameFile) {
    Error(job.name + ": the CSV '" + job.output + "' would replace the log itself; a log is only read, never written");
    return {kInputProblem, kind};
  }
  WarnIdleFor(job.name, kind, options);
  if (kind != DatabaseKind::Patolis) WarnAboutItems(plan, job, options.discover);
  if (plan.problem == RequestProblem::NoItems) {
    Error("the first answer of " + job.name + " holds no item code: nothing to convert, no file written");
    return {kOk, kind};
  }
  // A UTF-8 CSV and a workbook hold every character.
  const bool holdsEverything =
      plan.settings.csvEncoding != CsvEncoding::Cp932 || plan.settings.outputFormat == OutputFormat::Xlsx;
  ConsoleObserver observer(job.name, holdsEverything, job.progress && !options.quiet);
  ConversionOutcome outcome = RunPlan(plan, &observer);
  if (outcome.status == ConversionOutcome::Status::RowsKept) {
    // The rows written before the failure are kept; the message says which
    // conversion failed. A stop signal ends the run as its failure.
    if (platform::StopRequested()) std::rethrow_exception(outcome.stoppedBy);
    observer.Clear();
    // A failure before the output was made has no rows to keep.
    std::error_code ec;
    const std::string& output = plan.settings.outputPath;
    const bool kept = output == "-" || std::filesystem::exists(platform::PathOf(output), ec);
    Error(job.name + ": PATOLIS conversion failed: " + FailureText(outcome.stoppedBy) +
          (kept ? "; the rows converted before it were kept in " + Where(output) : std::string()));
    return {ExitCodeFor(outcome.stoppedBy), kind, kNoRows};
  }
  observer.Finish();
  return Report(plan.settings, job, outcome, options);
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
  } catch (const IoError& e) {
    if (platform::StopRequested()) throw;
    const auto* output = dynamic_cast<const OutputError*>(&e);
    Error(output != nullptr ? OutputFailure(*output, job) : e.what());
    return {ExitCodeFor(e)};
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
      source.IsStandardInput() ? "-" : ProposeOutputName(source.path(), ProposedFormat(options)));
  try {
    const LogResult result = ConvertLog(options, preset, job);
    if (options.report && result.report) WriteReport(options, ReportJson(*result.report), job.output == "-");
    return result.exitCode;
  } catch (const OutputError& e) {
    if (platform::StopRequested()) throw;
    Error(OutputFailure(e, job));
    return ExitCodeFor(e);
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
    const std::filesystem::path name = platform::PathOf(ProposeOutputName(log, ProposedFormat(options))).filename();
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
      worst = std::max<int>(worst, ExitCodeFor(e));
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
      if (NameOneFile(log, *options.report)) {
        Error("--report names the log " + log + ", which is only read, never written");
        return kInputProblem;
      }
    }
    if (options.output && NameOneFile(*options.output, *options.report)) {
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

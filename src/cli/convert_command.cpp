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

const std::string_view kConvertUsage =
    "usage: trovlin-cli convert LOG [-o CSV|-] [--db STN|DIALOG|JOIS|PATOLIS]\n"
    "                           [--item CODE]... [--items A,B,...] [--items-file FILE]\n"
    "                           [--keep-stars] [--keep-width] [--input-encoding auto|cp932|utf-8|utf-16]\n"
    "                           [--encoding cp932|utf-8|utf-8-bom] [--quotes apostrophe|double]\n"
    "                           [--force] [--discover first-block|first-answer]\n"
    "                           [--skip-empty-rows] [--report FILE|-] [--strict]\n"
    "                           [--format csv|xlsx] [--protect-formulas]\n"
    "       trovlin-cli convert LOG... --out-dir DIR [--jobs N] [options as above]\n"
    "\n"
    "Converts LOG into a CSV file: one row per answer, one column per item.\n"
    "LOG \"-\" reads the log from standard input; its CSV then goes to standard output\n"
    "unless -o names a file.\n"
    "  -o CSV        the output file (default: LOG's name with the extension csv);\n"
    "                \"-\" writes the CSV to standard output. A link is followed; a\n"
    "                device, FIFO or socket is written into; a replaced file keeps its mode\n"
    "  --force       replace a read-only file, or a file that is not a CSV file under the\n"
    "                proposed name (without --force both are refused)\n"
    "  --out-dir DIR convert each LOG, with its own detection, into DIR under its\n"
    "                proposed name; a log that fails is reported and skipped\n"
    "  --jobs N      with --out-dir, convert N logs at once (default: one per core);\n"
    "                messages and summary lines keep the order of the logs\n"
    "  --db NAME     convert as this service (default: the detected one)\n"
    "  --item CODE   a column, in order; may be repeated (default: every item of the\n"
    "                first answer, as `trovlin-cli items` lists them); at most 51\n"
    "  --items A,B   several columns at once, separated by commas\n"
    "  --items-file FILE  the columns of a saved item list (\"trovlin-items 1\", then\n"
    "                CODE TAB MARK per line); codes the log lacks stay as empty columns\n"
    "  --keep-stars  keep the \"*\" in STN fields (removed by default)\n"
    "  --keep-width  keep full-width characters in JOIS fields (made half-width by default)\n"
    "  --input-encoding auto|cp932|utf-8|utf-16  how LOG is read (default auto: UTF-16\n"
    "                when it starts with a UTF-16 byte-order mark; UTF-8 when it starts with\n"
    "                the UTF-8 one or its first 64 KiB are UTF-8 with multi-byte characters;\n"
    "                code page 932 otherwise). A log whose first 64 KiB hold LF but no CR\n"
    "                is read with LF line ends\n"
    "  --encoding cp932|utf-8|utf-8-bom   the CSV's encoding (default cp932); a character\n"
    "                cp932 cannot hold is written as \"?\" and reported with its line\n"
    "  --quotes apostrophe|double  a double quote in a value becomes an apostrophe (default)\n"
    "                or two double quotes (RFC 4180)\n"
    "  --discover first-block|first-answer  where the default columns are read: the\n"
    "                log's first block of lines (default), or its first answer record\n"
    "                (an STN answer header, a JOIS record header, a DIALOG FN- line)\n"
    "  --skip-empty-rows  a record that holds none of the items gives no row\n"
    "  --report FILE the conversion's report as JSON into FILE (\"-\": standard error);\n"
    "                with --out-dir, a JSON array of the logs' reports\n"
    "  --strict      exit 4 when the log shows an answer twice, or misses answers\n"
    "                between the first and the last it shows\n"
    "  --format csv|xlsx  CSV, or an Excel workbook (every value a text cell, the\n"
    "                report on a second sheet); default: xlsx when -o ends in .xlsx\n"
    "  --protect-formulas  a CSV value a spreadsheet would calculate (=, +, -, @, TAB,\n"
    "                CR or their full-width forms first) is written after an apostrophe\n"
    "A PATOLIS log is written in the fixed columns of its answer layout (1-4); the\n"
    "item options are ignored, and a log with no answer layout 1-4 writes no file\n"
    "(exit 2).\n"
    "The summary on stderr says the rows written and, when the log announces its\n"
    "answers, how many of them it shows (\"answers: 20 of 30, missing 11-20\").\n"
    "The log is only read, never written: an output that is the log itself is refused\n"
    "(exit 2), and so is a log that is not a search log (\"LOG: not a search log\",\n"
    "then the reason).\n"
    "A value may follow its option or be joined to it with \"=\" (--db=STN); \"--\"\n"
    "ends the options, so that a LOG may start with \"-\".\n"
    "Exit 0 on success; 1 usage; 2 input problem; 3 output problem; 4 with --strict,\n"
    "answers missing or repeated (in a batch: the worst of the logs); 130, 143 or 129\n"
    "when SIGINT, SIGTERM or SIGHUP stopped it.\n";

const std::string_view kInspectUsage =
    "usage: trovlin-cli inspect LOG [--json] [--strict] [options of convert that choose\n"
    "                           the service, the items and how the log is read]\n"
    "\n"
    "Reads LOG as convert would and prints its report instead of writing a CSV: the\n"
    "items with the rows in which each has a value, the answers the log announces and\n"
    "the ones it shows (missing ranges and repeats with their lines), records that\n"
    "hold none of the items, and warnings with their line numbers.\n"
    "  --json        the report as JSON (the keys of convert --report)\n"
    "LOG \"-\" reads the log from standard input. Nothing is written.\n"
    "Exit 0; 1 usage; 2 input problem; 4 with --strict, answers missing or repeated.\n";

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
};

std::string Where(const std::string& output) { return output == "-" ? std::string("standard output") : output; }

void WarnUnencodable(const std::string& log, std::uint64_t count, std::uint64_t replaced) {
  if (count > 0) {
    Error("warning: " + log + ": " + std::to_string(count) +
          " character(s) have no code page 932 form; written as \"?\"");
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
      Error("warning: the first answer of " + job.name + " lacks " + Utf16ToUtf8(JoinCodes(missing)) +
            "; their columns stay empty");
    }
    return;
  }
  if (plan.firstAnswer.leftOut > 0) Error(ItemsLeftOutMessage(job.name, plan.firstAnswer.leftOut));
  if (discover == DiscoveryStart::FirstBlock) WarnIfNoAnswerHeader(job.name, plan.firstAnswer);
}

// The format of a name the CLI proposes: without -o, only --format chooses.
OutputFormat ProposedFormat(const ConvertOptions& options) { return options.format.value_or(OutputFormat::Csv); }

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
  if (!job.batch && !job.inspect) PrintSummary(settings, outcome);
  const bool incomplete = options.strict && outcome.report.HasGapsOrRepeats();
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

LogResult ConvertLog(const ConvertOptions& options, const std::optional<std::vector<DiscoveredItem>>& preset,
                     const Job& job) {
  ConversionSettings opened;
  opened.inputPath = job.log;
  OpenedLog reported = OpenLogInto(opened, options.inputEncoding);
  // A log the user names the service of is converted whatever detection said.
  if (options.database) reported.kind = *options.database;
  ReportOpenedLog(job.name, reported, true);
  if (reported.kind == DatabaseKind::None) return {kInputProblem};
  const ConversionPlan plan = PlanConversion(RequestFor(options, preset, job, opened));
  const DatabaseKind kind = plan.settings.databaseKind;
  if (plan.problem == RequestProblem::SameFile) {
    Error(job.name + ": the CSV '" + job.output + "' would replace the log itself; a log is only read, never written");
    return {kInputProblem, kind};
  }
  if (kind != DatabaseKind::Patolis) WarnAboutItems(plan, job, options.discover);
  if (plan.problem == RequestProblem::NoItems) {
    Error("the first answer of " + job.name + " holds no item code: nothing to convert, no file written");
    return {kOk, kind};
  }
  ConsoleObserver observer(job.name, plan.settings.csvEncoding != CsvEncoding::Cp932, job.progress);
  ConversionOutcome outcome = RunPlan(plan, &observer);
  if (outcome.status == ConversionOutcome::Status::RowsKept) {
    // The rows written before the failure are kept; the message says which
    // conversion failed. A stop signal ends the run as its failure.
    if (platform::StopRequested()) std::rethrow_exception(outcome.stoppedBy);
    observer.Clear();
    Error(job.name + ": PATOLIS conversion failed: " + FailureText(outcome.stoppedBy));
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

// The report file is written whole or not at all, as a CSV is.
void WriteReport(const ConvertOptions& options, const std::string& json) {
  if (*options.report == "-") {
    Print(stderr, json);
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
    if (options.report && result.report) WriteReport(options, ReportJson(*result.report));
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
  if (!log.writtenBy.empty()) {
    Error(log.job.log + ": its CSV '" + log.job.output + "' was already written for " + log.writtenBy +
          " in this run; not replaced");
    log.result.exitCode = kOutputProblem;
  } else {
    log.job.progress = !parallel;
    log.result = ConvertInBatch(options, preset, log.job);
  }
  log.ended = true;
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
  std::vector<ConversionReport> reports;
  int worst = kOk;
  for (BatchLog& log : logs) {
    if (!log.ended) continue;
    worst = std::max(worst, log.result.exitCode);
    if (log.result.report) reports.push_back(std::move(*log.result.report));
  }
  if (options.report) {
    try {
      WriteReport(options, ReportsJson(reports));
    } catch (const OutputError& e) {
      Error(e.what());
      worst = std::max<int>(worst, ExitCodeFor(e));
    }
  }
  return worst;
}

}  // namespace

int RunInspect(const std::vector<std::string>& args) {
  const ConvertOptions options = ParseConvertOptions(args, OptionsFor::Inspect);
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
    Error(options.outDir ? "interrupted; the remaining logs were not converted" : "interrupted; no CSV written");
    return 128 + platform::StopSignal();
  }
  if (!platform::StopRequested()) return code;
  Error(options.outDir ? "interrupted; the remaining logs were not converted"
                       : "interrupted after the CSV was written");
  return 128 + platform::StopSignal();
}

}  // namespace trovlin::cli

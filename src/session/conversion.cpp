#include "session/conversion.h"

#include <optional>
#include <utility>

#include "common/errors.h"
#include "input/item_preset.h"
#include "input/output_name.h"
#include "report/report_builder.h"
#include "session/log_session.h"
#include "tagged/tagged_run.h"
#include "xlsx/xlsx_writer.h"

namespace trovlin {

OutputFormat ChosenOutputFormat(const std::optional<OutputFormat>& chosen, const std::string& outputPath) {
  return chosen.value_or(OutputFormatFor(outputPath));
}

bool NameOneFile(const std::string& a, const std::string& b) { return IsSameFile(a, b); }

RequestProblem CheckRequest(const ConversionRequest& request) {
  const ConversionSettings& settings = request.settings;
  if (request.mode == RunMode::Convert && NameOneFile(settings.inputPath, settings.outputPath)) {
    return RequestProblem::SameFile;
  }
  const DatabaseKind kind = request.service.value_or(settings.databaseKind);
  const bool tagged = kind != DatabaseKind::Patolis;
  if (tagged && request.itemSource == ItemSource::Given && request.items.empty()) return RequestProblem::NoItems;
  if (tagged && request.itemSource == ItemSource::List && request.itemList.empty()) return RequestProblem::NoItems;
  return RequestProblem::None;
}

void ChooseService(ConversionSettings& settings, DatabaseKind kind) {
  settings.databaseKind = kind;
  settings.repairLfCr = kind == DatabaseKind::Patolis;
}

ConversionPlan PlanConversion(const ConversionRequest& request) {
  ConversionPlan plan;
  plan.settings = request.settings;
  plan.mode = request.mode;
  plan.problem = CheckRequest(request);
  if (plan.problem != RequestProblem::None) return plan;
  ConversionSettings& settings = plan.settings;
  if (request.service) ChooseService(settings, *request.service);
  SetRunOptions(settings, request.removeStars, request.toHalfWidth);
  settings.outputFormat = ChosenOutputFormat(request.format, settings.outputPath);
  // A PATOLIS log is written in its layout's fixed columns.
  if (settings.databaseKind == DatabaseKind::Patolis) return plan;
  plan.firstAnswer = FirstAnswerItems(settings, request.discover);
  switch (request.itemSource) {
    case ItemSource::Given:
      plan.items = ItemTable{request.items, std::vector<bool>(request.items.size(), true)};
      break;
    case ItemSource::List:
      plan.items = ItemTableFrom(request.itemList);
      break;
    case ItemSource::Discovered:
      plan.items = ItemTableFrom(plan.firstAnswer.items);
      break;
  }
  plan.itemsGiven = request.itemSource != ItemSource::Discovered;
  plan.itemWarnings = ItemWarnings(plan.items, plan.firstAnswer, plan.itemsGiven);
  if (plan.items.codes.empty()) plan.problem = RequestProblem::NoItems;
  return plan;
}

bool ConversionOutcome::StoppedWriting() const {
  if (!stoppedBy) return false;
  try {
    std::rethrow_exception(stoppedBy);
  } catch (const OutputError&) {
    return true;
  } catch (...) {
    return false;
  }
}

namespace {

void TakeCounts(const RunStatistics& counts, ConversionOutcome& outcome) {
  outcome.rows = counts.rows;
  outcome.unencodable = counts.unencodable;
  outcome.replaced = counts.replaced;
}

// Runs the service's conversion; the report is finished by the caller.
RunStatistics RunService(const ConversionPlan& plan, const ConversionSettings& settings, ReportBuilder& report,
                         RunMode mode, ConversionOutcome& outcome) {
  if (settings.databaseKind == DatabaseKind::Patolis) {
    PatolisOutcome patolis = ConvertPatolis(settings, &report, mode);
    switch (patolis.status) {
      case PatolisOutcome::Status::Converted:
        outcome.status = ConversionOutcome::Status::Converted;
        break;
      case PatolisOutcome::Status::NothingToConvert:
        outcome.status = ConversionOutcome::Status::NothingToConvert;
        break;
      case PatolisOutcome::Status::RowsKept:
        outcome.status = ConversionOutcome::Status::RowsKept;
        break;
    }
    outcome.patolisHeader = std::move(patolis.header);
    outcome.stoppedBy = patolis.stoppedBy;
    outcome.layoutCode = patolis.layoutCode;
    outcome.columns = PatolisColumnTitles(patolis.layoutCode).size();
    return patolis;
  }
  const RunStatistics stats = RunTaggedConversion(settings, plan.items, &report, mode);
  outcome.status = ConversionOutcome::Status::Converted;
  outcome.columns = plan.items.ColumnCount();
  return stats;
}

}  // namespace

ConversionOutcome RunPlan(const ConversionPlan& plan, RunObserver* observer) {
  ConversionOutcome outcome;
  outcome.service = plan.settings.databaseKind;
  outcome.problem = plan.problem;
  if (plan.problem != RequestProblem::None) return outcome;
  ConversionSettings settings = plan.settings;
  std::optional<XlsxWriter> book;
  if (settings.outputFormat == OutputFormat::Xlsx && plan.mode == RunMode::Convert) {
    book.emplace(settings.outputPath, settings.outputRules);
    settings.rowSink = &*book;
  }
  ReportBuilder report(settings, observer);
  for (const ReportWarning& warning : plan.itemWarnings) report.AddWarning(warning);
  const RunStatistics counts = RunService(plan, settings, report, plan.mode, outcome);
  if (outcome.status == ConversionOutcome::Status::RowsKept) {
    // The rows kept go into the workbook too; when it cannot be finished
    // either, the failure that stopped the run is the one told.
    if (book) {
      try {
        book->Finish();
      } catch (const IoError&) {
        std::rethrow_exception(outcome.stoppedBy);
      }
    }
    return outcome;
  }
  TakeCounts(counts, outcome);
  const std::vector<std::u16string> columns =
      settings.databaseKind == DatabaseKind::Patolis ? PatolisColumnTitles(outcome.layoutCode) : plan.items.codes;
  outcome.report = report.Finish(columns, counts.linesRead, counts.bytesRead);
  outcome.report.log = settings.inputPath;
  outcome.report.formulasProtected = counts.protectedValues;
  if (book && outcome.Written()) {
    book->AddReportSheet(ReportRows(outcome.report));
    book->Finish();
    outcome.replaced = book->ReplacedCount();
  }
  return outcome;
}

ConversionOutcome Convert(const ConversionRequest& request, RunObserver* observer) {
  return RunPlan(PlanConversion(request), observer);
}

}  // namespace trovlin

#include "web/page_session.h"

#include "input/item_preset.h"
#include "input/output_name.h"
#include "session/conversion.h"
#include "session/log_session.h"

namespace trovlin::web {
namespace {

ConversionSettings SettingsFor(const PageRequest& request) {
  ConversionSettings settings;
  settings.inputPath = request.log;
  settings.csvEncoding = request.csvEncoding;
  settings.quoteStyle = request.quotes;
  settings.protectFormulas = request.protectFormulas;
  settings.skipEmptyRows = request.skipEmptyRows;
  return settings;
}

// Opens the log into settings and says what the page shows of it: a chosen
// service is converted whatever detection said.
PageLog Open(const PageRequest& request, ConversionSettings& settings) {
  PageLog log;
  log.opened = OpenLogInto(settings, request.encoding);
  if (request.database) ChooseService(settings, *request.database);
  log.kind = settings.databaseKind;
  log.outputName = ProposeOutputName(request.name, request.format);
  settings.outputPath = log.outputName;
  if (log.kind == DatabaseKind::None) return log;
  if (log.kind == DatabaseKind::Patolis) {
    log.layout = PatolisLayout(settings);
  } else {
    log.items = FirstAnswerItems(settings, request.discover);
  }
  return log;
}

// The page's request as the session takes it: the columns are the page's
// list when it gives one (an item list the user loaded or edited), else the
// first answer's.
ConversionRequest SessionRequest(const PageRequest& request, const ConversionSettings& opened, RunMode mode) {
  ConversionRequest session;
  session.settings = opened;
  if (request.items) {
    CheckPresetConvertible(request.name, *request.items);
    session.itemSource = ItemSource::List;
    session.itemList = *request.items;
  }
  session.discover = request.discover;
  session.removeStars = request.removeStars;
  session.toHalfWidth = request.toHalfWidth;
  session.format = request.format;
  session.mode = mode;
  return session;
}

}  // namespace

PageLog OpenForPage(const PageRequest& request) {
  ConversionSettings settings = SettingsFor(request);
  return Open(request, settings);
}

std::string PreviewForPage(const PageRequest& request, std::size_t rows) {
  ConversionSettings settings = SettingsFor(request);
  const PageLog log = Open(request, settings);
  if (log.kind == DatabaseKind::None) return {};
  const ConversionPlan plan = PlanConversion(SessionRequest(request, settings, RunMode::Inspect));
  if (plan.problem != RequestProblem::None) return {};
  return Preview(plan.settings, plan.items, rows);
}

PageOutcome ConvertForPage(const PageRequest& request, RunObserver* observer, RunMode mode) {
  ConversionSettings settings = SettingsFor(request);
  PageOutcome result;
  result.log = Open(request, settings);
  if (result.log.kind == DatabaseKind::None) {
    result.status = PageOutcome::Status::NotALog;
    return result;
  }
  ConversionOutcome outcome = Convert(SessionRequest(request, settings, mode), observer);
  switch (outcome.status) {
    case ConversionOutcome::Status::Converted:
      break;
    case ConversionOutcome::Status::Refused:
      // A log whose proposed name is its own (a log saved as x.csv) is only
      // read, as in the window and trovlin-cli.
      result.status =
          outcome.problem == RequestProblem::SameFile ? PageOutcome::Status::SameFile : PageOutcome::Status::NoItems;
      return result;
    case ConversionOutcome::Status::NothingToConvert:
      result.status = PageOutcome::Status::NoLayout;
      return result;
    case ConversionOutcome::Status::RowsKept:
      // A download is made only of a complete output: the rows kept are not
      // offered, and the failure that stopped the run is told.
      std::rethrow_exception(outcome.stoppedBy);
  }
  result.rows = outcome.rows;
  result.columns = outcome.columns;
  result.layoutCode = outcome.layoutCode;
  result.report = std::move(outcome.report);
  result.report.log = request.name;
  return result;
}

}  // namespace trovlin::web

#include "web/page_session.h"

#include "input/item_preset.h"
#include "input/output_name.h"
#include "session/log_session.h"

namespace trovlin::web {
namespace {

ConversionSettings SettingsFor(const PageRequest& request) {
  ConversionSettings settings;
  settings.inputPath = request.log;
  settings.csvEncoding = request.csvEncoding;
  settings.quoteStyle = request.quotes;
  settings.protectFormulas = request.protectFormulas;
  settings.outputFormat = request.format;
  settings.skipEmptyRows = request.skipEmptyRows;
  return settings;
}

// Opens the log into settings as the command line does: a chosen service is
// converted whatever detection said.
PageLog Open(const PageRequest& request, ConversionSettings& settings) {
  PageLog log;
  log.opened = OpenLogInto(settings, request.encoding);
  if (request.database) settings.databaseKind = *request.database;
  log.kind = settings.databaseKind;
  log.outputName = ProposeOutputName(request.name, request.format);
  settings.outputPath = log.outputName;
  if (log.kind == DatabaseKind::None) return log;
  SetRunOptions(settings, request.removeStars, request.toHalfWidth);
  if (log.kind == DatabaseKind::Patolis) {
    log.layout = PatolisLayout(settings);
  } else {
    log.items = FirstAnswerItems(settings, request.discover);
  }
  return log;
}

ItemTable ItemsFor(const PageRequest& request, const PageLog& log) {
  if (!request.items) return ItemTableFrom(log.items.items);
  CheckPresetConvertible(request.name, *request.items);
  return ItemTableFrom(*request.items);
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
  const ItemTable items = log.kind == DatabaseKind::Patolis ? ItemTable{} : ItemsFor(request, log);
  if (log.kind != DatabaseKind::Patolis && items.codes.empty()) return {};
  return Preview(settings, items, rows);
}

PageOutcome ConvertForPage(const PageRequest& request, RunObserver* observer, RunMode mode) {
  ConversionSettings settings = SettingsFor(request);
  PageOutcome result;
  result.log = Open(request, settings);
  if (result.log.kind == DatabaseKind::None) {
    result.status = PageOutcome::Status::NotALog;
    return result;
  }
  ItemTable items;
  std::vector<ReportWarning> warnings;
  if (result.log.kind != DatabaseKind::Patolis) {
    items = ItemsFor(request, result.log);
    warnings = ItemWarnings(items, result.log.items, request.items.has_value());
    if (items.codes.empty()) {
      result.status = PageOutcome::Status::NoItems;
      return result;
    }
  }
  ConversionOutcome outcome = Convert(settings, items, observer, mode, warnings);
  if (!outcome.written) {
    result.status = PageOutcome::Status::NoLayout;
    return result;
  }
  result.rows = outcome.rows;
  result.columns = outcome.columns;
  result.layoutCode = outcome.layoutCode;
  result.report = std::move(outcome.report);
  result.report.log = request.name;
  return result;
}

}  // namespace trovlin::web

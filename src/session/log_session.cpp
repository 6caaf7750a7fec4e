#include "session/log_session.h"

#include <optional>

#include "common/database_kind.h"
#include "input/item_preset.h"
#include "report/report_builder.h"
#include "tagged/tagged_run.h"
#include "text/utf8.h"
#include "xlsx/xlsx_writer.h"

namespace trovlin {

OpenedLog OpenLogInto(ConversionSettings& settings, std::optional<LogEncoding> encoding) {
  OpenedLog opened = OpenLog(settings.inputPath, encoding);
  settings.SetInputFormat(opened.format);
  settings.databaseKind = opened.kind;
  return opened;
}

Discovery FirstAnswerItems(const ConversionSettings& settings, DiscoveryStart start) {
  return DiscoverItems(settings.inputPath, settings.InputFormat(), settings.databaseKind, start);
}

std::optional<AnswerHeader> PatolisLayout(const ConversionSettings& settings) {
  return FindAnswerHeader(settings.inputPath, settings.InputFormat());
}

void SetRunOptions(ConversionSettings& settings, bool removeStars, bool toHalfWidth) {
  const DatabaseKind kind = settings.databaseKind;
  settings.databaseName = Utf8ToUtf16(DatabaseCaption(kind));
  settings.deleteStars = kind == DatabaseKind::Stn && removeStars;
  settings.toHalfWidth = (kind == DatabaseKind::Jois || kind == DatabaseKind::Patolis) && toHalfWidth;
}

ItemTable ItemTableFrom(const std::vector<DiscoveredItem>& list) {
  ItemTable table;
  for (const DiscoveredItem& item : list) {
    table.codes.push_back(item.code);
    table.notJoined.push_back(item.mark != u"*");
  }
  return table;
}

std::vector<DiscoveredItem> ItemListFrom(const ItemTable& table) {
  std::vector<DiscoveredItem> list;
  for (std::size_t i = 0; i < table.codes.size(); ++i) {
    list.push_back({table.codes[i], table.notJoined[i] ? u"" : u"*"});
  }
  return list;
}

std::u16string JoinCodes(const std::vector<std::u16string>& codes) {
  std::u16string joined;
  for (const std::u16string& code : codes) joined += (joined.empty() ? u"" : u", ") + code;
  return joined;
}

namespace {

// What both kinds of run count, into the outcome.
template <typename Counts>
void TakeCounts(const Counts& counts, ConversionOutcome& outcome, std::uint64_t& lines, std::uint64_t& bytes) {
  outcome.rows = counts.rows;
  outcome.unencodable = counts.unencodable;
  outcome.replaced = counts.replaced;
  outcome.report.formulasProtected = counts.protectedValues;
  lines = counts.linesRead;
  bytes = counts.bytesRead;
}

// Runs the service's conversion into outcome; the report is finished by the caller.
void RunService(const ConversionSettings& settings, const ItemTable& items, ReportBuilder& report, RunMode mode,
                ConversionOutcome& outcome, std::uint64_t& lines, std::uint64_t& bytes) {
  if (settings.databaseKind == DatabaseKind::Patolis) {
    const PatolisOutcome patolis = ConvertPatolis(settings, &report, mode);
    outcome.written = patolis.status == PatolisOutcome::Status::Converted;
    outcome.layoutCode = patolis.layoutCode;
    outcome.columns = PatolisColumnTitles(patolis.layoutCode).size();
    TakeCounts(patolis, outcome, lines, bytes);
    return;
  }
  const RunStatistics stats = RunTaggedConversion(settings, items, &report, mode);
  outcome.written = true;
  outcome.columns = items.ColumnCount();
  TakeCounts(stats, outcome, lines, bytes);
}

}  // namespace

ConversionOutcome Convert(const ConversionSettings& given, const ItemTable& items, RunObserver* observer, RunMode mode,
                          const std::vector<ReportWarning>& itemWarnings) {
  ConversionSettings settings = given;
  std::optional<XlsxWriter> book;
  if (settings.outputFormat == OutputFormat::Xlsx && mode == RunMode::Convert) {
    book.emplace(settings.outputPath, settings.outputRules);
    settings.rowSink = &*book;
  }
  ReportBuilder report(settings, observer);
  for (const ReportWarning& warning : itemWarnings) report.AddWarning(warning);
  ConversionOutcome outcome;
  std::uint64_t lines = 0, bytes = 0;
  try {
    RunService(settings, items, report, mode, outcome, lines, bytes);
  } catch (IoError& e) {
    // A PATOLIS run that stopped part way keeps its rows in a workbook too.
    if (book && e.rowsKept()) {
      try {
        book->Finish();
      } catch (const IoError&) {
        e.MarkRowsKept(false);
      }
    }
    throw;
  }
  const std::uint64_t protectedValues = outcome.report.formulasProtected;
  const std::vector<std::u16string> columns =
      settings.databaseKind == DatabaseKind::Patolis ? PatolisColumnTitles(outcome.layoutCode) : items.codes;
  outcome.report = report.Finish(columns, lines, bytes);
  outcome.report.log = settings.inputPath;
  outcome.report.formulasProtected = protectedValues;
  if (book && outcome.written) {
    book->AddReportSheet(ReportRows(outcome.report));
    book->Finish();
    outcome.replaced = book->ReplacedCount();
  }
  return outcome;
}

std::vector<ReportWarning> ItemWarnings(const ItemTable& items, const Discovery& firstAnswer, bool itemsGiven) {
  std::vector<ReportWarning> warnings;
  if (firstAnswer.leftOut > 0) {
    warnings.push_back({firstAnswer.leftOutLine, WarningKind::ItemsLeftOut, firstAnswer.leftOut, {}});
  }
  if (!itemsGiven) return warnings;
  for (const std::u16string& code : CodesMissingFrom(ItemListFrom(items), firstAnswer)) {
    warnings.push_back({firstAnswer.firstLine, WarningKind::ItemNotShown, 0, code});
  }
  return warnings;
}

std::string Preview(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows) {
  if (settings.databaseKind == DatabaseKind::Patolis) return PreviewPatolis(settings, maxRows);
  return PreviewTaggedConversion(settings, items, maxRows);
}

}  // namespace trovlin

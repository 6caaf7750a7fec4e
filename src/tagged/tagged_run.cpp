#include "tagged/tagged_run.h"

#include <algorithm>
#include <optional>

#include "common/database_kind.h"
#include "tagged/record_reader.h"
#include "text/utf8.h"

namespace trovlin {

namespace {

// Converts records from log into csv, at most maxRows of them.
void ConvertRecords(const ConversionSettings& settings, const ItemTable& items, LogReader& log, CsvWriter& csv,
                    PendingEvents& events, std::uint64_t maxRows) {
  csv.WriteHeader(items);
  RecordBuffer record;
  record.Resize(items.ColumnCount());
  RecordReader reader(log, items, record, settings, events);
  std::u16string line;
  log.ReadLogLine(line);
  const auto empty = [](const std::u16string& value) { return value.empty(); };
  while (!log.AtEnd() && csv.RowsWritten() < maxRows) {
    const std::uint64_t firstLine = log.LineNumber();
    reader.ReadRecord(line);
    const bool written = !settings.skipEmptyRows || !std::all_of(record.values.begin(), record.values.end(), empty);
    events.Record(firstLine, record, written);
    if (written) {
      csv.WriteRow(record);
    }
  }
}

}  // namespace

RunStatistics RunTaggedConversion(const ConversionSettings& settings, const ItemTable& items, RunObserver* observer,
                                  RunMode mode) {
  LogReader log(settings.inputPath, ReaderOptionsFor(settings, true), observer);
  PendingEvents events(observer);
  events.SetSource(log.BytesConsumed(), log.TotalBytes());
  std::optional<CsvWriter> csv;
  if (mode == RunMode::Convert) {
    csv.emplace(settings.outputPath, CsvFormatFor(settings), settings.outputRules);
  } else {
    csv.emplace(nullptr, CsvFormatFor(settings));
  }
  ConvertRecords(settings, items, log, *csv, events, UINT64_MAX);
  csv->Finish();
  return {csv->RowsWritten(),   csv->UnencodableCount(), csv->ReplacedCount(),
          *log.BytesConsumed(), log.LinesRead(),         csv->ProtectedCount()};
}

std::string PreviewTaggedConversion(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows) {
  LogReader log(settings.inputPath, ReaderOptionsFor(settings, true));
  PendingEvents events;
  std::string bytes;
  CsvWriter csv(&bytes, CsvFormatFor(settings));
  ConvertRecords(settings, items, log, csv, events, maxRows);
  csv.Finish();
  return bytes;
}

}  // namespace trovlin

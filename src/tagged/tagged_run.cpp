#include "tagged/tagged_run.h"

#include <algorithm>
#include <optional>

#include "common/database_kind.h"
#include "tagged/record_reader.h"
#include "text/utf8.h"

namespace trovlin {

namespace {

// Converts records from log into csv, at most maxRows of them, keeping the
// text as Text all the way.
template <class Text>
void ConvertRecords(const ConversionSettings& settings, const ItemTable& items, LogReader& log, CsvWriter& csv,
                    PendingEvents& events, std::uint64_t maxRows) {
  csv.WriteHeader(items);
  BasicRecordBuffer<Text> record;
  record.Resize(items.ColumnCount());
  BasicRecordReader<Text> reader(log, items, record, settings, events);
  Text line;
  log.ReadLogLine(line);
  const auto empty = [](const Text& value) { return value.empty(); };
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

void ConvertRecords(const ConversionSettings& settings, const ItemTable& items, LogReader& log, CsvWriter& csv,
                    PendingEvents& events, std::uint64_t maxRows, TextPath path) {
  if (path == TextPath::Fastest && KeepsCp932Bytes(settings)) {
    ConvertRecords<std::string>(settings, items, log, csv, events, maxRows);
  } else {
    ConvertRecords<std::u16string>(settings, items, log, csv, events, maxRows);
  }
}

}  // namespace

bool KeepsCp932Bytes(const ConversionSettings& settings) {
  return settings.InputFormat().encoding == LogEncoding::Cp932 && settings.csvEncoding == CsvEncoding::Cp932 &&
         settings.rowSink == nullptr && !settings.protectFormulas;
}

RunStatistics RunTaggedConversion(const ConversionSettings& settings, const ItemTable& items, RunObserver* observer,
                                  RunMode mode, TextPath path) {
  LogReader log(settings.inputPath, ReaderOptionsFor(settings, true), observer);
  PendingEvents events(observer);
  events.SetSource(log.BytesConsumed(), log.TotalBytes());
  std::optional<CsvWriter> csv;
  if (mode == RunMode::Convert) {
    csv.emplace(settings.outputPath, CsvFormatFor(settings), settings.outputRules);
  } else {
    csv.emplace(nullptr, CsvFormatFor(settings));
  }
  ConvertRecords(settings, items, log, *csv, events, UINT64_MAX, path);
  csv->Finish();
  return {csv->RowsWritten(),   csv->UnencodableCount(), csv->ReplacedCount(),
          *log.BytesConsumed(), log.LinesRead(),         csv->ProtectedCount()};
}

std::string PreviewTaggedConversion(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows,
                                    TextPath path) {
  LogReader log(settings.inputPath, ReaderOptionsFor(settings, true));
  PendingEvents events;
  std::string bytes;
  CsvWriter csv(&bytes, CsvFormatFor(settings));
  ConvertRecords(settings, items, log, csv, events, maxRows, path);
  csv.Finish();
  return bytes;
}

}  // namespace trovlin

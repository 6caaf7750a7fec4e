#include "tagged/tagged_run.h"

#include "common/database_kind.h"
#include "csv/csv_writer.h"
#include "tagged/record_reader.h"
#include "text/utf8.h"

namespace trovlin {

void SetRunOptions(ConversionSettings& settings, bool starsChecked, bool halfWidthChecked) {
  const std::string_view name = DatabaseCaption(settings.databaseKind);
  settings.databaseName = Utf8ToUtf16(name);
  settings.deleteStars = name == "STN" && starsChecked;
  settings.toHalfWidth = (name == "JOIS" || name == "PATOLIS") && halfWidthChecked;
}

RunStatistics RunTaggedConversion(const ConversionSettings& settings, const ItemTable& items,
                                  EventListener* listener, DecodeReporter* reporter) {
  LogReader log(settings.inputPath, {.trailingEmptyLine = true}, reporter);
  PendingEvents events(listener);
  events.SetSource(log.BytesConsumed(), log.TotalBytes());

  CsvWriter csv(settings.outputPath);
  csv.WriteHeader(items);
  RecordBuffer record;
  record.Resize(items.ColumnCount());
  RecordReader reader(log, items, record, settings, events);

  std::u16string line;
  log.ReadLogLine(line);
  while (!log.AtEnd()) {
    reader.ReadRecord(line);
    csv.WriteRow(record);
  }
  csv.Finish();
  return {csv.RowsWritten(), csv.UnencodableCount()};
}

}  // namespace trovlin

// The CSV writer: the rows of a whole log, encoded and written to a file.
// The copy that refills each row is part of the figure (WriteRow empties it).
#include <benchmark/benchmark.h>

#include "csv/csv_writer.h"
#include "micro/bench_logs.h"
#include "tagged/record_reader.h"

namespace trovlin::bench {
namespace {

// Every record of the log, as the record reader gives them.
std::vector<std::vector<std::u16string>> Rows(LogKind kind, const ItemTable& items) {
  ConversionSettings settings;
  settings.databaseKind = kind == LogKind::Jois ? DatabaseKind::Jois : DatabaseKind::Stn;
  LogReader log(LogFile(kind), {.trailingEmptyLine = true});
  PendingEvents events;
  RecordBuffer record;
  record.Resize(items.ColumnCount());
  RecordReader reader(log, items, record, settings, events);
  std::vector<std::vector<std::u16string>> rows;
  std::u16string line;
  log.ReadLogLine(line);
  while (!log.AtEnd()) {
    reader.ReadRecord(line);
    rows.push_back(record.values);
  }
  return rows;
}

void BM_CsvWriter(benchmark::State& state, LogKind kind) {
  const ItemTable items = LogItems(kind);
  const auto rows = Rows(kind, items);
  std::size_t characters = 0;
  for (const auto& row : rows) {
    for (const auto& value : row) characters += value.size();
  }
  const std::string path = OutputPath(std::string("writer-") + KindName(kind) + ".csv");
  RecordBuffer record;
  record.Resize(items.ColumnCount());
  for (auto _ : state) {
    CsvWriter csv(path);
    csv.WriteHeader(items);
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) record.values[i].assign(row[i]);
      csv.WriteRow(record);
    }
    csv.Finish();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * characters));
}

BENCHMARK_CAPTURE(BM_CsvWriter, stn, LogKind::Stn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CsvWriter, jois, LogKind::Jois)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trovlin::bench

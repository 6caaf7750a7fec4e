// The tagged record reader alone (records read and dropped), and the whole
// tagged run that also writes the CSV file.
#include <benchmark/benchmark.h>

#include "micro/bench_logs.h"
#include "session/log_session.h"
#include "tagged/record_reader.h"
#include "tagged/tagged_run.h"

namespace trovlin::bench {
namespace {

ConversionSettings Settings(LogKind kind) {
  ConversionSettings settings;
  settings.inputPath = LogFile(kind);
  settings.outputPath = OutputPath(std::string(KindName(kind)) + ".csv");
  settings.databaseKind = kind == LogKind::Jois ? DatabaseKind::Jois : DatabaseKind::Stn;
  SetRunOptions(settings, true, true);
  return settings;
}

void BM_RecordReader(benchmark::State& state, LogKind kind) {
  const ConversionSettings settings = Settings(kind);
  const ItemTable items = LogItems(kind);
  std::uint64_t records = 0;
  for (auto _ : state) {
    LogReader log(settings.inputPath, {.trailingEmptyLine = true});
    PendingEvents events;
    RecordBuffer record;
    record.Resize(items.ColumnCount());
    RecordReader reader(log, items, record, settings, events);
    std::u16string line;
    log.ReadLogLine(line);
    while (!log.AtEnd()) {
      reader.ReadRecord(line);
      ++records;
    }
    benchmark::DoNotOptimize(record.values.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LogBytes(kind).size()));
  state.counters["records"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kAvgIterations);
}

void BM_TaggedRun(benchmark::State& state, LogKind kind) {
  const ConversionSettings settings = Settings(kind);
  const ItemTable items = LogItems(kind);
  for (auto _ : state) {
    const RunStatistics stats = RunTaggedConversion(settings, items);
    benchmark::DoNotOptimize(stats.rows);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LogBytes(kind).size()));
}

BENCHMARK_CAPTURE(BM_RecordReader, stn, LogKind::Stn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecordReader, jois, LogKind::Jois)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TaggedRun, stn, LogKind::Stn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TaggedRun, jois, LogKind::Jois)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trovlin::bench

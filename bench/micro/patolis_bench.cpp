// The PATOLIS path outside the core: reading with the line-end repair that
// every PATOLIS log is read with, and the layout 3 converter with its cuts, joins and
// collapses (reading and writing included, as in a conversion).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "csv/csv_writer.h"
#include "logread/log_reader.h"
#include "micro/bench_logs.h"
#include "patolis/full_record_b.h"

namespace trovlin::bench {
namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

// Reading a whole PATOLIS log with the LF CR repair on.
void ReadRepaired(benchmark::State& state, const std::string& path, std::size_t bytes) {
  std::u16string line;
  for (auto _ : state) {
    LogReader log(path, {.format = {.repairLfCr = true}});
    while (!log.AtEnd()) log.ReadLogLine(line);
    benchmark::DoNotOptimize(log.LineNumber());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// The usual case: CR LF line ends, nothing to rewrite.
void BM_ReadRepaired_Clean(benchmark::State& state) {
  ReadRepaired(state, LogFile(LogKind::PatolisLayout3), LogBytes(LogKind::PatolisLayout3).size());
}

// Every line end saved as LF CR: every pair is rewritten while reading.
void BM_ReadRepaired_EveryLine(benchmark::State& state) {
  std::string swapped = LogBytes(LogKind::PatolisLayout3);
  for (std::size_t at = swapped.find("\r\n"); at != std::string::npos; at = swapped.find("\r\n", at + 2)) {
    swapped[at] = '\n';
    swapped[at + 1] = '\r';
  }
  const std::string path = OutputPath("patolis3-lfcr.log");
  WriteFile(path, swapped);
  ReadRepaired(state, path, swapped.size());
}

void BM_ConvertPatolisLayout3(benchmark::State& state) {
  const std::string& path = LogFile(LogKind::PatolisLayout3);
  const std::string out = OutputPath("patolis3.csv");
  std::u16string line;
  for (auto _ : state) {
    LogReader log(path);
    // The converter starts on the line after the answer header.
    do {
      log.ReadLogLine(line);
    } while (line.find(u"＊＊検索回答") == std::u16string::npos && !log.AtEnd());
    CsvWriter csv(out);
    PendingEvents events;
    ConvertPatolisFullRecordB(log, csv, events, 3);
    csv.Finish();
    benchmark::DoNotOptimize(csv.RowsWritten());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LogBytes(LogKind::PatolisLayout3).size()));
}

BENCHMARK(BM_ReadRepaired_Clean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRepaired_EveryLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertPatolisLayout3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trovlin::bench

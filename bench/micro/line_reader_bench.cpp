// The log line reader over a whole file: block reads, the line-end search,
// decoding and tab expansion.
#include <benchmark/benchmark.h>

#include "logread/log_reader.h"
#include "micro/bench_logs.h"

namespace trovlin::bench {
namespace {

void BM_LogReader(benchmark::State& state, LogKind kind) {
  const std::string& path = LogFile(kind);
  std::u16string line;
  for (auto _ : state) {
    LogReader log(path);
    std::uint64_t lines = 0;
    while (!log.AtEnd()) {
      log.ReadLogLine(line);
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * LogBytes(kind).size()));
}

BENCHMARK_CAPTURE(BM_LogReader, stn, LogKind::Stn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LogReader, jois, LogKind::Jois)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LogReader, patolis3, LogKind::PatolisLayout3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trovlin::bench

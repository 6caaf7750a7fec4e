// The code page 932 codec, line by line as the line reader and the CSV
// writer call it: mostly ASCII (STN) and mostly double-byte (JOIS, PATOLIS).
#include <benchmark/benchmark.h>

#include "micro/bench_logs.h"
#include "text/cp932.h"

namespace trovlin::bench {
namespace {

void BM_DecodeLines(benchmark::State& state, LogKind kind) {
  const auto& lines = RawLines(kind);
  std::u16string out;
  std::size_t bytes = 0;
  for (std::string_view line : lines) bytes += line.size();
  for (auto _ : state) {
    for (std::string_view line : lines) {
      out.clear();
      DecodeCp932(line, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

// Fields are appended to one output block, as the CSV writer does.
void BM_EncodeLines(benchmark::State& state, LogKind kind) {
  const auto& lines = DecodedLines(kind);
  std::string out;
  out.reserve(2 << 20);
  std::size_t bytes = 0;
  for (std::string_view raw : RawLines(kind)) bytes += raw.size();
  for (auto _ : state) {
    for (const std::u16string& line : lines) {
      EncodeCp932(line, out);
      if (out.size() >= (1 << 20)) out.clear();
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK_CAPTURE(BM_DecodeLines, stn, LogKind::Stn);
BENCHMARK_CAPTURE(BM_DecodeLines, jois, LogKind::Jois);
BENCHMARK_CAPTURE(BM_DecodeLines, patolis3, LogKind::PatolisLayout3);
BENCHMARK_CAPTURE(BM_EncodeLines, stn, LogKind::Stn);
BENCHMARK_CAPTURE(BM_EncodeLines, jois, LogKind::Jois);
BENCHMARK_CAPTURE(BM_EncodeLines, patolis3, LogKind::PatolisLayout3);

}  // namespace
}  // namespace trovlin::bench

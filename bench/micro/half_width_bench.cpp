// Full-width to half-width conversion: every JOIS field with the option on,
// and the short numbered cells of every PATOLIS record.
#include <benchmark/benchmark.h>

#include "micro/bench_logs.h"
#include "text/half_width.h"

namespace trovlin::bench {
namespace {

std::size_t Characters(const std::vector<std::u16string>& lines) {
  std::size_t n = 0;
  for (const auto& line : lines) n += line.size();
  return n;
}

void BM_AppendHalfWidth(benchmark::State& state, LogKind kind) {
  const auto& lines = DecodedLines(kind);
  std::u16string out;
  for (auto _ : state) {
    for (const std::u16string& line : lines) {
      out.clear();
      AppendHalfWidth(line, out);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Characters(lines)));
}

// The copy that gives each call its input is part of the figure.
void BM_ToHalfWidthInPlace(benchmark::State& state, LogKind kind) {
  const auto& lines = DecodedLines(kind);
  std::u16string text;
  for (auto _ : state) {
    for (const std::u16string& line : lines) {
      text.assign(line);
      ToHalfWidthInPlace(text);
      benchmark::DoNotOptimize(text.data());
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Characters(lines)));
}

BENCHMARK_CAPTURE(BM_AppendHalfWidth, stn, LogKind::Stn);
BENCHMARK_CAPTURE(BM_AppendHalfWidth, jois, LogKind::Jois);
BENCHMARK_CAPTURE(BM_ToHalfWidthInPlace, patolis3, LogKind::PatolisLayout3);

}  // namespace
}  // namespace trovlin::bench

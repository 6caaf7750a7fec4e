// The event hook as the readers call it: once per line, with the input
// position advancing by a typical line's bytes.
#include <benchmark/benchmark.h>

#include "common/run_observer.h"

namespace trovlin::bench {
namespace {

constexpr std::uint64_t kLineBytes = 48;
constexpr std::uint64_t kTotal = ~std::uint64_t{0};

class CountingListener : public RunObserver {
 public:
  void OnProgress(std::uint64_t bytesRead, std::uint64_t) override {
    ++calls;
    last = bytesRead;
  }
  std::uint64_t calls = 0;
  std::uint64_t last = 0;
};

void BM_ProcessPerLine(benchmark::State& state) {
  CountingListener listener;
  PendingEvents events(state.range(0) != 0 ? &listener : nullptr);
  std::uint64_t bytesRead = 0;
  events.SetSource(&bytesRead, kTotal);
  for (auto _ : state) {
    bytesRead += kLineBytes;
    events.ForwardProgress();
    benchmark::ClobberMemory();
  }
  state.counters["forwarded"] = benchmark::Counter(static_cast<double>(listener.calls));
}

BENCHMARK(BM_ProcessPerLine)->ArgName("listener")->Arg(0)->Arg(1);

}  // namespace
}  // namespace trovlin::bench

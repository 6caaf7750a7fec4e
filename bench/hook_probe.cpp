// trovlin_hook_probe: what the event hook costs a whole conversion, and how
// often a listener hears from it.
//
//   trovlin_hook_probe LOG [RUNS [none|counting]]
//
// Converts LOG RUNS times (default 5) without a listener and RUNS times with
// one that counts its calls and times the gaps between them, alternating so
// that drifts of the machine hit both alike. With "none" or "counting" only
// that half runs, for tools that count instructions (valgrind) and need the
// two apart. The window's progress bar is
// such a listener: it needs a call at least every 100 ms, and the hook should
// cost the run under 2 %. The CSV goes beside LOG and is removed afterwards.
// The last line is "hook-probe key=value ...", for bench/run.sh.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/errors.h"
#include "input/discover.h"
#include "input/open_log.h"
#include "session/log_session.h"
#include "tagged/tagged_run.h"
#ifdef TROVLIN_HAVE_PATOLIS
#include "patolis/patolis.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using trovlin::DatabaseKind;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

class GapListener : public trovlin::RunObserver {
 public:
  void Start() {
    calls_ = 0;
    last_ = Clock::now();
    first_ = Clock::duration::zero();
  }
  void OnProgress(std::uint64_t, std::uint64_t) override {
    const Clock::time_point now = Clock::now();
    if (calls_ == 0) {
      first_ = now - last_;
    } else {
      gaps_.push_back(Ms(now - last_));
    }
    last_ = now;
    ++calls_;
  }
  // The time from the last call to the end of the run, when no bar moves.
  double SinceLast() const { return Ms(Clock::now() - last_); }
  std::uint64_t calls() const { return calls_; }
  double first() const { return Ms(first_); }
  const std::vector<double>& gaps() const { return gaps_; }

 private:
  std::uint64_t calls_ = 0;
  Clock::time_point last_;
  Clock::duration first_{};
  std::vector<double> gaps_;
};

struct Conversion {
  trovlin::ConversionSettings settings;
  trovlin::ItemTable items;

  void Run(trovlin::RunObserver* listener) const {
#ifdef TROVLIN_HAVE_PATOLIS
    if (settings.databaseKind == DatabaseKind::Patolis) {
      const trovlin::PatolisOutcome outcome = trovlin::ConvertPatolis(settings, listener);
      if (outcome.status != trovlin::PatolisOutcome::Status::Converted) {
        std::fprintf(stderr, "trovlin_hook_probe: the PATOLIS log was not converted\n");
        std::exit(1);
      }
      return;
    }
#endif
    trovlin::RunTaggedConversion(settings, items, listener);
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc == 4 ? argv[3] : "";
  if (argc < 2 || argc > 4 || (argc == 4 && only != "none" && only != "counting")) {
    std::fputs("usage: trovlin_hook_probe LOG [RUNS [none|counting]]\n", stderr);
    return 1;
  }
  const int runs = argc >= 3 ? std::max(1, std::atoi(argv[2])) : 5;
  Conversion conversion;
  trovlin::ConversionSettings& settings = conversion.settings;
  settings.inputPath = argv[1];
  settings.outputPath = settings.inputPath + ".hook-probe.csv";
  try {
    const trovlin::OpenedLog opened = trovlin::OpenLog(settings.inputPath);
    settings.databaseKind = opened.kind;
    settings.SetInputFormat(opened.format);
    if (settings.databaseKind == DatabaseKind::None) {
      std::fprintf(stderr, "trovlin_hook_probe: %s is not a log\n", argv[1]);
      return 1;
    }
#ifndef TROVLIN_HAVE_PATOLIS
    if (settings.databaseKind == DatabaseKind::Patolis) {
      std::fprintf(stderr, "trovlin_hook_probe: built without the PATOLIS converters\n");
      return 1;
    }
#endif
    trovlin::SetRunOptions(settings, true, true);
    for (trovlin::DiscoveredItem& item : trovlin::DiscoverItems(settings.inputPath, settings.InputFormat()).items) {
      conversion.items.codes.push_back(std::move(item.code));
    }
    conversion.items.notJoined.assign(conversion.items.codes.size(), true);

    GapListener listener;
    if (!only.empty()) {
      for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        conversion.Run(only == "counting" ? &listener : nullptr);
        std::printf("%s: %.1f ms\n", only.c_str(), Ms(Clock::now() - start));
        std::filesystem::remove(settings.outputPath);
      }
      return 0;
    }
    std::vector<double> without, with, sinceLast, first;
    std::uint64_t calls = 0;
    // Each run writes a new file, as a first conversion does (replacing a
    // large CSV costs its removal on top).
    for (int i = 0; i < runs; ++i) {
      Clock::time_point start = Clock::now();
      conversion.Run(nullptr);
      without.push_back(Ms(Clock::now() - start));
      std::filesystem::remove(settings.outputPath);

      listener.Start();
      start = Clock::now();
      conversion.Run(&listener);
      sinceLast.push_back(listener.SinceLast());
      with.push_back(Ms(Clock::now() - start));
      first.push_back(listener.first());
      calls = listener.calls();
      std::filesystem::remove(settings.outputPath);
    }

    const double plain = Median(without);
    const double hooked = Median(with);
    const double plainBest = *std::min_element(without.begin(), without.end());
    const double hookedBest = *std::min_element(with.begin(), with.end());
    const std::vector<double>& gaps = listener.gaps();
    const double maxGap = gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    const double maxFirst = *std::max_element(first.begin(), first.end());
    const double maxLast = *std::max_element(sinceLast.begin(), sinceLast.end());
    std::printf("%s: %d runs each way\n", std::filesystem::path(argv[1]).filename().c_str(), runs);
    std::printf("  without a listener  median %.1f ms, fastest %.1f ms\n", plain, plainBest);
    std::printf("  counting listener   median %.1f ms (%+.2f %%), fastest %.1f ms (%+.2f %%)\n", hooked,
                100 * (hooked - plain) / plain, hookedBest, 100 * (hookedBest - plainBest) / plainBest);
    std::printf("  listener calls per run %llu; gap between calls: median %.3f ms, max %.3f ms\n",
                static_cast<unsigned long long>(calls), gaps.empty() ? 0.0 : Median(gaps), maxGap);
    std::printf("  start to first call max %.3f ms; last call to end of run max %.3f ms\n", maxFirst, maxLast);
    std::printf(
        "hook-probe plain_ms=%.1f hooked_ms=%.1f cost_pct=%.2f calls=%llu gap_median_ms=%.3f gap_max_ms=%.3f "
        "first_ms=%.3f tail_ms=%.3f\n",
        plain, hooked, 100 * (hooked - plain) / plain, static_cast<unsigned long long>(calls),
        gaps.empty() ? 0.0 : Median(gaps), maxGap, maxFirst, maxLast);
  } catch (const trovlin::IoError& e) {
    std::fprintf(stderr, "trovlin_hook_probe: %s\n", e.what());
    return 1;
  }
  return 0;
}

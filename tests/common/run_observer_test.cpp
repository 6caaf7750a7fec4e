#include "common/run_observer.h"

#include <gtest/gtest.h>

#include <vector>

namespace trovlin {
namespace {

struct Recorder : RunObserver {
  std::vector<std::uint64_t> reported;
  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override {
    EXPECT_LE(bytesRead, bytesTotal);
    reported.push_back(bytesRead);
  }
};

TEST(PendingEvents, ForwardsOncePerSixtyFourKibibytesAndTheEndOnce) {
  const struct {
    std::uint64_t total;
    std::vector<std::uint64_t> steps, reported;  // bytes read at each call; what reaches the listener
  } cases[] = {
      {196708, {0, 100, 65535, 65536, 65600, 131071, 131136, 196708, 196708}, {65536, 131136, 196708}},
      {65546, {65536, 65546, 65546}, {65536, 65546}},  // the end comes less than a stride after the last report
      {0, {0, 0}, {0}}                                 // an empty log reports its end once
  };
  for (const auto& c : cases) {
    Recorder recorder;
    PendingEvents events(&recorder);
    std::uint64_t read = 0;
    events.SetSource(&read, c.total);
    for (std::uint64_t step : c.steps) {
      read = step;
      events.ForwardProgress();
    }
    EXPECT_EQ(recorder.reported, c.reported) << c.total;
  }
}

}  // namespace
}  // namespace trovlin

#include "input/line_end_repair.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::TempDir;

struct RepairCase {
  std::string before;
  std::string after;
};

TEST(LineEndRepair, RewritesLfCrAsCrLf) {
  const RepairCase cases[] = {
      {"a\n\rb", "a\r\nb"},
      {"\r\nb", "\r\nb"},
      {"a\n\n\r", "a\n\n\r"},  // the byte after an LF never starts a pair
      {"a\nb", "a\nb"},
      {"a\r\n\r", "a\r\n\r"},
      // An LF first in the file has no CR before it.
      {"\n\rx", "\r\nx"},
      // An LF last in the file has nothing after it.
      {"x\n", "x\n"},
      {"\n", "\n"},
      {"", ""},
      // The byte before is taken as rewritten: the second pair follows the first.
      {"a\n\r\n\rb", "a\r\n\r\nb"},
      // In a run of LFs every other one is examined, from the first on.
      {"a\n\n\n\rb", "a\n\n\r\nb"},
      {"a\n\n\n\n\rb", "a\n\n\n\n\rb"},
      {"\n\n\n\r", "\n\n\r\n"},
      {"a\r\n\n\rb", "a\r\n\n\rb"},
      {"a\r\n\n\n\rb", "a\r\n\n\r\nb"},
      // A CR right before the LF keeps the pair.
      {"\r\n\r\n\r", "\r\n\r\n\r"},
      {"x\n\r\r\n\rx", "x\r\n\r\n\rx"},
  };
  TempDir dir;
  for (const RepairCase& c : cases) {
    const std::string path = dir.Write("log", c.before);
    EXPECT_EQ(RepairLineEnds(path), c.before != c.after);
    EXPECT_EQ(ReadBytes(path), c.after);
  }
}

TEST(LineEndRepair, PairsAcrossBlockEdgesAreRewritten) {
  // Pairs placed at every offset around the first block edges.
  constexpr std::size_t kEdge = 1 << 20;
  TempDir dir;
  for (std::size_t at = kEdge - 3; at <= kEdge + 2; ++at) {
    std::string before(2 * kEdge + 10, 'x');
    std::string after = before;
    before.replace(at, 4, "\n\r\n\r");
    after.replace(at, 4, "\r\n\r\n");
    before.replace(2 * kEdge - 1, 2, "\n\r");
    after.replace(2 * kEdge - 1, 2, "\r\n");
    const std::string path = dir.Write("log", before);
    RepairLineEnds(path);
    EXPECT_TRUE(ReadBytes(path) == after) << at;
  }
}

TEST(LineEndRepair, FarApartAndLongRunsAreFound) {
  // 40 LFs: the last one is skipped; 41: the last one is examined and rewritten.
  const std::string text(70, 'x');
  const RepairCase cases[] = {
      {text + "\n\r" + text + "\n\r" + text, text + "\r\n" + text + "\r\n" + text},
      {"a" + std::string(40, '\n') + "\r" + text, "a" + std::string(40, '\n') + "\r" + text},
      {"a" + std::string(41, '\n') + "\r" + text, "a" + std::string(40, '\n') + "\r\n" + text},
      {text + "\r\n" + text + "\n" + text, text + "\r\n" + text + "\n" + text},
  };
  TempDir dir;
  for (const RepairCase& c : cases) {
    const std::string path = dir.Write("log", c.before);
    EXPECT_EQ(RepairLineEnds(path), c.before != c.after);
    EXPECT_TRUE(ReadBytes(path) == c.after);
  }
}

TEST(LineEndRepair, SkippedBytesCarryOverBlockEdges) {
  // Whether an LF is examined does not depend on where the blocks end.
  constexpr std::size_t kEdge = 1 << 20;
  TempDir dir;
  for (std::size_t at = kEdge - 4; at <= kEdge + 1; ++at) {
    std::string before(2 * kEdge, 'x');
    before.replace(at, 3, "\n\n\r");
    std::string path = dir.Write("log", before);
    EXPECT_FALSE(RepairLineEnds(path)) << at;
    EXPECT_TRUE(ReadBytes(path) == before) << at;

    before.replace(at, 4, "\n\n\n\r");
    std::string after = before;
    after.replace(at, 4, "\n\n\r\n");
    path = dir.Write("log", before);
    EXPECT_TRUE(RepairLineEnds(path)) << at;
    EXPECT_TRUE(ReadBytes(path) == after) << at;
  }
}

}  // namespace
}  // namespace trovlin

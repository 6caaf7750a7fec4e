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

}  // namespace
}  // namespace trovlin

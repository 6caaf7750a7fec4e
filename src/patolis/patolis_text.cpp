#include "patolis/patolis_text.h"

#include "text/half_width.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::u16string_view kContinuationIndent = u"  ";

}  // namespace

bool AppendContinuationLines(LogReader& log, std::u16string& value, std::u16string& line) {
  if (log.AtEnd()) return true;
  log.ReadLogLine(line);
  while (line.starts_with(kContinuationIndent)) {
    value.append(TrimSpaces(line));
    if (log.AtEnd()) return true;
    log.ReadLogLine(line);
  }
  return false;
}

void NarrowAndCollapseSpaces(std::u16string& value) {
  ToHalfWidthInPlace(value);
  CollapseSpaces(value);
}

// Two halvings of a run of n spaces leave ceil(ceil(n / 2) / 2) = ceil(n / 4)
// of them, and runs never merge, so one pass gives the same text.
void CollapseSpaces(std::u16string& value) {
  char16_t* const p = value.data();
  const std::size_t n = value.size();
  // Values without two spaces in a row are common; for them this is one read.
  std::size_t from = 0;
  while (from + 1 < n && !(p[from] == kSpace && p[from + 1] == kSpace)) ++from;
  if (from + 1 >= n) return;
  // Of a run, the spaces numbered 1, 5, 9, ... are kept: ceil(n / 4) of n.
  std::size_t to = from;
  std::size_t run = 0;  // the place of p[from] in its run of spaces; 0 for no space
  for (; from < n; ++from) {
    const char16_t c = p[from];
    run = c == kSpace ? run + 1 : 0;
    p[to] = c;
    to += (run & 3) == 1 || run == 0;
  }
  value.resize(to);
}

}  // namespace trovlin

#include "patolis/patolis_text.h"

#include "text/half_width.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::u16string_view kContinuationIndent = u"  ";

// One left-to-right pass that turns each non-overlapping pair of spaces into one.
std::u16string HalvePairsOfSpaces(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    if (text[i] == kSpace && i + 1 < text.size() && text[i + 1] == kSpace) ++i;
  }
  return out;
}

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

std::u16string NarrowAndCollapseSpaces(std::u16string& value) {
  ToHalfWidthInPlace(value);
  return CollapseSpaces(value);
}

std::u16string CollapseSpaces(std::u16string_view value) { return HalvePairsOfSpaces(HalvePairsOfSpaces(value)); }

}  // namespace trovlin

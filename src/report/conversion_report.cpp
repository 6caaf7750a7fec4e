#include "report/conversion_report.h"

#include <algorithm>

namespace trovlin {

bool ConversionReport::Announces() const {
  return std::any_of(answers.begin(), answers.end(), [](const AnswerSetReport& set) { return set.announced > 0; });
}

bool ConversionReport::HasGapsOrRepeats() const {
  for (const AnswerSetReport& set : answers) {
    if (!set.repeated.empty()) return true;
    for (const NumberRange& gap : set.missing) {
      if (gap.first > set.firstShown && gap.last < set.lastShown) return true;
    }
  }
  return false;
}

void ConversionReport::AddWarning(const ReportWarning& warning) {
  const auto at = std::upper_bound(warnings.begin(), warnings.end(), warning.line,
                                   [](std::uint64_t line, const ReportWarning& w) { return line < w.line; }) -
                  warnings.begin();
  if (warnings.size() == kWarningsKept) {
    ++warningsLeftOut;
    if (static_cast<std::size_t>(at) == warnings.size()) return;
    warnings.pop_back();
  }
  warnings.insert(warnings.begin() + at, warning);
}

}  // namespace trovlin

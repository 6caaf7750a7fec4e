#include "report/conversion_report.h"

#include <algorithm>
#include <string_view>

#include "common/database_kind.h"
#include "text/utf8.h"

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

std::string WarningKindName(WarningKind kind) {
  static constexpr std::string_view kNames[] = {"invalid-bytes", "items-left-out", "record-cut-short",
                                                "unencodable",   "item-not-shown", "cell-cut"};
  return std::string(kNames[static_cast<std::size_t>(kind)]);
}

namespace {

std::string Ranges(const std::vector<NumberRange>& ranges) {
  std::string text;
  for (const NumberRange& r : ranges) {
    text += (text.empty() ? "" : ", ") + std::to_string(r.first);
    if (r.last != r.first) text += "-" + std::to_string(r.last);
  }
  return text;
}

}  // namespace

SheetRows ReportRows(const ConversionReport& report) {
  const auto n = [](std::uint64_t v) { return SheetCell{std::to_string(v), true}; };
  const auto t = [](std::string text) { return SheetCell{std::move(text)}; };
  SheetRows rows = {
      {t("log"), t(report.log)},
      {t("service"), t(std::string(DatabaseCaption(report.service)))},
      {t("lines"), n(report.lines)},
      {t("bytes"), n(report.bytes)},
      {t("records"), n(report.records)},
      {t("rows"), n(report.rows)},
      {t("empty_row_count"), n(report.emptyRows)},
      {t("formulas_protected"), n(report.formulasProtected)},
  };
  if (!report.answers.empty()) {
    rows.push_back({t("answers"), t("set"), t("announced"), t("found"), t("missing"), t("repeated")});
  }
  for (const AnswerSetReport& set : report.answers) {
    std::string repeated;
    for (const std::uint64_t r : set.repeated) repeated += (repeated.empty() ? "" : ", ") + std::to_string(r);
    rows.push_back({t("answers"), t(Utf16ToUtf8(set.set)), set.announced > 0 ? n(set.announced) : t(""), n(set.found),
                    t(Ranges(set.missing)), t(repeated)});
  }
  if (!report.warnings.empty()) rows.push_back({t("warnings"), t("line"), t("kind"), t("count or code")});
  for (const ReportWarning& w : report.warnings) {
    rows.push_back(
        {t("warnings"), n(w.line), t(WarningKindName(w.kind)), w.code.empty() ? n(w.count) : t(Utf16ToUtf8(w.code))});
  }
  if (!report.items.empty()) rows.push_back({t("items"), t("code"), t("rows")});
  for (const ItemCount& item : report.items) rows.push_back({t("items"), t(Utf16ToUtf8(item.code)), n(item.rows)});
  return rows;
}

}  // namespace trovlin

#include "cli/report_json.h"

#include <nlohmann/json.hpp>

#include "cli/report_text.h"
#include "common/database_kind.h"
#include "text/utf8.h"

namespace trovlin::cli {
namespace {

using json = nlohmann::ordered_json;

json Ranges(const std::vector<NumberRange>& ranges) {
  json list = json::array();
  for (const NumberRange& r : ranges) list.push_back({r.first, r.last});
  return list;
}

std::string EncodingName(LogEncoding encoding) {
  static constexpr std::string_view kNames[] = {"cp932", "utf-8", "utf-16le", "utf-16be"};
  return std::string(kNames[static_cast<std::size_t>(encoding)]);
}

// What shaped the output's bytes, as the options that choose it name it.
json Output(const ConversionReport& report) {
  static constexpr std::string_view kEncodings[] = {"cp932", "utf-8", "utf-8-bom"};
  const bool workbook = report.outputFormat == OutputFormat::Xlsx;
  return {{"format", workbook ? "xlsx" : "csv"},
          // A workbook's text is UTF-8 whatever --encoding says.
          {"encoding",
           workbook ? std::string("utf-8") : std::string(kEncodings[static_cast<std::size_t>(report.csvEncoding)])},
          {"quotes", report.quoteStyle == QuoteStyle::Double ? "double" : "apostrophe"},
          {"protect_formulas", report.protectFormulas},
          {"skip_empty_rows", report.skipEmptyRows},
          {"stars_removed", report.deleteStars},
          {"half_width", report.toHalfWidth}};
}

json ToJson(const ConversionReport& report) {
  json items = json::array();
  for (const ItemCount& item : report.items) items.push_back({{"code", Utf16ToUtf8(item.code)}, {"rows", item.rows}});
  json answers = json::array();
  for (const AnswerSetReport& set : report.answers) {
    answers.push_back({{"set", Utf16ToUtf8(set.set)},
                       {"announced", set.announced > 0 ? json(set.announced) : json(nullptr)},
                       {"found", set.found},
                       {"missing", Ranges(set.missing)},
                       {"repeated", set.repeated},
                       {"expected", Ranges(set.expected)},
                       {"missing_at", set.missingAt},
                       {"repeated_at", set.repeatedAt},
                       {"first_line", set.firstLine},
                       {"repeated_left_out", set.repeatedLeftOut}});
  }
  json warnings = json::array();
  for (const ReportWarning& w : report.warnings) {
    warnings.push_back({{"line", w.line}, {"kind", WarningKindName(w.kind)}, {"message", WarningMessage(w)}});
  }
  return {{"log", report.log},
          {"service", DatabaseCaption(report.service)},
          {"encoding", EncodingName(report.format.encoding)},
          {"line_end", report.format.lineEnd == LineEnd::Lf ? "LF" : "CR"},
          {"lf_cr_repaired", report.lfCrRepaired},
          {"lines", report.lines},
          {"bytes", report.bytes},
          {"records", report.records},
          {"rows", report.rows},
          {"empty_rows", report.emptyRowLines},
          {"empty_row_count", report.emptyRows},
          {"items", items},
          {"answers", answers},
          {"warnings", warnings},
          {"warnings_left_out", report.warningsLeftOut},
          {"formulas_protected", report.formulasProtected},
          {"records_cut_short", report.cutShort},
          {"output", Output(report)}};
}

// Names that are not valid UTF-8 (a file name may be any bytes) are written
// with U+FFFD rather than refused.
}  // namespace

std::string ReportJson(const ConversionReport& report) {
  return ToJson(report).dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string ReportsJson(const std::vector<std::variant<ConversionReport, FailedLog>>& entries) {
  json list = json::array();
  for (const auto& entry : entries) {
    if (const auto* report = std::get_if<ConversionReport>(&entry)) {
      list.push_back(ToJson(*report));
      continue;
    }
    const FailedLog& failed = std::get<FailedLog>(entry);
    list.push_back({{"log", failed.log},
                    {"failed", true},
                    {"error_kind", failed.kind},
                    {"error", failed.message},
                    {"exit_code", failed.exitCode}});
  }
  return list.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace trovlin::cli

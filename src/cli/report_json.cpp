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
                       {"first_line", set.firstLine}});
  }
  json warnings = json::array();
  for (const ReportWarning& w : report.warnings) {
    warnings.push_back({{"line", w.line}, {"kind", WarningKindName(w.kind)}, {"message", WarningMessage(w)}});
  }
  return {{"log", report.log},
          {"service", DatabaseCaption(report.service)},
          {"encoding", EncodingName(report.format.encoding)},
          {"line_end", report.format.lineEnd == LineEnd::Lf ? "LF" : "CR"},
          {"lf_cr_repaired", report.format.repairLfCr},
          {"lines", report.lines},
          {"bytes", report.bytes},
          {"records", report.records},
          {"rows", report.rows},
          {"empty_rows", report.emptyRowLines},
          {"empty_row_count", report.emptyRows},
          {"items", items},
          {"answers", answers},
          {"warnings", warnings},
          {"warnings_left_out", report.warningsLeftOut}};
}

// Names that are not valid UTF-8 (a file name may be any bytes) are written
// with U+FFFD rather than refused.
}  // namespace

std::string ReportJson(const ConversionReport& report) {
  return ToJson(report).dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string ReportsJson(const std::vector<ConversionReport>& reports) {
  json list = json::array();
  for (const ConversionReport& report : reports) list.push_back(ToJson(report));
  return list.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

}  // namespace trovlin::cli

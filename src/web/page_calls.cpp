// The calls the page's worker makes into the core. Each takes a request as
// JSON and answers JSON (UTF-8); the bytes of an output go to the page in
// chunks while the call runs (platform/file_system_web.cpp), and progress
// goes to it through trovlin_page_progress. A call never throws: a failure
// comes back as {"error": text in Japanese}.
#include <emscripten.h>

#include <exception>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/report_json.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "input/item_preset.h"
#include "text/utf8.h"
#include "web/page_session.h"
#include "web/page_text.h"

// clang-format off
EM_JS(void, trovlin_page_progress, (double read, double total), {
  Module.pageProgress(read, total);
});
// clang-format on

namespace trovlin::web {
namespace {

using json = nlohmann::ordered_json;

constexpr std::size_t kPreviewRows = 5;

class PageObserver : public RunObserver {
 public:
  void OnProgress(std::uint64_t bytesRead, std::uint64_t bytesTotal) override {
    trovlin_page_progress(static_cast<double>(bytesRead), static_cast<double>(bytesTotal));
  }
};

template <typename Enum, std::size_t N>
Enum Named(const json& request, const char* key, const char* const (&names)[N], Enum fallback) {
  if (!request.contains(key) || !request[key].is_string()) return fallback;
  const std::string value = request[key].get<std::string>();
  for (std::size_t i = 0; i < N; ++i) {
    if (value == names[i]) return static_cast<Enum>(i);
  }
  return fallback;
}

bool Flag(const json& request, const char* key, bool fallback) {
  return request.contains(key) && request[key].is_boolean() ? request[key].get<bool>() : fallback;
}

std::vector<DiscoveredItem> ItemsOf(const json& list) {
  std::vector<DiscoveredItem> items;
  for (const json& item : list) {
    items.push_back({Utf8ToUtf16(item.value("code", "")), Utf8ToUtf16(item.value("mark", ""))});
  }
  return items;
}

json ItemsJson(const std::vector<DiscoveredItem>& items) {
  json list = json::array();
  for (const DiscoveredItem& item : items) {
    list.push_back({{"code", Utf16ToUtf8(item.code)}, {"mark", Utf16ToUtf8(item.mark)}});
  }
  return list;
}

PageRequest RequestOf(const json& j) {
  static const char* const kEncodings[] = {"cp932", "utf-8", "utf-16"};
  static const char* const kCsvEncodings[] = {"cp932", "utf-8", "utf-8-bom"};
  static const char* const kQuotes[] = {"apostrophe", "double"};
  static const char* const kFormats[] = {"csv", "xlsx"};
  static const char* const kStarts[] = {"first-block", "first-answer"};
  PageRequest request;
  request.log = j.value("log", "");
  request.name = j.value("name", request.log);
  // "utf-16" is sniffed for its byte order, as the command line does.
  const std::string encoding = j.value("encoding", "auto");
  for (std::size_t i = 0; i < 3; ++i) {
    if (encoding == kEncodings[i]) request.encoding = static_cast<LogEncoding>(i);
  }
  if (j.contains("db") && j["db"].is_string()) request.database = DatabaseFromCaption(j["db"].get<std::string>());
  if (j.contains("items") && j["items"].is_array()) request.items = ItemsOf(j["items"]);
  request.discover = Named(j, "discover", kStarts, DiscoveryStart::FirstBlock);
  request.removeStars = !Flag(j, "keepStars", false);
  request.toHalfWidth = !Flag(j, "keepWidth", false);
  request.skipEmptyRows = Flag(j, "skipEmptyRows", false);
  request.protectFormulas = Flag(j, "protectFormulas", false);
  request.csvEncoding = Named(j, "csvEncoding", kCsvEncodings, CsvEncoding::Cp932);
  request.quotes = Named(j, "quotes", kQuotes, QuoteStyle::Apostrophe);
  request.format = Named(j, "format", kFormats, OutputFormat::Csv);
  return request;
}

json LogJson(const PageLog& log) {
  static const char* const kEncodingNames[] = {"cp932", "utf-8", "utf-16le", "utf-16be"};
  json answer = {{"service", std::string(DatabaseCaption(log.kind))},
                 {"detected", std::string(DatabaseCaption(log.opened.kind))},
                 {"encoding", kEncodingNames[static_cast<std::size_t>(log.opened.format.encoding)]},
                 {"lineEnd", log.opened.format.lineEnd == LineEnd::Lf ? "LF" : "CR"},
                 {"outputName", log.outputName}};
  if (log.opened.kind == DatabaseKind::None) answer["refusal"] = RefusalText(log.opened);
  if (log.kind == DatabaseKind::Patolis) {
    answer["layout"] =
        log.layout ? json{{"character", Utf16ToUtf8(log.layout->layoutCharacter)}, {"code", log.layout->layoutCode}}
                   : json(nullptr);
    if (!log.layout || log.layout->layoutCode == 0) answer["layoutProblem"] = NoLayoutText(log.layout);
  } else if (log.kind != DatabaseKind::None) {
    answer["items"] = ItemsJson(log.items.items);
    answer["leftOut"] = log.items.leftOut;
    answer["holdsAnswer"] = log.items.holdsAnswer;
    answer["firstLine"] = log.items.firstLine;
  }
  return answer;
}

json WarningsJson(const ConversionReport& report) {
  json list = json::array();
  for (const ReportWarning& w : report.warnings) list.push_back({{"line", w.line}, {"text", WarningText(w)}});
  return list;
}

json Convert(const json& j, RunMode mode) {
  PageObserver observer;
  const PageOutcome outcome = ConvertForPage(RequestOf(j), &observer, mode);
  json answer = {{"log", LogJson(outcome.log)}};
  switch (outcome.status) {
    case PageOutcome::Status::NotALog:
      answer["error"] = RefusalText(outcome.log.opened);
      answer["notALog"] = true;
      return answer;
    case PageOutcome::Status::SameFile:
      answer["error"] = SameFileText();
      return answer;
    case PageOutcome::Status::NoItems:
      answer["error"] = "noItems";
      return answer;
    case PageOutcome::Status::NoLayout:
      answer["error"] = NothingWrittenText(outcome.log.layout);
      return answer;
    case PageOutcome::Status::Converted:
      break;
  }
  answer["rows"] = outcome.rows;
  answer["columns"] = outcome.columns;
  answer["layoutCode"] = outcome.layoutCode;
  answer["reportJson"] = cli::ReportJson(outcome.report);
  answer["warnings"] = WarningsJson(outcome.report);
  return answer;
}

json Call(const json& j) {
  const std::string op = j.value("op", "");
  if (op == "open") return LogJson(OpenForPage(RequestOf(j)));
  if (op == "preview") {
    PageRequest request = RequestOf(j);
    // The page shows the preview as text, so it asks for UTF-8 whatever the CSV will be.
    request.csvEncoding = CsvEncoding::Utf8;
    return {{"csv", PreviewForPage(request, kPreviewRows)}};
  }
  if (op == "convert") return Convert(j, RunMode::Convert);
  if (op == "inspect") return Convert(j, RunMode::Inspect);
  if (op == "loadItems") return {{"items", ItemsJson(LoadItemPreset(j.value("path", "")))}};
  if (op == "saveItems") {
    SaveItemPreset(j.value("path", "items.txt"), ItemsOf(j.value("items", json::array())));
    return json::object();
  }
  return {{"error", "unknown call " + op}};
}

}  // namespace
}  // namespace trovlin::web

extern "C" EMSCRIPTEN_KEEPALIVE const char* trovlin_call(const char* request) {
  static std::string answer;
  using trovlin::web::json;
  json result;
  try {
    result = trovlin::web::Call(json::parse(request));
  } catch (const trovlin::IoError& e) {
    result = {{"error", trovlin::web::FailureReason(e)}, {"path", e.path()}};
  } catch (const std::exception& e) {
    result = {{"error", std::string("予期しないエラーが起きました（") + e.what() + "）"}};
  }
  answer = result.dump(-1, ' ', false, json::error_handler_t::replace);
  return answer.c_str();
}

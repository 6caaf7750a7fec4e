#include "patolis_fixture.h"

#include <filesystem>
#include <ranges>

#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin::testing {
namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  for (const auto part : std::views::split(text, separator)) parts.emplace_back(part.begin(), part.end());
  return parts;
}

}  // namespace

std::string AnswerHeaderLine(const std::string& layout) {
  return "＊＊検索回答＊＊  様式 :  " + layout + "   回答件数   2件";
}

std::string PatolisLog(const Lines& lines) {
  std::string out;
  for (const std::string& line : lines) out += Sjis(Utf8ToUtf16(line)) + "\r\n";
  return out;
}

Lines Join(const std::vector<Lines>& parts) {
  Lines lines;
  for (const Lines& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

std::string Columns(const std::vector<std::pair<int, std::string>>& pieces) {
  std::u16string line;
  for (const auto& [column, text] : pieces) line.append(column - 1 - line.size(), u' ').append(Utf8ToUtf16(text));
  return Utf16ToUtf8(line);
}

Filled From(std::size_t first, const std::string& texts) {
  Filled cells;
  for (const std::string& text : Split(texts, "|")) cells.emplace_back(first++, text);
  return cells;
}

Row Cells(std::size_t width, std::initializer_list<Filled> layers, std::size_t last) {
  Row row(width);
  for (const Filled& layer : layers) {
    for (const auto& [index, text] : layer) row.at(index) = text;
  }
  for (std::size_t i = last + 1; i < width; ++i) row[i].clear();
  return row;
}

// The converted values hold no quote, CR or LF, so rows split plainly.
std::vector<Row> ConvertLines(const Lines& lines) {
  TempDir dir;
  const ConversionSettings settings = LogSettings(dir, PatolisLog(lines));
  ConvertPatolis(settings);
  if (!std::filesystem::exists(settings.outputPath)) return {};
  std::u16string csv;
  DecodeCp932(ReadBytes(settings.outputPath), csv);
  std::vector<Row> rows;
  for (const std::string& line : Split(Utf16ToUtf8(csv), "\r\n")) {
    if (!line.empty()) rows.push_back(Split(line.substr(1, line.size() - 2), "\",\""));
  }
  return rows;
}

// Trimmed, the start line has 願 at 8 and "[" at 21 and its groups at 33-36
// and 38-53; line 2 has "[" at 4 and "]" at 15; line 3 has "[" at 14 and 38;
// line 4 has "(" at 5, 審査請求日 at 9 and the next "[" at 31.
Lines NumberedLines() {
  return {"  *** 特許出願２００３－１２３４５６ [Ｈ１５．０４．２５] (通常) (PCT/JP03/05678)",
          "    基準日[H15.04.25 ](出願日) 請求項の数(5) 審査(請求)",
          "    特開2004-300001[H16.10.28] 公告H07-012345[H07.02.15] 登録3456789 H17.05.20",
          "    早期審査(有) 審査請求日[H15.05.01] 公報発行日[Ｈ１６．１０．２８]"};
}

Filled NumberedCells() {
  return From(0,
              "2003-123456|H15.04.25|通常|PCT/JP03/05678|H15.04.25|出願日|5|請求|特開2004-300001|H16.10.28|H07-012345|"
              "H07.02.15|3456789|H17.05.20|有|H15.05.01|H16.10.28");
}

Row LayoutBTitles(const std::string& abstract) {
  return {"出願番号",   "出願日",     "出願種別",   "国際出願番号", "基準日",         "基準日種", "請求項数",
          "審査種別",   "公開番号",   "公開日",     "公告番号",     "公告公報発行日", "登録番号", "登録日",
          "早期審査",   "審査請求日", "公報発行日", "名称",         abstract,         "出願人",   "発明者",
          "パリ優先権", "優先権番号", "優先日",     "国内優先権",   "国内優先日",     "関連種別", "原出願番号",
          "遡及日",     "IPC",        "FI",         "Fﾀｰﾑ",         "ﾌﾘｰｷｰﾜｰﾄﾞ",      "広域分類", "固定ｷｰﾜｰﾄﾞ"};
}

}  // namespace trovlin::testing

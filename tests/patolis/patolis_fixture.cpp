#include "patolis_fixture.h"

#include <filesystem>

#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin::testing {

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

Row Cells(std::size_t width, std::initializer_list<Filled> layers, std::size_t last) {
  Row row(width);
  for (const Filled& layer : layers) {
    for (const auto& [index, text] : layer) row.at(index) = text;
  }
  for (std::size_t i = last + 1; i < width; ++i) row[i].clear();
  return row;
}

ConversionSettings Settings(const std::string& inputPath, const std::string& outputPath) {
  ConversionSettings settings;
  settings.inputPath = inputPath;
  settings.outputPath = outputPath;
  return settings;
}

// The converted values hold no quote, CR or LF, so rows split plainly.
PatolisResult ConvertPatolisLog(const std::string& logBytes) {
  TempDir dir;
  const ConversionSettings settings = Settings(dir.Write("a.log", logBytes), dir.File("a.csv"));
  PatolisResult result;
  result.outcome = ConvertPatolis(settings);
  result.written = std::filesystem::exists(settings.outputPath);
  if (!result.written) return result;
  result.bytes = ReadBytes(settings.outputPath);
  for (std::size_t start = 0, end; (end = result.bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = result.bytes.substr(start + 1, end - start - 2);  // without the outer quotes
    Row& row = result.rows.emplace_back();
    for (std::size_t from = 0, to;; from = to + 3) {
      to = std::min(line.find("\",\"", from), line.size());
      std::u16string cell;
      DecodeCp932(std::string_view(line).substr(from, to - from), cell);
      row.push_back(Utf16ToUtf8(cell));
      if (to == line.size()) break;
    }
  }
  return result;
}

std::vector<Row> ConvertLines(const Lines& lines) { return ConvertPatolisLog(PatolisLog(lines)).rows; }

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
  return {{0, "2003-123456"}, {1, "H15.04.25"},  {2, "通常"},     {3, "PCT/JP03/05678"},  {4, "H15.04.25"},
          {5, "出願日"},      {6, "5"},          {7, "請求"},     {8, "特開2004-300001"}, {9, "H16.10.28"},
          {10, "H07-012345"}, {11, "H07.02.15"}, {12, "3456789"}, {13, "H17.05.20"},      {14, "有"},
          {15, "H15.05.01"},  {16, "H16.10.28"}};
}

Row LayoutBTitles(const std::string& abstract) {
  return {"出願番号",   "出願日",     "出願種別",   "国際出願番号", "基準日",         "基準日種", "請求項数",
          "審査種別",   "公開番号",   "公開日",     "公告番号",     "公告公報発行日", "登録番号", "登録日",
          "早期審査",   "審査請求日", "公報発行日", "名称",         abstract,         "出願人",   "発明者",
          "パリ優先権", "優先権番号", "優先日",     "国内優先権",   "国内優先日",     "関連種別", "原出願番号",
          "遡及日",     "IPC",        "FI",         "Fﾀｰﾑ",         "ﾌﾘｰｷｰﾜｰﾄﾞ",      "広域分類", "固定ｷｰﾜｰﾄﾞ"};
}

}  // namespace trovlin::testing

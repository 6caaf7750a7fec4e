#include "input/detect.h"

#include <algorithm>

#include "logread/log_reader.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::size_t kShortLine = 4;

bool StartsWith(std::u16string_view s, std::u16string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool Contains(std::u16string_view s, std::u16string_view part) { return s.find(part) != std::u16string_view::npos; }

void UpperAscii(std::u16string& s) {
  for (char16_t& c : s) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
}

bool IsStnLine(std::u16string_view s) {
  return (StartsWith(s, u"L") && s.size() >= 11 && s.substr(5, 6) == u"ANSWER") || StartsWith(s, u"=> ");
}

}  // namespace

Detection DetectLog(const std::string& path, const LogFormat& format) {
  LogFormat unrepaired = format;
  unrepaired.repairLfCr = false;
  LogReader log(path, {.format = unrepaired});
  Detection found;
  DatabaseKind& kind = found.kind;
  std::u16string line;
  std::u16string s;
  log.ReadLogLine(line);
  while (!log.AtEnd() && line.size() > kShortLine && kind <= DatabaseKind::Stn) {
    ++found.linesExamined;
    s.assign(TrimLeadingSpaces(line));
    UpperAscii(s);
    if (IsStnLine(s)) {
      kind = DatabaseKind::Stn;
    } else if (Contains(s, u"FN-") || Contains(s, u"DIALOG")) {
      kind = DatabaseKind::Dialog;
    } else if (Contains(s, u"JST") || Contains(s, u"JICST")) {
      kind = DatabaseKind::Jois;
    } else if (StartsWith(s, u"＊＊検索回答")) {
      kind = DatabaseKind::Patolis;
    }
    if (kind > DatabaseKind::Stn) break;
    log.ReadLogLine(line);
  }
  if (kind == DatabaseKind::None && !log.AtEnd() && line.size() <= kShortLine) found.shortLine = log.LineNumber();
  return found;
}

}  // namespace trovlin

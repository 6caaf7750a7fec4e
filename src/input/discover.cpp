#include "input/discover.h"

#include <algorithm>
#include <array>

#include "input/answer_marks.h"
#include "logread/log_reader.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::size_t kCodeWidth = 4;

bool Listed(const std::vector<std::u16string>& codes, std::u16string_view code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

bool Blank(std::u16string_view line) { return TrimSpaces(line).empty(); }

// Takes the codes of the first answer's lines, one line at a time.
class CodeList {
 public:
  CodeList(DatabaseKind kind, Discovery& found) : kind_(kind), found_(found) {}

  // False when the line ends the scan.
  bool Take(std::u16string_view line, std::uint64_t lineNumber) {
    const std::u16string_view code = TrimSpaces(line.substr(0, kCodeWidth));
    if (!code.empty() && code.front() == u'(') return false;
    if (found_.firstLine == 0) found_.firstLine = lineNumber;
    if (OpensAnswer(kind_, line)) found_.holdsAnswer = true;
    const bool known = std::any_of(found_.items.begin(), found_.items.end(),
                                   [&](const DiscoveredItem& item) { return item.code == code; });
    if (code.empty() || known) return true;
    if (found_.items.size() < kMaxTaggedItems) {
      found_.items.push_back({std::u16string(code), DefaultJoinMark(code)});
    } else if (!Listed(extra_, code)) {
      if (extra_.empty()) found_.leftOutLine = lineNumber;
      extra_.emplace_back(code);
      found_.leftOut = extra_.size();
    }
    return true;
  }

 private:
  DatabaseKind kind_;
  Discovery& found_;
  std::vector<std::u16string> extra_;  // distinct codes past the limit, to count them once
};

void ReadFirstBlock(LogReader& log, CodeList& codes) {
  std::u16string line;
  do {
    log.ReadLogLine(line);
  } while (Blank(line) && !log.AtEnd());
  while (!Blank(line) && codes.Take(line, log.LineNumber())) log.ReadLogLine(line);
}

void ReadFirstAnswer(LogReader& log, DatabaseKind kind, CodeList& codes) {
  std::u16string line;
  std::u16string before;  // the line before, for a DIALOG record number
  for (;;) {
    if (log.AtEnd()) return;
    before.swap(line);
    log.ReadLogLine(line);
    if (OpensAnswer(kind, line)) break;
  }
  const std::uint64_t opening = log.LineNumber();
  if (kind == DatabaseKind::Dialog && opening > 1 && DialogRecordNumber(before) && !codes.Take(before, opening - 1)) {
    return;
  }
  if (!codes.Take(line, opening)) return;
  while (!log.AtEnd()) {
    log.ReadLogLine(line);
    if (Blank(line)) continue;
    if (OpensAnswer(kind, line) || IsCommandLine(line) || (kind == DatabaseKind::Dialog && DialogRecordNumber(line))) {
      return;
    }
    if (!codes.Take(line, log.LineNumber())) return;
  }
}

}  // namespace

std::u16string DefaultJoinMark(std::u16string_view code) {
  static constexpr std::array<std::u16string_view, 4> kUnmarked = {u"PI", u"RE", u"IT", u"PRAI"};
  return std::find(kUnmarked.begin(), kUnmarked.end(), code) != kUnmarked.end() ? u"" : u"*";
}

Discovery DiscoverItems(const std::string& path, const LogFormat& format, DatabaseKind kind, DiscoveryStart start) {
  LogReader log(path, {.format = format});
  Discovery found;
  CodeList codes(kind, found);
  if (start == DiscoveryStart::FirstAnswer) {
    ReadFirstAnswer(log, kind, codes);
  } else {
    ReadFirstBlock(log, codes);
  }
  return found;
}

}  // namespace trovlin

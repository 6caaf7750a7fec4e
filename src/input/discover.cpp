#include "input/discover.h"

#include <algorithm>
#include <array>

#include "common/conversion_state.h"
#include "logread/log_reader.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::size_t kCodeWidth = 4;

bool Listed(const std::vector<std::u16string>& codes, std::u16string_view code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

std::u16string DefaultJoinMark(std::u16string_view code) {
  static constexpr std::array<std::u16string_view, 4> kUnmarked = {u"PI", u"RE", u"IT", u"PRAI"};
  return std::find(kUnmarked.begin(), kUnmarked.end(), code) != kUnmarked.end() ? u"" : u"*";
}

Discovery DiscoverItems(const std::string& path, const LogFormat& format) {
  LogReader log(path, {.format = format});
  std::u16string line;
  do {
    log.ReadLogLine(line);
  } while (TrimSpaces(line).empty() && !log.AtEnd());

  Discovery found;
  std::vector<std::u16string> extra;  // distinct codes past the limit, to count them once
  while (!TrimSpaces(line).empty()) {
    const std::u16string_view code = TrimSpaces(std::u16string_view(line).substr(0, kCodeWidth));
    if (!code.empty() && code.front() == u'(') break;
    const bool known = std::any_of(found.items.begin(), found.items.end(),
                                   [&](const DiscoveredItem& item) { return item.code == code; });
    if (!code.empty() && !known) {
      if (found.items.size() < kMaxTaggedItems) {
        found.items.push_back({std::u16string(code), DefaultJoinMark(code)});
      } else if (!Listed(extra, code)) {
        extra.emplace_back(code);
      }
    }
    log.ReadLogLine(line);
  }
  found.leftOut = extra.size();
  return found;
}

}  // namespace trovlin

// Item discovery: the item codes of a tagged log's first answer.
//
// Leading blank lines are passed over; the first block of non-blank lines is
// the first answer. Each line gives its first four characters, trimmed of
// spaces, as a code; empty codes and repeats add nothing, and a code that
// begins with "(" ends the scan. Codes are listed in order of first
// occurrence, at most kMaxTaggedItems of them; the join mark is empty for PI,
// RE, IT and PRAI and "*" for every other code. Throws IoError.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/conversion_state.h"

namespace trovlin {

struct DiscoveredItem {
  std::u16string code;
  std::u16string mark;  // "*" or ""
};

struct Discovery {
  std::vector<DiscoveredItem> items;
  std::size_t leftOut = 0;  // further distinct codes past the limit
};

// The default join mark of an item code.
std::u16string DefaultJoinMark(std::u16string_view code);

Discovery DiscoverItems(const std::string& path, const LogFormat& format = {});

}  // namespace trovlin

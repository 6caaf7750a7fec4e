// Item discovery: the item codes of a tagged log's first answer.
//
// By default the first answer is the log's first block: leading blank lines
// are passed over, and the first block of non-blank lines is read. With
// DiscoveryStart::FirstAnswer the reading starts at the first line that
// opens an answer record (see OpensAnswer; a DIALOG record number line right
// before a first field line opens it there) and runs, blank lines passed
// over, up to the next such line, a command line or the end of the log.
// Each line gives its first four characters, trimmed of spaces, as a code;
// empty codes and repeats add nothing, and a code that begins with "(" ends
// the scan. Codes are listed in order of first occurrence, at most
// kMaxTaggedItems of them; the join mark is empty for PI, RE, IT and PRAI and
// "*" for every other code. Throws IoError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/conversion_settings.h"

namespace trovlin {

enum class DiscoveryStart { FirstBlock, FirstAnswer };

struct DiscoveredItem {
  std::u16string code;
  std::u16string mark;  // "*" or ""
};

struct Discovery {
  std::vector<DiscoveredItem> items;
  std::size_t leftOut = 0;        // further distinct codes past the limit
  std::uint64_t leftOutLine = 0;  // the line of the first of them
  std::uint64_t firstLine = 0;    // the first line read as the first answer; 0: none
  bool holdsAnswer = false;       // a line read opens an answer record of the log's service
};

// The default join mark of an item code.
std::u16string DefaultJoinMark(std::u16string_view code);

Discovery DiscoverItems(const std::string& path, const LogFormat& format = {}, DatabaseKind kind = DatabaseKind::None,
                        DiscoveryStart start = DiscoveryStart::FirstBlock);

}  // namespace trovlin

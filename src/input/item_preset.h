// Item presets: an item list (codes, order, join marks) kept in a small text
// file, to be reused on later logs.
//
// The file is UTF-8 with LF line ends: the line "trovlin-items 1", then one
// line per item, the code exactly as it stands, a TAB, and the join mark ("*"
// or nothing). Saving goes through a temporary file, so an interrupted save
// never leaves a damaged preset. Loading also takes CR LF line ends and a
// UTF-8 byte-order mark, and rejects anything else with an IoError naming
// the file and the line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"
#include "input/discover.h"

namespace trovlin {

void SaveItemPreset(const std::string& path, const std::vector<DiscoveredItem>& items);
std::vector<DiscoveredItem> LoadItemPreset(const std::string& path);

// Throws IoError unless a conversion can take the list: at least one item,
// at most kMaxTaggedItems.
void CheckPresetConvertible(const std::string& path, const std::vector<DiscoveredItem>& items);

// The preset's codes that the log's first answer does not show, in preset order.
std::vector<std::u16string> CodesMissingFrom(const std::vector<DiscoveredItem>& preset, const Discovery& found);

}  // namespace trovlin

#include "input/item_preset.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/conversion_settings.h"
#include "common/errors.h"
#include "platform/file_system.h"
#include "platform/output_file.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

[[noreturn]] void Reject(const std::string& path, std::size_t line, IoReason why) {
  throw IoError(path, IoOperation::LoadItemList, why, line);
}

}  // namespace

void SaveItemPreset(const std::string& path, const std::vector<DiscoveredItem>& items) {
  std::string text(kPresetSignature);
  text += '\n';
  for (const DiscoveredItem& item : items) {
    text += Utf16ToUtf8(item.code) + '\t' + Utf16ToUtf8(item.mark) + '\n';
  }
  OutputFile file(path, IoOperation::SaveItemList);
  file.Write(text);
  file.Commit();
}

std::vector<DiscoveredItem> LoadItemPreset(const std::string& path) {
  std::ifstream in(platform::PathOf(path), std::ios::binary);
  if (!in) throw IoError(path, IoOperation::LoadItemList, IoReason::System, errno);
  std::string line;
  // A preset edited on Windows may have CR LF line ends.
  auto next = [&] {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  };
  // ... and a byte-order mark, from an editor that saves UTF-8 with one.
  if (next() && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
  if (in.fail() || line != kPresetSignature) {
    Reject(path, 1, IoReason::NotAnItemList);
  }
  std::vector<DiscoveredItem> items;
  for (std::size_t number = 2; next(); ++number) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) Reject(path, number, IoReason::NoTab);
    const std::string code = line.substr(0, tab);
    const std::string mark = line.substr(tab + 1);
    if (code.empty()) Reject(path, number, IoReason::EmptyCode);
    if (mark != "" && mark != "*") Reject(path, number, IoReason::BadJoinMark);
    items.push_back({Utf8ToUtf16(code), Utf8ToUtf16(mark)});
  }
  if (in.bad()) throw IoError(path, IoOperation::LoadItemList, IoReason::System, errno);
  return items;
}

void CheckPresetConvertible(const std::string& path, const std::vector<DiscoveredItem>& items) {
  if (items.empty()) throw IoError(path, IoOperation::UseItemList, IoReason::NoItem);
  if (items.size() > kMaxTaggedItems) {
    throw IoError(path, IoOperation::UseItemList, IoReason::TooManyItems, items.size(), kMaxTaggedItems);
  }
}

std::vector<std::u16string> CodesMissingFrom(const std::vector<DiscoveredItem>& preset, const Discovery& found) {
  std::vector<std::u16string> missing;
  for (const DiscoveredItem& item : preset) {
    const bool shown = std::any_of(found.items.begin(), found.items.end(),
                                   [&](const DiscoveredItem& d) { return d.code == item.code; });
    if (!shown) missing.push_back(item.code);
  }
  return missing;
}

}  // namespace trovlin

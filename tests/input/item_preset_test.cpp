#include "input/item_preset.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

using Items = std::vector<std::pair<std::u16string, std::u16string>>;  // code, mark

Items Pairs(const std::vector<DiscoveredItem>& items) {
  Items out;
  for (const DiscoveredItem& item : items) out.emplace_back(item.code, item.mark);
  return out;
}

TEST(ItemPreset, SavesAndLoadsCodesOrderAndMarks) {
  TempDir dir;
  const std::vector<DiscoveredItem> items = {{u"TI", u"*"}, {u"PI", u""}, {u" AB", u"*"}, {u"著者", u""}};
  const std::string path = dir.File("items.txt");
  SaveItemPreset(path, items);
  EXPECT_EQ(ReadBytes(path), "trovlin-items 1\nTI\t*\nPI\t\n AB\t*\n著者\t\n");
  EXPECT_EQ(Pairs(LoadItemPreset(path)), Pairs(items));
  EXPECT_EQ(Pairs(LoadItemPreset(dir.Write("crlf.txt", "trovlin-items 1\r\nAN\t*\r\n"))), (Items{{u"AN", u"*"}}));
  EXPECT_NO_THROW(CheckPresetConvertible("l", std::vector<DiscoveredItem>(51, items[0])));
  Discovery found;
  found.items = {{u"AN", u"*"}, {u"TI", u"*"}};
  EXPECT_EQ(CodesMissingFrom(items, found), (std::vector<std::u16string>{u"PI", u" AB", u"著者"}));
}

TEST(ItemPreset, FailuresNameTheListAndTheReason) {
  TempDir dir;
  const std::string missing = dir.File("missing/items.txt"), bad = dir.File("bad.txt");
  const auto load = [&](const char* text) { return [&dir, text] { LoadItemPreset(dir.Write("bad.txt", text)); }; };
  const std::string notALoad = "cannot load the item list '" + bad + "': line ";
  const std::vector<DiscoveredItem> tooMany(52, {u"TI", u"*"});
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { SaveItemPreset(missing, {}); }, "cannot save the item list '" + missing + "': No such file or directory"},
      {load("trovlin-items 1\nAN\n"), notALoad + "2: expected CODE, TAB, MARK"},
      {load("trovlin-items 1\nAN\t*\n\t*\n"), notALoad + "3: the code is empty"},
      {load("trovlin-items 1\nAN\tx\n"), notALoad + "2: the join mark must be \"*\" or nothing"},
      {[&] { CheckPresetConvertible("l", tooMany); },
       "cannot use the item list 'l': it holds 52 items; at most 51 can be converted"},
      {[] { CheckPresetConvertible("l", {}); }, "cannot use the item list 'l': it holds no item"},
  };
  for (const auto& [action, message] : cases) {
    try {
      action();
      ADD_FAILURE() << "no error: " << message;
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
}

}  // namespace
}  // namespace trovlin::testing

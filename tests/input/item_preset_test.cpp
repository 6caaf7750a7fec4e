#include "input/item_preset.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::TempDir;

TEST(ItemPreset, SavesAndLoadsCodesOrderAndMarks) {
  TempDir dir;
  const std::vector<DiscoveredItem> items = {{u"TI", u"*"}, {u"PI", u""}, {u" AB", u"*"}, {u"著者", u""}};
  const std::string path = dir.File("items.txt");
  SaveItemPreset(path, items);
  EXPECT_EQ(ReadBytes(path), "trovlin-items 1\nTI\t*\nPI\t\n AB\t*\n著者\t\n");
  const auto loaded = LoadItemPreset(path);
  ASSERT_EQ(loaded.size(), items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(loaded[i].code, items[i].code);
    EXPECT_EQ(loaded[i].mark, items[i].mark);
  }
}

TEST(ItemPreset, SaveFailuresNameTheList) {
  TempDir dir;
  const std::string path = dir.File("missing/items.txt");
  try {
    SaveItemPreset(path, {{u"TI", u"*"}});
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot save the item list '" + path + "': No such file or directory");
  }
}

TEST(ItemPreset, ConvertibleListsHoldOneTo51Items) {
  const std::vector<DiscoveredItem> one = {{u"TI", u"*"}};
  EXPECT_NO_THROW(CheckPresetConvertible("l", one));
  EXPECT_NO_THROW(CheckPresetConvertible("l", std::vector<DiscoveredItem>(51, one[0])));
  try {
    CheckPresetConvertible("l", std::vector<DiscoveredItem>(52, one[0]));
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot use the item list 'l': it holds 52 items; at most 51 can be converted");
  }
  EXPECT_THROW(CheckPresetConvertible("l", {}), IoError);
}

TEST(ItemPreset, AcceptsCrLfLineEnds) {
  TempDir dir;
  const auto loaded = LoadItemPreset(dir.Write("items.txt", "trovlin-items 1\r\nAN\t*\r\n"));
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].code, u"AN");
  EXPECT_EQ(loaded[0].mark, u"*");
}

TEST(ItemPreset, RejectsWhatIsNotAPreset) {
  const std::pair<const char*, const char*> cases[] = {
      {"AN\t*\n", "line 1: not a Trovlin item list (it must begin with \"trovlin-items 1\")"},
      {"trovlin-items 1\nAN\n", "line 2: expected CODE, TAB, MARK"},
      {"trovlin-items 1\nAN\t*\n\t*\n", "line 3: the code is empty"},
      {"trovlin-items 1\nAN\tx\n", "line 2: the join mark must be \"*\" or nothing"},
  };
  TempDir dir;
  for (const auto& [text, reason] : cases) {
    const std::string path = dir.Write("bad.txt", text);
    try {
      LoadItemPreset(path);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const IoError& e) {
      EXPECT_EQ(std::string(e.what()), "cannot load the item list '" + path + "': " + reason);
    }
  }
}

TEST(ItemPreset, NamesTheCodesTheLogDoesNotShow) {
  Discovery found;
  found.items = {{u"AN", u"*"}, {u"TI", u"*"}};
  const std::vector<DiscoveredItem> preset = {{u"TI", u"*"}, {u"PY", u""}, {u"AN", u"*"}, {u"KW", u"*"}};
  EXPECT_EQ(CodesMissingFrom(preset, found), (std::vector<std::u16string>{u"PY", u"KW"}));
}

}  // namespace
}  // namespace trovlin

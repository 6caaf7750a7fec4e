// Item lists kept in files: saving the grid's list from the edit menu and
// loading one into the grid of another log.
#include <filesystem>
#include <optional>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;
using trovlin::testing::ReadBytes;

using ItemListTest = WindowTest;

TEST_F(ItemListTest, TheGridsListIsSavedAndLoadedIntoAnotherLogKeepingCodesItLacks) {
  Drop(Write("stn.log", StnLog()));  // L1 *, AN *, TI *, PI
  window().ClickGridCell(1, 1);
  window().DeleteRow();        // AN, TI, PI
  window().ClickGridCell(2, 2);  // TI's join mark off
  const std::string list = dir.File("items.txt");
  prompts.Choose(list);
  w().saveListEntry->trigger();
  EXPECT_EQ(ReadBytes(list), "trovlin-items 1\nAN\t*\nTI\t\nPI\t\n");

  Drop(Write("dialog.log", DialogLog()));  // AN *, TI *
  prompts.Choose(list).Reply(Answer::Ok);
  w().loadListEntry->trigger();
  EXPECT_EQ(Rows(window().grid()), (Strings{u"1|AN|*", u"2|TI|", u"3|PI|", u"||"}));
  EXPECT_EQ(window().grid().ItemRowCount(), 3);
  EXPECT_EQ(prompts.Messages(),
            (std::vector<Message>{{u"Trovlin", u"このログの最初の回答にない項目があります: PI\rこれらの項目は表に残し、CSVの列は空になります。",
                                   Icon::Warning, Buttons::Ok}}));

  const auto dialogs = prompts.Dialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].kind, FileDialogRequest::Kind::Save);
  EXPECT_EQ(dialogs[0].title, u"項目リストを保存");
  EXPECT_EQ(dialogs[0].flags, CommonDialog::kOverwritePrompt | CommonDialog::kHideReadOnly);
  EXPECT_EQ(dialogs[0].fileName, "");
  EXPECT_EQ(dialogs[1].kind, FileDialogRequest::Kind::Open);
  EXPECT_EQ(dialogs[1].title, u"項目リストを開く");
  EXPECT_EQ(dialogs[1].flags, CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly);
  EXPECT_EQ(dialogs[1].fileName, list);  // the list last used
  for (const FileDialogRequest& d : dialogs) {
    EXPECT_EQ(d.filter, u"Item List (*.txt)|*.txt|All Files (*.*)|*.*|");
    EXPECT_EQ(d.filterIndex, 1);
    EXPECT_EQ(d.defaultExt, u"txt");
  }

  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")),
            CrLfLines({"\"AN\",\"TI\",\"PI\"", "\"0001 DIALOG\",\"Dialog *title*\",\"\""}));
}

TEST_F(ItemListTest, AListThatCannotBeUsedIsReportedAndTheGridStaysAsItWas) {
  std::string many = "trovlin-items 1\n";
  for (int i = 0; i < 52; ++i) many += "C" + std::to_string(i) + "\t*\n";
  struct Case {
    const char* name;
    const char* file;
    std::optional<std::string> bytes;  // nullopt: no such file
    std::string detail;                // after the path
  };
  const Case cases[] = {
      {"not an item list", "a.txt", "AN\t*\n",
       "': line 1: not a Trovlin item list (it must begin with \"trovlin-items 1\")"},
      {"no such file", "c.txt", std::nullopt, "': No such file or directory"},
      {"no item", "d.txt", "trovlin-items 1\n", "': it holds no item"},
      {"more items than a run takes", "e.txt", many, "': it holds 52 items; at most 51 can be converted"},
  };
  Drop(Write("stn.log", StnLog()));
  const Strings before = Rows(window().grid());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.Clear();
    const std::string path = c.bytes ? Write(c.file, *c.bytes) : dir.File(c.file);
    const std::string what = c.detail.starts_with("': it holds") ? "cannot use" : "cannot load";
    prompts.Choose(path).Reply(Answer::Ok);
    w().loadListEntry->trigger();
    EXPECT_EQ(prompts.Messages(), (std::vector<Message>{{u"Trovlin", u"項目リストを読み込めません\r" +
                                                                        Utf8ToUtf16(what + " the item list '" + path + c.detail),
                                                        Icon::Critical, Buttons::Ok}}));
    EXPECT_EQ(Rows(window().grid()), before);
  }
}

TEST_F(ItemListTest, AListThatCannotBeWrittenIsReported) {
  Drop(Write("stn.log", StnLog()));
  const std::string path = dir.File("missing/items.txt");
  prompts.Choose(path).Reply(Answer::Ok);
  w().saveListEntry->trigger();
  ASSERT_EQ(prompts.Messages().size(), 1u);
  const std::u16string text = prompts.Messages()[0].text;
  EXPECT_TRUE(text.starts_with(u"項目リストを保存できません\r")) << Utf16ToUtf8(text);
  EXPECT_TRUE(text.ends_with(u" '" + Utf8ToUtf16(path) + u"': No such file or directory")) << Utf16ToUtf8(text);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ItemListTest, AGridWithoutItemsIsNotSaved) {
  Drop(Write("stn.log", StnLog()));
  window().ClickGridCell(1, 1);
  w().codeEdit->clear();  // the first code emptied ends the list
  w().saveListEntry->trigger();
  EXPECT_TRUE(prompts.asked().empty());
}

}  // namespace
}  // namespace trovlin::app::testing

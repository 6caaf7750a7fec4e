#include "app/common_dialog.h"

#include <gtest/gtest.h>

#include "scripted_prompts.h"

namespace trovlin::app {
namespace {

using testing::ScriptedPrompts;

TEST(CommonDialogTest, TheTwoDialogsShareFileNameAndFilterIndex) {
  ScriptedPrompts prompts;
  prompts.Choose("/logs/a.log").Choose("/out/b.csv").Choose("/logs/c.log", 1).Choose("/out/d.csv");
  CommonDialog dialog;
  dialog.AskLogFile(prompts);
  dialog.AskOutputFile(prompts, "/logs/a.csv");
  dialog.AskLogFile(prompts);
  dialog.AskOutputFile(prompts, "/logs/c.csv");
  const auto requests = prompts.Dialogs();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[1].filterIndex, 2);  // left by the open dialog
  EXPECT_EQ(requests[2].fileName, "/out/b.csv");  // the last output chosen
  EXPECT_EQ(requests[2].filterIndex, 2);          // the open dialog sets its own
  EXPECT_EQ(requests[3].filterIndex, 1);          // the user's choice in the open dialog
  EXPECT_EQ(requests[3].fileName, "/logs/c.csv");
}

TEST(CommonDialogTest, CancelGivesAnEmptyNameAndKeepsTheLastOne) {
  ScriptedPrompts prompts;
  prompts.Choose("/logs/a.log").CancelDialog().CancelDialog();
  CommonDialog dialog;
  dialog.AskLogFile(prompts);
  EXPECT_EQ(dialog.AskLogFile(prompts), "");
  EXPECT_EQ(dialog.AskLogFile(prompts), "");
  EXPECT_EQ(prompts.Dialogs().at(2).fileName, "/logs/a.log");
}

}  // namespace
}  // namespace trovlin::app

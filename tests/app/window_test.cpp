// The window's control states, and its end.
#include <QSignalSpy>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

TEST_F(WindowTest, ControlStates) {
  // convert button, frame and options enabled; the code label, the layout
  // label, the edit box and the grid (with the preview) shown; edit menu enabled.
  using Look = std::array<bool, 7>;
  struct Case {
    const char* steps;  // S, D, P: an STN, DIALOG, PATOLIS log dropped; n: converted, No
    Look look;
    int option;  // checked, -1 none
    std::u16string_view layout;
  };
  const Look none{}, tagged{1, 1, 1, 0, 1, 1, 1}, patolis{1, 1, 0, 1, 0, 0, 0};
  // clang-format off
  const Case cases[] = {
      {"", none, -1, u"回答様式"},        {"S", tagged, 0, u"回答様式"},          {"D", tagged, 1, u"回答様式"},
      {"P", patolis, 3, u"回答様式　1"},  {"Pn", none, 3, u"回答様式　1"},         {"SP", patolis, 3, u"回答様式　1"},
      {"PD", tagged, 1, u"回答様式　1"},  {"SnD", tagged, 1, u"回答様式"},
      {"Sn", {0, 0, 0, 0, 0, 0, 1}, 0, u"回答様式"},  // the edit menu stays as loading left it
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    Reopen();
    for (const char* step = c.steps; *step != '\0'; ++step) {
      const std::string log = *step == 'S' ? StnLog() : *step == 'D' ? DialogLog() : PatolisLog();
      if (*step == 'n') {
        Convert(dir.File("a.csv"), Answer::No);
      } else {
        Drop(Write(std::string(1, *step) + ".log", log));
      }
    }
    const Look look{w().convertButton->isEnabled(),         w().databaseFrame->isEnabled(), !w().codeLabel->isHidden(),
                    !w().layoutLabel->isHidden(),           !w().codeEdit->isHidden(),      !w().itemGrid->isHidden(),
                    w().editMenu->menuAction()->isEnabled()};
    EXPECT_EQ(look, c.look);
    for (QRadioButton* option : w().databaseOptions) EXPECT_EQ(option->isEnabled(), c.look[1]);
    EXPECT_EQ(!w().previewPanel->isHidden(), c.look[5]);
    EXPECT_EQ(w().databaseGroup->checkedId(), c.option);
    EXPECT_EQ(w().layoutLabel->text(), Q(c.layout));
  }
  // The STN options keep their check marks.
  for (QAction* option : {w().removeStarsEntry, w().halfWidthEntry}) option->trigger();
  EXPECT_TRUE(w().removeStarsEntry->isChecked() && w().halfWidthEntry->isChecked());
  // The exit entry asks nothing; after it nothing runs.
  Reopen();
  QSignalSpy ended(&window(), &MainWindow::programEnded);
  w().exitEntry->trigger();
  window().OpenLog();
  window().StartConversion();
  EXPECT_EQ(ended.count(), 1);
  EXPECT_EQ(Transcript(prompts), "");
}

}  // namespace
}  // namespace trovlin::app::testing

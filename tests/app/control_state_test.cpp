#include "app/control_state.h"

#include <gtest/gtest.h>

namespace trovlin::app {
namespace {

// Every control the state covers, in one line for readable tables:
// conv, frame, Label1, Label2, Text1, grid, the four options, edit menu.
struct Expected {
  bool conv, frame, label1, label2, text1, grid, options, edit;
};

void ExpectState(const ControlState& s, const Expected& e) {
  EXPECT_EQ(s.convertEnabled, e.conv);
  EXPECT_EQ(s.databaseFrameEnabled, e.frame);
  EXPECT_EQ(s.codeLabelVisible, e.label1);
  EXPECT_EQ(s.layoutLabelVisible, e.label2);
  EXPECT_EQ(s.codeEditVisible, e.text1);
  EXPECT_EQ(s.gridVisible, e.grid);
  for (bool enabled : s.databaseOptionsEnabled) EXPECT_EQ(enabled, e.options);
  EXPECT_EQ(s.editMenuEnabled, e.edit);
}

TEST(ControlStateTest, WindowStates) {
  struct Case {
    const char* name;
    const char* steps;  // T: a tagged log loaded, P: a PATOLIS log loaded, n: No after converting
    Expected expected;
  };
  const Case cases[] = {
      {"program start", "", {false, false, false, false, false, false, false, false}},
      {"tagged log loaded", "T", {true, true, true, false, true, true, true, true}},
      {"PATOLIS log loaded", "P", {true, true, false, true, false, false, true, false}},
      {"No after converting a tagged log: edit stays as loading left it", "Tn",
       {false, false, false, false, false, false, false, true}},
      {"No after converting a PATOLIS log", "Pn", {false, false, false, false, false, false, false, false}},
      {"PATOLIS after tagged", "TP", {true, true, false, true, false, false, true, false}},
      {"tagged after PATOLIS", "PT", {true, true, true, false, true, true, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ControlState s = InitialControlState();
    for (const char* step = c.steps; *step != '\0'; ++step) {
      s.Set(*step != 'n');
      if (*step == 'T') s.ShowTaggedSide();
      if (*step == 'P') s.ShowPatolisSide();
    }
    ExpectState(s, c.expected);
  }
}

TEST(ControlStateTest, SetTrueShowsBothSidesAndLeavesTheEditMenuAlone) {
  for (bool edit : {false, true}) {
    ControlState s;
    s.editMenuEnabled = edit;
    s.Set(true);
    ExpectState(s, {true, true, true, true, true, true, true, edit});
    s.Set(false);
    ExpectState(s, {false, false, false, false, false, false, false, edit});
  }
}

TEST(ControlStateTest, TheStartStateIsWhatSetFalseLeavesWithTheEditMenuDisabled) {
  ControlState s;
  s.Set(true);
  s.Set(false);
  EXPECT_EQ(s, InitialControlState());
}

}  // namespace
}  // namespace trovlin::app

#include "app/control_state.h"

namespace trovlin::app {

void ControlState::Set(bool on) {
  convEnabled = on;
  frameEnabled = on;
  label1Visible = on;
  label2Visible = on;
  text1Visible = on;
  gridVisible = on;
  dbEnabled.fill(on);
}

void ControlState::ShowTaggedSide() {
  gridVisible = true;
  label1Visible = true;
  text1Visible = true;
  label2Visible = false;
  editMenuEnabled = true;
}

void ControlState::ShowPatolisSide() {
  gridVisible = false;
  label1Visible = false;
  text1Visible = false;
  label2Visible = true;
  editMenuEnabled = false;
}

}  // namespace trovlin::app

#include "app/control_state.h"

namespace trovlin::app {

void ControlState::Set(bool on) {
  convertEnabled = on;
  databaseFrameEnabled = on;
  codeLabelVisible = on;
  layoutLabelVisible = on;
  codeEditVisible = on;
  gridVisible = on;
  databaseOptionsEnabled.fill(on);
}

void ControlState::ShowTaggedSide() {
  gridVisible = true;
  codeLabelVisible = true;
  codeEditVisible = true;
  layoutLabelVisible = false;
  editMenuEnabled = true;
}

void ControlState::ShowPatolisSide() {
  gridVisible = false;
  codeLabelVisible = false;
  codeEditVisible = false;
  layoutLabelVisible = true;
  editMenuEnabled = false;
}

}  // namespace trovlin::app

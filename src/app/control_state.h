// Which of the window's controls are enabled and visible.
//
// The conversion controls (the convert button, the Data Base frame and its
// four options) and the grid side of the window (the item grid, its edit box
// and label, and the answer-layout label) are switched together by Set();
// loading then shows the side that the loaded service uses. Set() never
// touches the edit menu: only loading enables or disables it. The load
// button and every other menu entry are always available and not kept here.
#pragma once

#include <array>

namespace trovlin::app {

struct ControlState {
  bool convertEnabled = false;
  bool databaseFrameEnabled = false;
  bool codeLabelVisible = false;    // "項目名"
  bool layoutLabelVisible = false;  // the answer layout
  bool codeEditVisible = false;     // the grid's edit box
  bool gridVisible = false;
  std::array<bool, 4> databaseOptionsEnabled{};
  bool editMenuEnabled = false;

  // Every control of the list above except the edit menu: enabled and shown
  // when on, disabled and hidden otherwise.
  void Set(bool on);

  // After Set(true) for a tagged log: the grid side, and the edit menu.
  void ShowTaggedSide();
  // After Set(true) for a PATOLIS log: the answer-layout label only, and no
  // edit menu.
  void ShowPatolisSide();

  bool operator==(const ControlState&) const = default;
};

// The state the window opens in.
inline ControlState InitialControlState() { return ControlState{}; }

}  // namespace trovlin::app

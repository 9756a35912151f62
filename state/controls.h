// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's control strip as state: running or stopped, where its
// bars stand, which buttons are enabled, the two-state menu items. The window
// shows it; the rules in mainwin/mainctl.h change it.
#pragma once
#include <array>

#include "model/view.h"

namespace brevold {

struct MainControls {
  bool Running = true;
  // The three strip bars: reverse arm (range in RevArmState), driver angle
  // in hundredths of a degree, step.
  int RevArmBar = 0;
  int DrvAngBar = 1;
  bool DrvAngBarEnabled = false;
  int DrvAngSmall = 1000, DrvAngLarge = 4500;
  int StepBar = 12000;
  bool FwdOn = true, RevOn = true, CenterOn = false;
  bool Deg00On = true, Deg180On = true;
  bool Step1On = true, Step10On = false, Step45On = true;
  // The view's buttons.
  bool NormOn = false, Preset0On = true;
  bool RefPtButtonsOn = false;        // "RP1" and "RP2"
  std::array<bool, 3> RefPtZeroOn{};  // 1, 2
  // The right-hand frame of the variables' panel, shown again with the
  // screen data until the variables are next switched.
  bool Panel9Left = false;
  // Two-state menu items.
  bool LargeFont = false;
  bool PanZoomShown = false;     // the pan and zoom bars while the screen data is off
  bool PanZoomRestored = false;  // the screen data came back on: the item's other caption
  // The re-centring bars' last positions.
  RecentreCells PanVert, PanHorz, Zoom, Ref1Vert, Ref1Horz, Ref2Vert, Ref2Horz;
};

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// All process-wide state of the simulator in one object that start-up
// creates once and hands round by reference.
#pragma once
#include <string>

#include "model/dimensions.h"
#include "model/dimfile.h"
#include "model/dynvars.h"
#include "model/overlay.h"
#include "model/revarm.h"
#include "model/solver.h"
#include "model/valve.h"
#include "model/view.h"

namespace brevold {

struct ModelState {
  Dimensions dims;
  Mechanism mech;
  ValveEvents valve;
  RevArmState revArm;
  ViewState view;
  float DrvAngInc = 10;  // driver step per animation tick (0 = stopped)
  float StepAng = 10;
  float ScrollInc = 0.001f;
  DynVars dyn;
  UndoStack undo;
  // The main window's last front and rear cut-off texts: emptied whenever the
  // reverse arm or a dimension moves, since they no longer describe the gear.
  std::string FrontCOText, RearCOText;
  OverlayTable overlay;
  float DiagLastRevArm = 0;  // the last reverse-arm position a diagram drew
  // The user's work as it was last read, written or reset (WorkOf), to tell
  // whether leaving the set would lose anything.
  DimFileImage SavedWork;
};

// Model state as at the start of a run, before the dimensions are reset.
// Keeps the undo buttons' listener: the windows that registered it stay.
void InitModelState(ModelState& s);
// The whole start-up order: initial state, view defaults, nominal tables,
// frame and cylinder resets, mid gear, reverse-arm bar range.
void StartUp(ModelState& s);

}  // namespace brevold

namespace brevold {

// The three user-level resets: each empties the dynamic-variable list and
// the undo stack as well.
void ResetFrameDimensions(ModelState& s);  // "ResetFrameDim"
void ResetCylDimensions(ModelState& s);    // "ResetCylDim"

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up order of the model state and the user-level resets.
#include "model/state.h"

namespace brevold {

void InitModelState(ModelState& s) {
  auto listener = std::move(s.undo.onButtons);
  s = ModelState{};
  s.undo.onButtons = std::move(listener);
  Mechanism& m = s.mech;
  m.DrvAngle = 0;
  s.DrvAngInc = 10;
  s.StepAng = 10;
  m.PtX.fill(0);
  m.PtY.fill(0);
  m.PtY[3] = 0.25f;
  s.dims.CylValveDim[ValveCLToCylCL] = 0;
  s.revArm.Positions.fill(0);
  s.dims.DimFileName = "Nominal";
  s.ScrollInc = 0.001f;
  s.revArm.VertScale = 1.5f;
  m.CalcStatus = 'Z';
  m.IterTol = 0.0001f;
  m.BeepOnError = true;
  EmptyDynVarList(s);
  SetOverlayDefaults(s.overlay);
}

void StartUp(ModelState& s) {
  InitModelState(s);
  SetViewDefaults(s.view);
  FillNominalFrame(s.dims);
  FillNominalCyl(s.dims);
  ResetFrameDims(s);
  ResetCylDims(s);
  CalcCentre(s);
  SetRevArmBarRange(s);
  MarkSaved(s);
}

}  // namespace brevold

namespace brevold {

void ResetFrameDimensions(ModelState& s) {
  ResetFrameDims(s);
  SetRevArmBarRange(s);
  EmptyDynVarList(s);
  ClearUndo(s);
}

void ResetCylDimensions(ModelState& s) {
  ResetCylDims(s);
  EmptyDynVarList(s);
  ClearUndo(s);
}

}  // namespace brevold

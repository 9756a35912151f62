// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Gears for the diagram tests, as the program runs them: five reverse-arm
// positions, then a change with no solve since. Their searches always
// succeed, always give up, or give up at some angles only (there the guessed
// start of a row is wrong and the row runs again); some raise the geometry
// error or have the solver replace a dimension.
#pragma once
#include "draw_helpers.h"
#include "model/dimensions.h"
#include "model/revarm.h"
#include "model/solver.h"

namespace brevold {

struct Gear {
  const char* name;
  void (*change)(ModelState&);
  bool rowsRunAgain;  // some row ends on a search that gave up
};
inline const Gear kGears[] = {
    {"nominal", [](ModelState&) {}, false},
    {"nominal, error and failed solve already flagged", [](ModelState& s) {
       s.mech.ErrFlag = 1;
       s.mech.CalcStatus = 'E';
     }, false},
    {"main rod shorter than crank", [](ModelState& s) { SetDim(s, 3, 1); }, false},
    {"reverse-arm pivot high: errors in the middle rows only", [](ModelState& s) { SetDim(s, 22, GetDim(s, 22) * 1.3f); },
     false},
    {"zero radius-rod lever", [](ModelState& s) { SetDim(s, 30, 0); }, false},
    {"link-crank search always abandoned", [](ModelState& s) { SetDim(s, 13, 1000); }, false},
    {"link-crank search abandoned at some angles", [](ModelState& s) { SetDim(s, 13, 135); }, true},
};

// The program as it runs, five reverse-arm positions, then the gear's change
// with no solve since.
inline AppState GearState(const Gear& g) {
  AppState a = Fresh();
  Solve(a.model);
  CalcCentre(a.model);
  const float mid = a.model.revArm.Positions[0];
  a.model.revArm.Positions = {mid, mid, mid + 0.3f, mid - 0.3f, mid + 0.6f, mid - 0.6f, 0, 0, 0, 0};
  a.model.revArm.RevArmCount = 5;
  a.model.mech.ErrFlag = 0;
  g.change(a.model);
  return a;
}

}  // namespace brevold

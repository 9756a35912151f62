// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up for the model tests: a fresh start-up state per test.
#pragma once
#include <cmath>

#include "model/state.h"

namespace brevold::test {

inline ModelState Started() {
  ModelState s;
  StartUp(s);
  return s;
}

// The start-up gear with mid gear found, as the events tables want it.
inline ModelState Nominal() {
  ModelState s = Started();
  CalcCentre(s);
  return s;
}

// Solve and post-calculate at one angle, as one animation tick does.
inline void SolveAt(ModelState& s, float angle) {
  s.mech.DrvAngle = angle;
  Solve(s);
  PostCalc(s);
}

inline bool AllJointsFinite(const ModelState& s) {
  for (int j = 0; j < JointCount; ++j)
    if (!std::isfinite(s.mech.PtX[j]) || !std::isfinite(s.mech.PtY[j])) return false;
  return true;
}

}  // namespace brevold::test

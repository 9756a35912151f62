// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four valve diagrams, drawn by sweeping the driver angle (and the
// reverse arm) through the solver: port events against reverse-arm travel,
// the steam card, the oval and the sine diagram. Each routine saves and
// restores DrvAngle and RevArmX and keeps no curve data. The sweeps' solves
// run on the pool of model/parallel.h; the drawing stays on the calling
// thread and comes out the same whatever the number of threads.
#pragma once
#include <array>
#include <string>

#include "state/appstate.h"
#include "platform/canvas.h"

namespace brevold {

// What a drawing leaves for its window: the strip's bars and the undo button.
struct DiagramControls {
  bool barsVisible = false;
  std::array<bool, 5> barEnabled{};  // bars 1..4
  bool undoVisible = false;
};

// The last undo line the diagrams built, shown by the next drawing.
DiagramControls DrawPortDia(Canvas& c, AppState& a, DiagramState& d);
DiagramControls DrawSteamDia(Canvas& c, AppState& a, DiagramState& d);
DiagramControls DrawOvalDia(Canvas& c, AppState& a, DiagramState& d);
DiagramControls DrawSineDia(Canvas& c, AppState& a, DiagramState& d);

// The word a reverse-arm position takes in the legend: "Cen", "Fwd", "Rev".
const char* PositionWord(const ModelState& m, float position);

}  // namespace brevold

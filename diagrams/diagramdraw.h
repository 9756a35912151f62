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

// The pieces every diagram shares, for drawings kept in files of their own:
// the canvas set up as a diagram's (black pen, white brush, 8-point sans),
// the legend's heading and its row for position k (1..9) at the top right,
// and the dynamic-variable strip and undo line every drawing ends with.
void BeginDiagram(Canvas& c);
void DrawLegendHeading(Canvas& c, AppState& a, DiagramState& d);
void DrawLegendRow(Canvas& c, AppState& a, DiagramState& d, int k);
DiagramControls DrawStripAndUndo(Canvas& c, AppState& a, DiagramState& d);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four valve diagrams painted from their sweeps' records: port events
// against reverse-arm travel, the steam card, the oval and the sine diagram.
// A painting reads the state and the records and changes nothing.
#pragma once
#include <array>
#include <string>

#include "model/diagramsweep.h"
#include "model/steamcard.h"
#include "state/appstate.h"
#include "platform/canvas.h"

namespace brevold {

// What a drawing leaves for its window: the strip's bars and the undo button.
struct DiagramControls {
  bool barsVisible = false;
  std::array<bool, 5> barEnabled{};  // bars 1..4
  bool undoVisible = false;
};

// What a redraw's sweeps found, for its painting; and what the redraw
// leaves in the state, which the painting does not touch.
struct DiagramRecords {
  std::vector<PortGraphRecord> graphs;  // the port diagram's, in the order drawn
  CurveRecord curves;                   // the steam, oval and sine diagrams'
  SteamCard card;                       // the steam diagram's pressures
  std::vector<DieTurn> turns;           // the die-slip diagram's
  RedrawEffects effects;
};

// The sweeps, on a copy of the state.
DiagramRecords SweepPortDia(const ModelState& m, const DiagramState& d);
DiagramRecords SweepSteamDia(const ModelState& m, const DiagramState& d);
DiagramRecords SweepOvalDia(const ModelState& m, const DiagramState& d);
DiagramRecords SweepSineDia(const ModelState& m, const DiagramState& d);

// The paintings. The port diagram paints each graph recorded over the last.
DiagramControls PaintPortDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r);
DiagramControls PaintSteamDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r);
DiagramControls PaintOvalDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r);
DiagramControls PaintSineDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r);

// The word a reverse-arm position takes in the legend: "Cen", "Fwd", "Rev",
// by the gear's sense (forward above the centre or below it).
const char* PositionWord(float centre, bool forwardAbove, float position);

// The undo line a redraw shows for the next one: the last change and its undo.
std::string UndoLine(const UndoStack& u);

// The pieces every diagram shares, for drawings kept in files of their own:
// the canvas set up as a diagram's (black pen, white brush, 8-point sans),
// the legend's heading and its row for position k (1..9) at the top right,
// and the dynamic-variable strip and undo line every drawing ends with
// (`shown` the undo line the last redraw built).
void BeginDiagram(Canvas& c);
void DrawLegendHeading(Canvas& c, const AppState& a);
void DrawLegendRow(Canvas& c, const AppState& a, int k, bool forwardAbove);
DiagramControls DrawStripAndUndo(Canvas& c, const AppState& a, const std::string& shown);

}  // namespace brevold

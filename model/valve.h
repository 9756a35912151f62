// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the valve does to the steam: laps, exhaust clearances, the valve's
// displacement from mid travel, the four port openings and the piston's place
// along its stroke (0..640).
#pragma once

namespace brevold {

struct ModelState;

struct ValveEvents {
  // Computed at the end of every completed solve.
  float LapF = 0, LapPortF = 0, ExhClrF = 0;
  float LapR = 0, LapPortR = 0, ExhClrR = 0;
  float ValveDisp = 0;
  float VlvEdge1 = 0, VlvEdge2 = 0, VlvEdge3 = 0, VlvEdge4 = 0, VlvEdge5 = 0, VlvEdge6 = 0;
  // Computed by the post-calculation (positive = port open).
  float PistonUnits = 0;
  float OpenSteamF = 0, OpenExhF = 0, OpenSteamR = 0, OpenExhR = 0;
};

// Edge constants and ValveDisp, from the dimensions and the solved X4.
void CalcValveEdges(ModelState& s);
// Piston position and port openings, called right after a solve.
void PostCalc(ModelState& s);

}  // namespace brevold

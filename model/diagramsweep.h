// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve diagrams' sweeps, as records: each runs the driver (and the
// reverse arm) through the solver on a working copy of the state and keeps
// what its diagram's picture reads, so that the picture is painted from the
// records alone and the painting changes nothing. What a redraw leaves in
// the state (the linkage where the last solve left it, the diagram's last
// reverse-arm setting) is kept beside the records and put into the state in
// one place, ApplyRedrawEffects.
//
// The sweeps run on the pool of model/parallel.h and give the same records
// whatever the number of threads.
#pragma once
#include <array>
#include <optional>
#include <vector>

#include "model/events.h"
#include "model/parallel.h"
#include "model/soundness.h"
#include "model/state.h"

namespace brevold {

// --- The port open/close diagram: the crossings of each row ---

struct PortRowRecord {
  float revArm = 0;  // the row's reverse-arm setting
  std::vector<PortCrossing> crossings;
};

struct PortGraphRecord {
  bool forward = true;
  std::array<PortRowRecord, PortRows> rows;
};

// Nineteen rows from mid gear to the full travel on one side. Leaves `work`
// where the last row's last solve left it, with its driver angle and
// reverse-arm setting as they were.
PortGraphRecord SweepPortGraph(ModelState& work, bool forward, int threads);

// --- The steam, oval and sine diagrams: one curve per reverse-arm position ---

// What a picture reads of the state after one solve.
struct CurveSample {
  float angle = 0;      // DrvAngle
  float valveDisp = 0;  // ValveDisp
  float valveX = 0;     // PtX[4], the valve stem's joint
  float piston = 0;     // PistonUnits
  float steamF = 0, exhF = 0, steamR = 0, exhR = 0;  // the four port openings
};

struct CurveRow {
  float revArm = 0;
  // The sense of the gear at the row's start (before its first solve): which
  // side of the centre position is forward, for the legend's word.
  bool forwardAbove = false;
  std::vector<CurveSample> samples;
  // The valve's edges after the row's last solve, for the mid-gear readout.
  std::array<float, 6> edges{};
};

struct CurveRecord {
  std::vector<CurveRow> rows;  // positions 1.. of the reverse arm, at most nine
};

// The steam card's sweep: at each position 150 steps of 4 degrees in the
// direction the gear drives there, from 96 degrees, the driver turning on
// from where the last position left it; solved with the post-calculation.
CurveRecord SweepSteamCurves(ModelState& work, int threads);

// The oval's and the sine diagram's sweep: at each position the driver set
// to angle(j) for j = first..last, the linkage alone solved.
CurveRecord SweepValveCurves(ModelState& work, int first, int last, float (*angle)(int j), int threads);
float OvalAngle(int j);  // 88 - 8j degrees, wrapped
float SineAngle(int j);  // 8j + 272 degrees, wrapped

// --- The die-slip diagram: the die's place along the link through a turn ---

struct DieTurn {
  std::vector<LD> along;  // per sample
  Soundness verdict;
};
constexpr int DieTurnStep = 4;                          // degrees between samples
constexpr int DieTurnSamples = 360 / DieTurnStep + 1;  // 0 to 360 inclusive

// One turn per reverse-arm position, on a copy of `from`.
std::vector<DieTurn> SweepDieTurns(const ModelState& from);

// --- What a redraw leaves in the state ---

struct RedrawEffects {
  // The linkage, valve values and frame where the sweeps' last solve left
  // them (driver angle and reverse arm as they were), if the sweeps solved
  // on the state's own behalf.
  std::optional<SolvedState> solved;
  // The reverse-arm setting of the last curve drawn, which a dimension file
  // stores as the diagrams' last setting.
  std::optional<float> lastRevArm;
};

void ApplyRedrawEffects(ModelState& s, const RedrawEffects& e);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The steam card's pressure model: from the steam sweep's records, the
// pressure in each end of the cylinder through every curve, a phase model of
// exhaust, compression, admission and expansion, each changing the pressure
// by its own rule per step of the driver. The picture draws what this works
// out; nothing here draws.
#pragma once
#include <array>
#include <vector>

#include "model/diagramsweep.h"

namespace brevold {

// One end of the cylinder at one sample: the segment of its curve that ends
// there, and what is written beside it.
struct SteamMark {
  // Admission closed since the last sample: where (piston units from the
  // front, interpolated between the two samples), at the last pressure.
  bool cutOff = false;
  LD cutOffAt = 0;
  float fromBeforeCutOff = 0;  // the piston where the level stroke to the cut-off starts
  // The curve's segment: from (from, fromPress) to (the sample's piston, press).
  float from = 0;
  LD fromPress = 0, press = 0;
  // The curve's number is written beside the expansion here.
  bool numbered = false;
};

struct SteamStep {
  bool drawn = false;  // false until the front end has a pressure to start from
  std::array<SteamMark, 2> ends;  // front, rear
};

struct SteamCard {
  std::vector<std::vector<SteamStep>> rows;  // as the sweep's rows and samples
  // The openings of the last sample as the model took them: a port barely
  // open admits as if open 0.005, and the state keeps that after a redraw.
  float lastSteamF = 0, lastSteamR = 0;
};

SteamCard RunSteamCard(const CurveRecord& sweep);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Setting the valves from a fitter's measurements. On the engine the fitter
// puts the piston on each true dead centre and reads, with the reverser in
// full forward gear, mid gear and full back gear: the lead at that end, the
// valve's movement as the die is run from one end of the link to the other
// (the radius-rod test: none when the radius rod is right), and the valve's
// place with the die at the link's centre. Each reading is optional.
//
// The gear as found is the drawing with its eccentric rod, radius rod and
// valve stem (and, if asked, the eccentric crank's throw) off by unknown
// amounts; those are found by least squares (Gauss-Newton from the drawing,
// with central differences) so that the model's readings match the
// fitter's. How well each is fixed by the readings comes from the fit's
// normal equations and the readings' precision. Leads alone hardly tell the
// radius rod from the valve stem: where the readings cannot, the two are
// given as one valve-centring correction on the valve stem, with the
// reading that would tell them apart.
//
// The reverser's notches are the drawing's: its full gears and mid gear as
// RevArmX values, the same for every gear tried.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/state.h"

namespace brevold {

enum class SettingReading : int {
  LeadFrontFwd, LeadRearFwd,      // full forward gear
  LeadFrontMid, LeadRearMid,      // mid gear
  LeadFrontBack, LeadRearBack,    // full back gear
  DieRunFront, DieRunRear,        // valve's movement, die from forward end to back end, on each dead centre
  MidValveFront, MidValveRear,    // valve's place from its centre, die at the link's centre
};
constexpr int SettingReadingCount = 10;

struct SettingReadingInfo {
  const char* id;     // the command line's option and the JSON name, in pairs (front, rear)
  const char* title;  // in words
};
const std::array<SettingReadingInfo, SettingReadingCount>& SettingReadings();

using Readings = std::array<std::optional<double>, SettingReadingCount>;

// Where the fitter takes the readings: the drawing's full forward gear, mid
// gear and full back gear.
struct ReverserNotches {
  float forward = 0, mid = 0, back = 0;
};
ReverserNotches NotchesOf(const ModelState& drawing);

// What the fitter would read on `gear` (every reading; none where the gear
// cannot be solved soundly at a dead centre or has no dead centre).
Readings TakeReadings(const ModelState& gear, const ReverserNotches& at);

struct SettingCorrection {
  int id = 0;
  std::string field;
  // The gear as found less the drawing; absent when the readings cannot fix it.
  std::optional<double> found;
  double uncertainty = 0;  // one standard deviation, from the readings' precision
};

struct ValveSettingFit {
  std::vector<SettingCorrection> corrections;  // eccentric rod, radius rod, valve stem (, throw)
  Readings measured{}, fitted{}, residuals{};  // fitted: what the gear as found reads
  ModelState found;                           // the drawing with the corrections found
  std::vector<std::string> notes;
  std::string error;  // no fit at all (no reading, or the drawing cannot be solved)
};

struct ValveSettingRequest {
  Readings measured{};
  bool withThrow = false;     // also the eccentric crank's throw
  double precision = 0.001;   // of one reading, in the gear's unit
};

ValveSettingFit FitValveSetting(const ModelState& drawing, const ValveSettingRequest& r);

// The fit as text or JSON: the corrections to make on the engine (the
// drawing less the gear as found), the readings and their residuals.
std::string FormatValveSetting(const ValveSettingFit& f, const std::string& format);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which dimension moves which event: for each dimension and each setting
// asked for, how far every event of the valve-events table moves when the
// dimension grows by 0.01 - the cut-off at each end and their difference,
// the lead at the dead centres, the largest port opening at each end, the
// valve travel and the die's slip in the link.
//
// Each figure is a central difference with a step of 0.01 either side of the
// dimension's value. The setting is found once on the gear as given (a mean
// cut-off becomes a travel from mid gear); each changed gear has its mid gear
// recalculated, as closing a dimension editor does, and is taken at the same
// travel from its own mid gear. Where the two one-sided differences do not
// tell the same story - the event is missing on one of the three gears, a
// gear is not sound, or the two differ too much for the central one to mean
// anything - the figure is withheld and the reason given instead.
//
// Works on copies of the gear; the evaluations run on the sweeps' pool, each
// from its own copy, so the figures do not depend on the number of threads.
#pragma once
#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/balance.h"
#include "model/events.h"

namespace brevold {

struct ModelState;

// The step either side of a dimension's value, and the change every figure
// is given per.
constexpr double SensitivityStep = 0.01;

// The quantities of a row, in the order of the table's columns.
enum class SensQuantity : int {
  CutOffFront, CutOffRear, CutOffDifference,
  LeadFront, LeadRear,
  OpeningFront, OpeningRear,
  ValveTravel, DieSlip,
};
constexpr int SensQuantityCount = 9;

struct SensQuantityInfo {
  const char* id;     // the CSV and JSON name
  const char* title;  // in words, with its unit
  // Below this, the two one-sided differences are taken to agree whatever
  // their ratio (in the quantity's own unit, per 0.01): see sensitivity.cpp.
  double floor;
};
const std::array<SensQuantityInfo, SensQuantityCount>& SensQuantities();

// A row's figures, in the order of the quantities (absent: the event does
// not happen at that setting).
using RowFigures = std::array<std::optional<double>, SensQuantityCount>;
RowFigures FiguresOf(const EventRow& row);
// A gear's verdict at a setting: "sound", its fault, or "geometry error"
// where one was met while its events were located.
std::string Verdict(const EventRow& row);

// Why a figure is withheld.
enum class SensFlag {
  None,
  NoStep,          // the dimension's single cannot move by the step (or is not a number)
  Unsound,         // the same fault on all three gears
  VerdictChanges,  // the three gears' verdicts differ
  Absent,          // the event does not happen on at least one of the gears
  Disagree,        // the one-sided differences differ by too much
};

struct SensCell {
  // The change per +0.01 of the dimension; absent when flagged.
  std::optional<double> change;
  SensFlag flag = SensFlag::None;
  std::string why;  // the reason in words, empty when not flagged
  // The one-sided differences per +0.01, from the lower gear to the gear as
  // given and from it to the upper gear, where all three have the quantity.
  std::optional<double> below, above;
};

struct SensSetting {
  EventSetting setting;                // on the gear as given
  std::optional<double> targetCutOff;  // rows by cut-off: the mean cut-off asked for
  EventRow base;                       // the events of the gear as given there
};

// One dimension at one setting.
struct SensRow {
  size_t setting = 0;  // into SensitivityTable::settings
  BalanceDim dim;      // id and names (the bounds are not used)
  float value = 0, lower = 0, upper = 0;  // the singles the three gears store
  std::array<SensCell, SensQuantityCount> cells;
};

struct SensitivityRequest {
  // Ids or field names, resolved as the balance resolves them. Empty: every
  // editable dimension but the driver diameter, which only draws.
  std::vector<std::string> dims;
  EventRequest::Side side = EventRequest::Forward;
  // Rows by mean cut-off (% of stroke) on each side asked for, or by travel
  // from mid gear (forward positive; the side is the sign's). Both empty:
  // 15, 25 and 40 % cut-off.
  std::vector<float> cutOffs;
  std::vector<float> travels;
  EventMethod method = EventMethod::Bisection;
  float step = PortRowStep;
  // Looked at between evaluations; a raised flag ends the table early.
  const std::atomic<bool>* cancel = nullptr;
  // Hears the evaluations done and their number; may be called from several
  // threads at once.
  std::function<void(int done, int total)> progress;
  // Only the cut-offs located by the method, the other figures taken from
  // the sweep's samples (EventRequest::cutOffsOnly): enough to rank the
  // levers on the cut-off difference, at a third of the cost.
  bool cutOffsOnly = false;
};

struct SensitivityTable {
  std::vector<BalanceDim> dims;
  std::vector<SensSetting> settings;
  std::vector<SensRow> rows;  // setting by setting, the dimensions in the order asked
  // What could not be given: a cut-off the gear does not reach.
  std::vector<std::string> notes;
  std::string error;      // a dimension key that cannot be resolved; nothing else is done
  bool cancelled = false; // rows are then empty
};

// The rates of change of the gear in `s` (left as it is).
SensitivityTable Sensitivity(const ModelState& s, const SensitivityRequest& r);

// The running notches the levers are judged at: 15, 25 and 40 % cut-off.
const std::vector<float>& RunningNotches();

// The dimension ids (every editable one but the driver diameter), the
// strongest first, by the largest change of the front-minus-rear cut-off
// per 0.01 over the running notches on the side(s) asked for. A dimension
// with a flagged figure at any of them comes after all the others, ranked
// likewise by its figures that are not flagged; ties keep the dimension
// table's order. At most `count` ids (0 or less: all). Empty when cancelled.
std::vector<int> StrongestLevers(const ModelState& s, EventRequest::Side side, int count,
                                 const std::atomic<bool>* cancel = nullptr,
                                 const std::function<void(int done, int total)>& progress = {});

// The ranking StrongestLevers gives, over any table: the table's
// dimensions by the largest |change| of the cut-off difference over its
// settings, those with a withheld one last.
std::vector<int> RankLevers(const SensitivityTable& t, int count);

// The table as CSV (a header, then a row per setting and dimension), JSON
// (one object per line) or aligned text. A withheld figure is empty (CSV),
// null (JSON) or "?" (text); the reasons are in the notes column (CSV), a
// "flags" object (JSON) or a notes section after the table (text). Numbers
// read back exactly in CSV and JSON, whatever the process's locale.
std::string FormatSensitivity(const SensitivityTable& t, const std::string& format);

}  // namespace brevold

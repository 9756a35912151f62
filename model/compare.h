// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Two gears side by side: the events of each at equal mean cut-offs (each
// gear's own travel for the cut-off, found on that gear), the difference of
// every figure (B less A), each gear's verdict at each setting and over the
// full travel, and the dimensions in which the two differ.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "model/events.h"
#include "model/sensitivity.h"

namespace brevold {

struct ModelState;

struct CompareRequest {
  EventRequest::Side side = EventRequest::Both;
  std::vector<float> cutOffs = {15, 25, 40};  // mean cut-offs, % of stroke
  EventMethod method = EventMethod::Bisection;
  float step = PortRowStep;
};

// A dimension whose value differs, with both values.
struct DimDifference {
  std::string field;
  float a = 0, b = 0;
};

// One side's setting at one mean cut-off, on each gear (absent: the gear
// does not reach that cut-off on that side).
struct ComparedSetting {
  bool forward = true;
  float cutOff = 0;
  std::optional<EventRow> a, b;
  // The figures (SensQuantities' order) of each and B less A, where both have it.
  RowFigures figuresA{}, figuresB{}, difference{};
};

struct GearComparison {
  std::vector<DimDifference> dims;  // in the dimension table's order
  std::vector<ComparedSetting> settings;
  TravelCheck travelA, travelB;  // each gear over the full travel
  std::vector<std::string> notes;  // cut-offs a gear does not reach, "A: ..." or "B: ..."
};

// Both gears as given (each with its own mid gear); works on copies.
GearComparison CompareGears(const ModelState& a, const ModelState& b, const CompareRequest& r);

// As text (a table a setting), csv (one line a setting, quantity and gear)
// or json; the gears named `nameA` and `nameB`.
std::string FormatComparison(const GearComparison& c, const std::string& format, const std::string& nameA,
                             const std::string& nameB);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the balance's objective and its search share: a gear judged at the settings balanced over and at full gear.
#pragma once
#include <atomic>
#include <optional>
#include <vector>

#include "model/balance.h"

namespace brevold::balance_internal {

inline bool OnSide(float travel, EventRequest::Side side) {
  return travel >= 0 ? side != EventRequest::Reverse : side != EventRequest::Forward;
}

// One event row at a travel, as the events table takes it.
std::optional<EventRow> RowAt(ModelState& s, const BalanceRequest& r, float travel, const std::atomic<bool>* cancel);

// The full-gear travels of the sides balanced.
std::vector<float> FullGear(const ModelState& s, const BalanceRequest& r);

struct Judged {
  std::vector<EventRow> rows, fullGear;
  TravelCheck travel;
};

// The gear in `s` (changed in place: mid gear, sweeps) at the travels and at
// full gear. Empty when the cancel flag went up part-way.
std::optional<Judged> Judge(ModelState& s, const BalanceRequest& r, const std::vector<float>& travels,
                            const std::atomic<bool>* cancel);

// The objective of a judged gear; `before` (may be null) is the gear as
// given, against which the lead is held and the losses are counted.
// leadUnit: the gear's lap plus lead, in which lead is counted (percent).
BalanceScore Score(const Judged& j, const Judged* before, const BalanceRequest& r, double leadUnit, const ModelState& s);

// Lap plus lead of the gear: half its valve travel at mid gear.
double LeadUnit(const ModelState& start, const BalanceRequest& r);

}  // namespace brevold::balance_internal

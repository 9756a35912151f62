// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A balance's account in words and columns, and its result applied to the gear.
#include "model/balance.h"

#include <algorithm>
#include <string>

#include "model/dynvars.h"
#include "model/numfmt.h"
#include "model/state.h"

namespace brevold {

const char* StopName(BalanceResult::Stop stop) {
  switch (stop) {
    case BalanceResult::Tolerance: return "tolerance";
    case BalanceResult::Budget: return "budget";
    case BalanceResult::Cancelled: return "cancelled";
    default: return "failed";
  }
}

bool BalanceResult::Gained() const {
  return stop != Failed && !dims.empty() && noGain.empty() && !after.Rejected() && verified.Sound();
}

const char* StopReason(BalanceResult::Stop stop) {
  switch (stop) {
    case BalanceResult::Tolerance: return "the steps fell below the tolerance";
    case BalanceResult::Budget: return "the evaluation budget ran out";
    case BalanceResult::Cancelled: return "cancelled";
    default: return "it failed";
  }
}

namespace {

void Settle(ModelState& s) {
  s.FrontCOText.clear();
  s.RearCOText.clear();
  CalcCentre(s);
}

}  // namespace

std::string BalanceRowsText(const EventTable& t) {
  auto cell = [](const std::optional<double>& v, int width, int decimals) {
    return v ? Str(*v, width, decimals) : std::string(static_cast<size_t>(width - 1), ' ') + "-";
  };
  auto pct = [](const std::optional<EventPoint>& p) { return p ? std::optional<double>(p->percent) : std::nullopt; };
  // Column widths: travel 8; cut-off 8, 7, 7; lead (where the piston stops) 8, 8, 8; release 8; compression 10.
  std::string out = std::string(8, ' ') + "      cut-off %       " + "          lead          " + " release" +
                    "  compress" + "\n" + "  travel   front   rear   diff   front    rear    diff    diff      diff\n";
  for (const EventRow& row : t.rows) {
    const EventDifference d = FrontMinusRear(row);
    out += Str(row.setting.travel, 8, 3) + cell(pct(row.front.cutOff), 8, 2) + cell(pct(row.rear.cutOff), 7, 2) +
           cell(d.cutOff, 7, 2) + cell(row.front.deadCentreLead, 8, 4) + cell(row.rear.deadCentreLead, 8, 4) +
           cell(d.deadCentreLead, 8, 4) +
           cell(d.release, 8, 2) + cell(d.compression, 10, 2) + "\n";
  }
  return out;
}

std::string BalanceChangesText(const std::vector<BalanceChange>& changes) {
  size_t width = 0;
  for (const BalanceChange& c : changes) width = std::max(width, c.what.size());
  auto cell = [](const std::optional<double>& v) {
    std::string t = v ? Figures(*v, 6) : "-";
    return std::string(t.size() < 10 ? 10 - t.size() : 0, ' ') + t;
  };
  std::string out;
  for (const BalanceChange& c : changes)
    out += "  " + c.what + std::string(width - c.what.size(), ' ') + " " + cell(c.before) + " " + cell(c.after) + "\n";
  return out;
}

std::string BalanceSummary(const BalanceResult& r) {
  if (r.stop == BalanceResult::Failed) return "The search could not run: " + r.message;
  auto num = [](double v) { return Str(v, 1, 4); };
  auto opt = [&](const std::optional<double>& v) { return v ? num(*v) : std::string("-"); };
  std::string s = "Stopped: " + std::string(StopReason(r.stop)) + ", after " + std::to_string(r.evaluations) +
                  " evaluations, " + Str(r.seconds, 1, 1) + " s. Objective " + Str(r.before.objective, 1, 3) + " -> " +
                  Str(r.after.objective, 1, 3) + ".";
  if (r.before.spread.cutOff && r.after.spread.cutOff)
    s += " Largest cut-off difference " + Str(*r.before.spread.cutOff, 1, 2) + " % -> " + Str(*r.after.spread.cutOff, 1, 2) +
         " %, lead difference " + opt(r.before.spread.lead) + " -> " + opt(r.after.spread.lead) + ".";
  for (const BalanceDimResult& d : r.dims)
    s += "\n" + d.dim.shortName + ": " + num(d.before) + " -> " + num(d.after) + (d.atBound ? "  (on its bound)" : "");
  s += "\nFull travel, both sides: " + r.verified.Describe() + "; before: " + r.verifiedBefore.Describe() + ".";
  if (r.failedVerification)
    s += " " + std::to_string(r.failedVerification) + " better candidates failed that check and were passed over.";
  if (!r.noGain.empty()) {
    s += "\nNothing to apply: " + r.noGain + ".";
    if (!r.strongest.empty()) {
      s += " The strongest levers on the cut-off difference here:";
      for (size_t i = 0; i < r.strongest.size(); ++i) s += (i ? ", " : " ") + r.strongest[i];
      s += ".";
    }
  } else if (!r.verified.Sound()) {
    s += "\nThe result is not sound over the whole travel: it is not offered.";
  }
  return s;
}

void ApplyBalance(ModelState& s, const BalanceResult& r) {
  for (const BalanceDimResult& d : r.dims) {
    SetDim(s, d.dim.id, static_cast<float>(d.after));
    FollowFixedPivot(s, d.dim.id);
  }
  Settle(s);
}

void ApplyBalanceAsEdits(ModelState& s, const BalanceResult& r) {
  const float revArm = s.mech.RevArmX;
  bool first = true;
  for (const BalanceDimResult& d : r.dims) {
    const float value = static_cast<float>(d.after);
    if (value == GetDim(s, d.dim.id)) continue;
    s.undo.EditDirty = 1;
    EditorFieldExit(s, d.dim.id, value, d.dim.shortName);
    FollowFixedPivot(s, d.dim.id);
    // Undoing the group's last entry puts the reverse arm back where it stood.
    if (first) s.undo.UndoRevArm[1] = revArm;
    first = false;
  }
  // Redoing the group's last entry makes the balanced gear whole again.
  if (!first) s.undo.UndoSettles[1] = true;
  Settle(s);
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Two gears side by side at equal mean cut-offs.
#include "model/compare.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "model/dimensions.h"
#include "model/numfmt.h"
#include "model/revarm.h"
#include "model/state.h"

namespace brevold {

namespace {

// A gear as the events table takes it: solved at the driver's 0 and its mid
// gear worked out, as the command line's events start.
ModelState Settled(const ModelState& given) {
  ModelState g = given;
  g.mech.ErrFlag = 0;
  SolveAtMidGear(g);
  g.mech.RevArmX = g.revArm.Positions[0];
  return g;
}

// The row of `table` on the side asked for whose mean cut-off is `target`
// (the search stops far closer than the half per cent allowed here).
std::optional<EventRow> RowFor(const EventTable& table, bool forward, float target) {
  const EventRow* best = nullptr;
  for (const EventRow& row : table.rows)
    if (row.setting.forward == forward && std::fabs(MeanCutOff(row) - target) < 0.5 &&
        (!best || std::fabs(MeanCutOff(row) - target) < std::fabs(MeanCutOff(*best) - target)))
      best = &row;
  if (!best) return std::nullopt;
  return *best;
}

void Differ(GearComparison& c, const std::string& field, float a, float b) {
  if (a != b) c.dims.push_back({field, a, b});
}

}  // namespace

GearComparison CompareGears(const ModelState& givenA, const ModelState& givenB, const CompareRequest& r) {
  GearComparison c;
  for (const DimInfo& d : DimTable()) Differ(c, d.field, GetDim(givenA, d.id), GetDim(givenB, d.id));
  Differ(c, "RevArmNorm", givenA.dims.frame.RevArmNorm, givenB.dims.frame.RevArmNorm);
  Differ(c, "RevArmMax", givenA.dims.frame.RevArmMax, givenB.dims.frame.RevArmMax);

  ModelState a = Settled(givenA), b = Settled(givenB);
  EventRequest q;
  q.side = r.side;
  q.cutOffs = r.cutOffs;
  q.method = r.method;
  q.step = r.step;
  const EventTable ta = ValveEventsTable(a, q), tb = ValveEventsTable(b, q);
  for (const std::string& n : ta.notes) c.notes.push_back("A: " + n);
  for (const std::string& n : tb.notes) c.notes.push_back("B: " + n);
  for (bool forward : {true, false}) {
    if (forward ? r.side == EventRequest::Reverse : r.side == EventRequest::Forward) continue;
    for (float target : r.cutOffs) {
      ComparedSetting s;
      s.forward = forward;
      s.cutOff = target;
      s.a = RowFor(ta, forward, target);
      s.b = RowFor(tb, forward, target);
      if (s.a) s.figuresA = FiguresOf(*s.a);
      if (s.b) s.figuresB = FiguresOf(*s.b);
      for (size_t k = 0; k < s.difference.size(); ++k)
        if (s.figuresA[k] && s.figuresB[k]) s.difference[k] = *s.figuresB[k] - *s.figuresA[k];
      c.settings.push_back(std::move(s));
    }
  }
  c.travelA = FullTravelCheck(a, PortRowStep);
  c.travelB = FullTravelCheck(b, PortRowStep);
  return c;
}

namespace {

std::string Figure(const std::optional<double>& v, int width) {
  return v ? Str(*v, width, 4) : std::string(static_cast<size_t>(std::max(0, width - 1)), ' ') + "-";
}

std::string SettingName(const ComparedSetting& s) {
  return std::string(s.forward ? "forward" : "reverse") + " " + Str(s.cutOff, 1, 1) + " % cut-off";
}

std::string VerdictOf(const std::optional<EventRow>& row) { return row ? Verdict(*row) : "not reached"; }

std::string Text(const GearComparison& c, const std::string& nameA, const std::string& nameB) {
  std::string t = "A: " + nameA + "\nB: " + nameB + "\n\nDimensions that differ (B less A):\n";
  if (c.dims.empty()) t += "  none\n";
  for (const DimDifference& d : c.dims) {
    std::string f = "  " + d.field;
    f.resize(std::max<size_t>(f.size() + 1, 20), ' ');
    t += f + "A " + Str(d.a, 10, 4) + "   B " + Str(d.b, 10, 4) + "   B-A " +
         Str(static_cast<LD>(d.b) - static_cast<LD>(d.a), 10, 4) + "\n";
  }
  size_t width = 0;  // the quantities' column, as wide as the longest title
  for (const SensQuantityInfo& q : SensQuantities()) width = std::max(width, std::string(q.title).size() + 3);
  t += "\nOver the full travel:\n  A " + c.travelA.Describe() + "\n  B " + c.travelB.Describe() + "\n";
  for (const ComparedSetting& s : c.settings) {
    t += "\n" + SettingName(s) + ": travel from mid gear A " +
         (s.a ? Str(s.a->setting.travel, 1, 4) : std::string("-")) + ", B " +
         (s.b ? Str(s.b->setting.travel, 1, 4) : std::string("-")) + "\n";
    auto label = [width](std::string text) {
      text.resize(width, ' ');
      return text;
    };
    t += label("  quantity") + "           A           B         B-A\n";
    for (size_t k = 0; k < SensQuantities().size(); ++k)
      t += label(std::string("  ") + SensQuantities()[k].title) + Figure(s.figuresA[k], 12) +
           Figure(s.figuresB[k], 12) + Figure(s.difference[k], 12) + "\n";
    t += label("  verdict") + "  A " + VerdictOf(s.a) + ", B " + VerdictOf(s.b) + "\n";
  }
  if (!c.notes.empty()) t += "\nNotes:\n";
  for (const std::string& n : c.notes) t += "  " + n + "\n";
  return t;
}

std::string Csv(const GearComparison& c) {
  std::string t = "side,cutoff,quantity,a,b,b_minus_a\n";
  auto cell = [](const std::optional<double>& v) { return v ? Str(*v, 1, 6) : std::string(); };
  for (const ComparedSetting& s : c.settings) {
    const std::string head = std::string(s.forward ? "fwd" : "rev") + "," + Str(s.cutOff, 1, 2) + ",";
    t += head + "travel," + (s.a ? Str(s.a->setting.travel, 1, 6) : "") + "," +
         (s.b ? Str(s.b->setting.travel, 1, 6) : "") + ",\n";
    for (size_t k = 0; k < SensQuantities().size(); ++k)
      t += head + SensQuantities()[k].id + "," + cell(s.figuresA[k]) + "," + cell(s.figuresB[k]) + "," +
           cell(s.difference[k]) + "\n";
    t += head + "verdict," + VerdictOf(s.a) + "," + VerdictOf(s.b) + ",\n";
  }
  return t;
}

std::string Json(const GearComparison& c, const std::string& nameA, const std::string& nameB) {
  using J = nlohmann::ordered_json;
  auto num = [](const std::optional<double>& v) { return v ? J(*v) : J(nullptr); };
  J out;
  out["a"] = nameA;
  out["b"] = nameB;
  out["dims"] = J::array();
  for (const DimDifference& d : c.dims)
    out["dims"].push_back({{"field", d.field}, {"a", SingleAsDouble(d.a)}, {"b", SingleAsDouble(d.b)}});
  out["full_travel"] = {{"a", c.travelA.Describe()}, {"b", c.travelB.Describe()},
                        {"a_sound", c.travelA.Sound()}, {"b_sound", c.travelB.Sound()}};
  out["settings"] = J::array();
  for (const ComparedSetting& s : c.settings) {
    J row = {{"side", s.forward ? "fwd" : "rev"}, {"cutoff", SingleAsDouble(s.cutOff)},
             {"travel_a", s.a ? J(static_cast<double>(s.a->setting.travel)) : J(nullptr)},
             {"travel_b", s.b ? J(static_cast<double>(s.b->setting.travel)) : J(nullptr)},
             {"verdict_a", VerdictOf(s.a)}, {"verdict_b", VerdictOf(s.b)}};
    for (size_t k = 0; k < SensQuantities().size(); ++k)
      row[SensQuantities()[k].id] = {{"a", num(s.figuresA[k])}, {"b", num(s.figuresB[k])}, {"b_minus_a", num(s.difference[k])}};
    out["settings"].push_back(row);
  }
  out["notes"] = c.notes;
  return out.dump(2) + "\n";
}

}  // namespace

std::string FormatComparison(const GearComparison& c, const std::string& format, const std::string& nameA,
                             const std::string& nameB) {
  if (format == "csv") return Csv(c);
  if (format == "json") return Json(c, nameA, nameB);
  return Text(c, nameA, nameB);
}

}  // namespace brevold

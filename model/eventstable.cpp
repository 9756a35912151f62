// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve-events table: the settings asked for, run on the sweeps' threads, or found by their mean cut-off.
#include "model/events.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "model/events_internal.h"
#include "model/parallel.h"
#include "model/state.h"

namespace brevold {

namespace {

using events_internal::RowSamples;
using events_internal::RowStep;
using events_internal::RunRow;

bool Cancelled(const EventRequest& r) { return Raised(r.cancel); }

EventTable TableOfSettings(ModelState& s, const EventRequest& r) {
  EventTable table{r.method, std::fabs(r.step), {}, false, {}};
  if (!(std::fabs(r.step) >= 0.01f && std::fabs(r.step) <= 180)) table.step = PortRowStep;
  EventRequest req = r;
  req.step = table.step;
  const Mechanism savedMech = s.mech;
  const ValveEvents savedValve = s.valve;

  // The settings in the table's order: each side asked for, and on it the
  // port diagram's rows or every value given (those of the other side are
  // passed over when their turn comes).
  struct Item {
    bool forward;
    int index;
    bool firstOfSide;
  };
  std::vector<Item> items;
  for (bool forward : {true, false}) {
    if (forward ? req.side == EventRequest::Reverse : req.side == EventRequest::Forward) continue;
    const int n = req.values.empty() ? PortRows : static_cast<int>(req.values.size());
    for (int i = 0; i < n; ++i) items.push_back({forward, i, i == 0});
  }
  // What happens to the state on the way into item k, before its setting is
  // placed: between the sides the reverse arm and driver go back as between
  // two drawings of the diagram; with values given, the gear's sense comes
  // from a solve at the setting as it stands.
  auto enter = [&](ModelState& st, size_t k) {
    if (!items[k].firstOfSide) return;
    if (k > 0) {
      st.mech.RevArmX = savedMech.RevArmX;
      st.mech.DrvAngle = savedMech.DrvAngle;
    } else if (!req.values.empty()) {
      Solve(st);
      PostCalc(st);
    }
  };
  // Item k's setting, in the sense of the last solve; none when a value
  // belongs to the other side.
  auto settingOf = [&](const ModelState& st, size_t k) -> std::optional<EventSetting> {
    const Item& it = items[k];
    if (req.values.empty()) {
      const LD d = it.index * static_cast<LD>(st.dims.frame.RevArmMax) / 18;
      return EventSetting{it.forward, PortRowRevArm(st, it.forward, it.index), it.forward ? d : -d};
    }
    const float v = req.values[static_cast<size_t>(it.index)];
    const LD cen = st.revArm.Positions[0];
    const bool same = SensePositive(st.mech);
    EventSetting set;
    if (req.valuesAreRevArm) {
      set.revArmX = v;
      set.travel = same ? v - cen : cen - v;
    } else {
      set.travel = v;
      set.revArmX = static_cast<float>(same ? cen + v : cen - v);
    }
    set.forward = set.travel >= 0;
    if (set.forward != it.forward) return std::nullopt;
    return set;
  };
  std::vector<std::optional<EventRow>> rows(items.size());
  std::atomic<int> done{0};
  const int total = static_cast<int>(items.size());
  auto runItem = [&](ModelState& st, int k) {
    const size_t i = static_cast<size_t>(k);
    rows[i].reset();
    if (Cancelled(req)) return;
    enter(st, i);
    if (const auto set = settingOf(st, i)) rows[i] = RunRow(st, *set, req);
    // A setting whose guessed start was wrong runs twice; the count stops at the total.
    if (req.progress) req.progress(std::min(++done, total), total);
  };

  UnitSweep units;
  units.units = static_cast<int>(items.size());
  units.run = runItem;
  // Where item k leaves the state, guessed from the start: a row's sweep
  // ends on a solve at its setting and its last angle; an item passed over
  // leaves the state as the one before it did.
  units.guessEnd = [&](ModelState& st, int k) {
    enter(st, 0);
    bool sidesChanged = false;
    for (size_t j = static_cast<size_t>(k) + 1; j-- > 0;) {
      if (const auto set = settingOf(st, j)) {
        st.mech.RevArmX = set->revArmX;
        st.mech.CalcStatus = 'Z';
        st.mech.DrvAngle = SweepPortRowEndAngle(RowStep(*set, req), RowSamples(req));
        Solve(st);
        PostCalc(st);
        break;
      }
      sidesChanged = sidesChanged || (items[j].firstOfSide && j > 0);
    }
    if (sidesChanged) {
      st.mech.RevArmX = savedMech.RevArmX;
      st.mech.DrvAngle = savedMech.DrvAngle;
    }
  };
  const UnitRun run = RunUnitsOn(s, units, SweepThreads());
  // The one lasting change a table can make on the pool: a zero radius-rod
  // lever replaced in the dimension set by the first solve.
  if (!run.end.empty()) s.dims.frame = run.end.back().frame;
  s.mech = savedMech;
  s.valve = savedValve;
  table.cancelled = Cancelled(req);
  for (auto& row : rows)
    if (row) table.rows.push_back(std::move(*row));
  return table;
}

// The travel on one side (forward: >= 0) whose row has the mean cut-off
// `target`, by regula falsi (the Illinois kind) between mid gear and full
// gear; the mean cut-off rises with the travel. Absent, with a note, when
// the gear does not reach it.
std::optional<float> TravelForCutOff(ModelState& s, const EventRequest& r, bool forward, float target,
                                     std::vector<std::string>& notes) {
  EventRequest q;
  q.side = forward ? EventRequest::Forward : EventRequest::Reverse;
  q.step = r.step;
  q.cancel = r.cancel;
  q.cutOffsOnly = true;
  const LD sign = forward ? 1 : -1;
  auto meanAt = [&](LD travel, EventMethod method) -> std::optional<LD> {
    // Mid gear itself counts as forward; the reverse side starts a hair off it.
    q.values = {static_cast<float>(sign * travel)};
    if (!forward && travel == 0) q.values[0] = -1e-30f;
    q.method = method;
    const EventTable t = TableOfSettings(s, q);
    if (t.rows.empty()) return std::nullopt;
    return MeanCutOff(t.rows.front()) - target;
  };
  // Regula falsi (the Illinois kind) between a and b, whose means lie either
  // side of the target. The reverse arm is a single, so the mean cut-off
  // moves in small steps: the probe nearest the target is the answer.
  auto solve = [&](LD a, LD b, std::optional<LD> fa, std::optional<LD> fb, EventMethod method,
                   LD tolerance) -> std::optional<LD> {
    int kept = 0;  // which end kept its value last time: halve its weight
    LD best = std::fabs(*fa) < std::fabs(*fb) ? a : b, bestErr = std::min(std::fabs(*fa), std::fabs(*fb));
    for (int n = 0; n < 60 && !Cancelled(r) && bestErr >= tolerance; ++n) {
      LD c = b - *fb * (b - a) / (*fb - *fa);
      if (!(c > a && c < b)) c = (a + b) / 2;
      const auto fc = meanAt(c, method);
      if (!fc) return std::nullopt;
      if (std::fabs(*fc) < bestErr) best = c, bestErr = std::fabs(*fc);
      if (b - a < 1e-7L) break;
      if ((*fc < 0) == (*fa < 0)) {
        a = c, fa = fc;
        if (kept == -1) *fb /= 2;
        kept = -1;
      } else {
        b = c, fb = fc;
        if (kept == 1) *fa /= 2;
        kept = 1;
      }
    }
    return best;
  };
  const char* side = forward ? "forward" : "reverse";
  const LD full = s.dims.frame.RevArmMax;
  // The sweep's own samples find the setting cheaply; the method asked for
  // then settles it within a narrow bracket about it.
  auto fa = meanAt(0, EventMethod::Step), fb = meanAt(full, EventMethod::Step);
  if (!fa || !fb) return std::nullopt;
  // Whether mid gear and full gear (their means less the target) lie either
  // side of the target; a note says which end the target lies beyond.
  auto reached = [&](LD atMid, LD atFull) {
    if (atMid <= 0 && atFull >= 0) return true;
    const bool below = atMid > 0;
    notes.push_back("cut-off " + Str(target, 1, 1) + " % " + (below ? "is below mid gear's" : "is beyond full gear's") +
                    " on the " + side + " side (" + Str((below ? atMid : atFull) + target, 1, 2) + " %)");
    return false;
  };
  if (!reached(*fa, *fb)) return std::nullopt;
  std::optional<LD> travel = solve(0, full, fa, fb, EventMethod::Step, 1e-3L);
  if (!travel || r.method == EventMethod::Step) return travel ? std::optional<float>(static_cast<float>(sign * *travel)) : std::nullopt;
  // A chord across a sample step misplaces a cut-off by well under 1 % of
  // stroke, a travel of under 0.01 at the steepest.
  LD a = std::max<LD>(0, *travel - 0.01L), b = std::min(full, *travel + 0.01L);
  auto ga = meanAt(a, r.method), gb = meanAt(b, r.method);
  if (!ga || !gb) return std::nullopt;
  if (!(*ga <= 0 && *gb >= 0)) {
    a = 0, b = full;
    ga = meanAt(a, r.method), gb = meanAt(b, r.method);
    if (!ga || !gb || !reached(*ga, *gb)) return std::nullopt;
  }
  travel = solve(a, b, ga, gb, r.method, 1e-4L);
  if (!travel) return std::nullopt;
  return static_cast<float>(sign * *travel);
}

}  // namespace

double MeanCutOff(const EventRow& row) {
  const double f = row.front.cutOff ? row.front.cutOff->percent : 100;
  const double r = row.rear.cutOff ? row.rear.cutOff->percent : 100;
  return (f + r) / 2;
}

EventTable ValveEventsTable(ModelState& s, const EventRequest& r) {
  if (r.cutOffs.empty()) return TableOfSettings(s, r);
  // Rows by cut-off: the travels first, then the table of those travels.
  std::vector<std::string> notes;
  EventRequest q = r;
  q.values.clear();
  q.valuesAreRevArm = false;
  // Each cut-off's search, forward side first. A search's tables put the
  // joints and the valve back as they found them, so every search starts
  // from the state as given and they run side by side on the sweeps' threads.
  struct Search {
    bool forward;
    float cutOff;
    std::optional<float> travel;
    std::vector<std::string> notes;
  };
  std::vector<Search> searches;
  for (bool forward : {true, false}) {
    if (forward ? r.side == EventRequest::Reverse : r.side == EventRequest::Forward) continue;
    for (float c : r.cutOffs) searches.push_back({forward, c, std::nullopt, {}});
  }
  auto search = [&](ModelState& st, int k) {
    Search& x = searches[static_cast<size_t>(k)];
    x.notes.clear();
    x.travel = TravelForCutOff(st, r, x.forward, x.cutOff, x.notes);
  };
  UnitSweep units;
  units.units = static_cast<int>(searches.size());
  units.run = search;
  // Where a search leaves the state: as it found it, but for a zero
  // radius-rod lever, which the first solve of all replaces in the
  // dimension set; a solve from the state as given says what it becomes.
  units.guessEnd = [](ModelState& st, int) {
    const Mechanism mech = st.mech;
    const ValveEvents valve = st.valve;
    Solve(st);
    st.mech = mech;
    st.valve = valve;
  };
  const UnitRun run = RunUnitsOn(s, units, SweepThreads());
  if (!run.end.empty()) s.dims.frame = run.end.back().frame;
  std::vector<std::pair<float, float>> asked;  // travel, cut-off
  for (Search& x : searches) {
    for (std::string& n : x.notes) notes.push_back(std::move(n));
    if (x.travel) asked.emplace_back(*x.travel, x.cutOff);
  }
  for (const auto& [travel, c] : asked) q.values.push_back(travel);
  q.cutOffs.clear();
  EventTable t;
  if (q.values.empty()) {
    t = EventTable{r.method, std::fabs(r.step), {}, false, {}};
    t.cancelled = Cancelled(r);
  } else {
    t = TableOfSettings(s, q);
  }
  // The rows come side by side in the order asked; match them by travel.
  for (EventRow& row : t.rows)
    for (const auto& [travel, c] : asked)
      if (static_cast<float>(row.setting.travel) == travel) row.targetCutOff = c;
  t.notes = std::move(notes);
  return t;
}

EventDifference FrontMinusRear(const EventRow& row) {
  auto diff = [](const std::optional<EventPoint>& f, const std::optional<EventPoint>& r) -> std::optional<double> {
    if (!f || !r) return std::nullopt;
    return f->percent - r->percent;
  };
  EventDifference d;
  d.admission = diff(row.front.admission, row.rear.admission);
  d.cutOff = diff(row.front.cutOff, row.rear.cutOff);
  d.release = diff(row.front.release, row.rear.release);
  d.compression = diff(row.front.compression, row.rear.compression);
  d.lead = row.front.lead - row.rear.lead;
  if (row.front.deadCentreLead && row.rear.deadCentreLead) d.deadCentreLead = *row.front.deadCentreLead - *row.rear.deadCentreLead;
  if (row.front.maxOpening && row.rear.maxOpening) d.maxOpening = *row.front.maxOpening - *row.rear.maxOpening;
  return d;
}

}  // namespace brevold

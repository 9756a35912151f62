// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Valve events by reverse-arm setting: the port diagram's sweep, and the
// table built on it, by linear interpolation on the sweep's grid or by
// bisection on the driver angle.
#include "model/events.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/parallel.h"
#include "model/state.h"

namespace brevold {

namespace {

float Opening(const ValveEvents& v, int kind) {
  switch (kind % 4) {
    case 0: return v.OpenSteamF;
    case 1: return v.OpenExhF;
    case 2: return v.OpenSteamR;
    default: return v.OpenExhR;
  }
}

// An opening has happened once the port's opening is >= 0, a closing once it is <= 0.
bool Happened(int kind, float opening) { return kind < 4 ? opening >= 0 : opening <= 0; }

void SolveAt(ModelState& s, LD angle) {
  s.mech.DrvAngle = WrapAngle(angle);
  Solve(s);
  PostCalc(s);
}

// Angles to 0..360 for the table.
double TableAngle(LD a) {
  LD w = std::fmod(a, 360.0L);
  if (w < 0) w += 360;
  return static_cast<double>(w);
}

double Percent(bool front, LD units) { return static_cast<double>(front ? units / 6.4L : (640 - units) / 6.4L); }

EventPoint Point(bool front, LD angle, LD units) { return {TableAngle(angle), Percent(front, units), units, 0}; }

// Bisection between a sample where the event has not happened and one where
// it has; bounded in solves, ends when the float driver angle cannot split
// the interval further or the interval is below 1e-6 degrees.
EventPoint Bisect(ModelState& s, const PortCrossing& k) {
  LD lo = k.beforeAngle, hi = k.afterAngle;
  for (int n = 0; n < 64 && std::fabs(hi - lo) > 1e-6L; ++n) {
    const LD mid = (lo + hi) / 2;
    const float w = WrapAngle(mid);
    if (w == WrapAngle(lo) || w == WrapAngle(hi)) break;
    SolveAt(s, mid);
    (Happened(k.kind, Opening(s.valve, k.kind)) ? hi : lo) = mid;
  }
  const LD at = (lo + hi) / 2;
  SolveAt(s, at);
  return Point(EventAtFront(k.kind), at, s.valve.PistonUnits);
}

// The largest value of f near a sample `at` of a sweep with step `step`, by a
// golden-section search over the two steps around it; never less than `best`.
LD RefineMax(ModelState& s, LD at, LD step, LD best, const std::function<LD(const ModelState&)>& f) {
  constexpr LD g = 0.6180339887498948482L;
  LD a = at - std::fabs(step), b = at + std::fabs(step);
  LD c = b - g * (b - a), d = a + g * (b - a);
  auto eval = [&](LD x) {
    SolveAt(s, x);
    return f(s);
  };
  LD fc = eval(c), fd = eval(d);
  for (int n = 0; n < 60 && b - a > 1e-7L; ++n) {
    if (fc > fd) {
      b = d, d = c, fd = fc;
      c = b - g * (b - a);
      fc = eval(c);
    } else {
      a = c, c = d, fc = fd;
      d = a + g * (b - a);
      fd = eval(d);
    }
  }
  return std::max({best, fc, fd});
}

struct Extreme {
  LD value = 0, angle = 0;
  bool seen = false;
  void Offer(LD v, LD a) {
    if (!seen || v > value) value = v, angle = a, seen = true;
  }
};

// A row's sampling: the driver turned by the request's step, forward or
// backward with the setting, once round and one step more.
float RowStep(const EventSetting& setting, const EventRequest& r) {
  return setting.forward ? std::fabs(r.step) : -std::fabs(r.step);
}
int RowSamples(const EventRequest& r) { return static_cast<int>(std::ceil(360 / std::fabs(r.step))) + 1; }

EventRow RunRow(ModelState& s, const EventSetting& setting, const EventRequest& r) {
  EventRow row;
  row.setting = setting;
  s.mech.RevArmX = setting.revArmX;
  // The guards report during the row whatever the error-beep setting, so
  // that the verdict sees them; the setting is put back with the row's end.
  const bool beep = s.mech.BeepOnError;
  TurnWatch watch;
  watch.Start(s);
  const float step = RowStep(setting, r);
  const int samples = RowSamples(r);

  std::array<std::optional<PortCrossing>, PortEventCount> last;
  Extreme steamF, steamR, dispMax, dispMin;
  LD unwrapped = 0;
  float prevAngle = 0;
  bool first = true;
  SweepPortRow(
      s, step, samples, [&](const PortCrossing& k) { last[static_cast<size_t>(k.kind)] = k; },
      [&](const ModelState& m) {
        // The same unwrapped angle the sweep interpolates on.
        if (first) {
          unwrapped = m.mech.DrvAngle;
          first = false;
        } else {
          LD d = static_cast<LD>(m.mech.DrvAngle) - prevAngle;
          if (step > 0 && d < 0) d += 360;
          if (step < 0 && d > 0) d -= 360;
          unwrapped += d;
        }
        prevAngle = m.mech.DrvAngle;
        watch.Sample(m);
        steamF.Offer(m.valve.OpenSteamF, unwrapped);
        steamR.Offer(m.valve.OpenSteamR, unwrapped);
        dispMax.Offer(m.valve.ValveDisp, unwrapped);
        dispMin.Offer(-static_cast<LD>(m.valve.ValveDisp), unwrapped);
      });
  row.sound = watch.Finish(s);

  // What follows solves elsewhere on the turn; the next row starts from the
  // state this row's sweep left, as the diagram's next row does.
  Mechanism keptMech = s.mech;
  keptMech.BeepOnError = beep;
  const ValveEvents keptValve = s.valve;
  const bool bisect = r.method == EventMethod::Bisection;
  // A guard or an abandoned search met while the events are located, on a
  // turn whose samples were sound, makes the row unsound too, at the angle
  // of the event being located (the flags stay raised once raised).
  auto late = [&](LD angle) {
    if (!row.sound.Sound() || !(s.mech.ErrFlag || s.mech.CalcStatus == 'E')) return;
    row.sound.fault = s.mech.CalcStatus == 'E' ? Fault::SearchAbandoned : Fault::GuardFired;
    row.sound.faultAngle = TableAngle(angle);
  };
  auto point = [&](int kind) -> std::optional<EventPoint> {
    const auto& k = last[static_cast<size_t>(kind)];
    if (!k) return std::nullopt;
    if (bisect && (!r.cutOffsOnly || kind == CutOffFront || kind == CutOffRear)) {
      const EventPoint p = Bisect(s, *k);
      late(k->angle);
      return p;
    }
    return Point(EventAtFront(kind), k->angle, k->piston);
  };
  row.front.admission = point(AdmissionFront);
  row.front.cutOff = point(CutOffFront);
  row.front.release = point(ReleaseFront);
  row.front.compression = point(CompressionFront);
  row.rear.admission = point(AdmissionRear);
  row.rear.cutOff = point(CutOffRear);
  row.rear.release = point(ReleaseRear);
  row.rear.compression = point(CompressionRear);

  LD maxF = steamF.value, maxR = steamR.value, hi = dispMax.value, lo = -dispMin.value;
  if (bisect && !r.cutOffsOnly) {
    maxF = RefineMax(s, steamF.angle, step, maxF, [](const ModelState& m) { return static_cast<LD>(m.valve.OpenSteamF); });
    maxR = RefineMax(s, steamR.angle, step, maxR, [](const ModelState& m) { return static_cast<LD>(m.valve.OpenSteamR); });
    hi = RefineMax(s, dispMax.angle, step, hi, [](const ModelState& m) { return static_cast<LD>(m.valve.ValveDisp); });
    lo = -RefineMax(s, dispMin.angle, step, -lo, [](const ModelState& m) { return -static_cast<LD>(m.valve.ValveDisp); });
    late(dispMin.angle);
  }
  // The port passes no more steam than its width lets through; beyond it
  // the valve edge over-travels the port.
  auto held = [](EndEvents& e, LD opening, float width) {
    if (!(opening > 0)) return;
    const LD w = std::fabs(static_cast<LD>(width));
    e.maxOpening = static_cast<double>(std::min(opening, w));
    e.overTravel = static_cast<double>(std::max(opening - w, 0.0L));
  };
  held(row.front, maxF, s.dims.CylValveDim[ValvePortWFront]);
  held(row.rear, maxR, s.dims.CylValveDim[ValvePortWRear]);
  row.valveTravel = static_cast<double>(hi - lo);
  SolveAt(s, 0);
  row.front.lead = s.valve.OpenSteamF;
  late(0);
  SolveAt(s, 180);
  row.rear.lead = s.valve.OpenSteamR;
  late(180);
  const DeadCentres dc = PistonDeadCentres(s);
  if (dc.front) {
    SolveAt(s, *dc.front);
    row.front.deadCentre = static_cast<double>(*dc.front);
    row.front.deadCentreLead = s.valve.OpenSteamF;
    late(*dc.front);
  }
  if (dc.rear) {
    SolveAt(s, *dc.rear);
    row.rear.deadCentre = static_cast<double>(*dc.rear);
    row.rear.deadCentreLead = s.valve.OpenSteamR;
    late(*dc.rear);
  }
  // Each event's crank angle from its own end's dead centre, the way the
  // driver turns at this setting.
  auto crank = [&](EndEvents& e, LD dead) {
    for (auto* p : {&e.admission, &e.cutOff, &e.release, &e.compression})
      if (*p) (*p)->crank = static_cast<double>(FromDeadCentre((*p)->angle, dead, setting.forward));
  };
  crank(row.front, dc.front.value_or(0));
  crank(row.rear, dc.rear.value_or(180));
  row.solveFailed = row.sound.fault == Fault::GuardFired || row.sound.fault == Fault::SearchAbandoned ||
                    s.mech.CalcStatus == 'E' || s.mech.ErrFlag;

  s.mech = keptMech;
  s.valve = keptValve;
  return row;
}

}  // namespace

float WrapAngle(LD angle) {
  while (angle > 360) angle -= 360;
  while (angle < 0) angle += 360;
  return static_cast<float>(angle);
}

float PortRowRevArm(const ModelState& s, bool forward, int row) {
  const LD cen = s.revArm.Positions[0], d = row * static_cast<LD>(s.dims.frame.RevArmMax) / 18;
  const bool same = SensePositive(s.mech);
  return static_cast<float>(forward == same ? cen + d : cen - d);
}

void SweepPortRow(ModelState& s, float step, int samples, const std::function<void(const PortCrossing&)>& onCrossing,
                  const std::function<void(const ModelState&)>& onSample) {
  s.mech.DrvAngle = 0;
  s.valve.PistonUnits = 0;
  std::array<float, 4> prev{};
  float prevPiston = 0;
  LD angle = 0, prevAngle = 0;
  for (int smp = 0; smp < samples; ++smp) {
    const float before = s.mech.DrvAngle;
    s.mech.DrvAngle = WrapAngle(static_cast<LD>(s.mech.DrvAngle) + step);
    // The angle unwrapped, so that an interpolation across 0 or 360 is plain.
    LD d = static_cast<LD>(s.mech.DrvAngle) - before;
    if (step > 0 && d < 0) d += 360;
    if (step < 0 && d > 0) d -= 360;
    angle = smp == 0 ? static_cast<LD>(s.mech.DrvAngle) : angle + d;
    Solve(s);
    PostCalc(s);
    if (onSample) onSample(s);
    const ValveEvents& v = s.valve;
    const std::array<float, 4> cur = {v.OpenSteamF, v.OpenExhF, v.OpenSteamR, v.OpenExhR};
    if (smp > 0) {
      for (int e = 0; e < PortEventCount; ++e) {
        const float c = cur[static_cast<size_t>(e % 4)], p = prev[static_cast<size_t>(e % 4)];
        const bool occurs = e < 4 ? (c >= 0 && p < 0) : (c <= 0 && p > 0);
        if (!occurs) continue;
        const LD o = c, op = p, pu = v.PistonUnits, pp = prevPiston;
        const LD frac = o / (op - o);
        onCrossing({e, smp, pu - frac * (pp - pu), angle - frac * (prevAngle - angle), prevAngle, angle});
      }
    }
    prevPiston = v.PistonUnits;
    prev = cur;
    prevAngle = angle;
  }
}

float SweepPortRowEndAngle(float step, int samples) {
  float angle = 0;
  for (int smp = 0; smp < samples; ++smp) angle = WrapAngle(static_cast<LD>(angle) + step);
  return angle;
}

namespace {

bool Cancelled(const EventRequest& r) { return r.cancel && r.cancel->load(std::memory_order_relaxed); }

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

  const int threads = SweepThreads();
  if (threads <= 1 || items.size() <= 1) {
    for (size_t k = 0; k < items.size(); ++k) runItem(s, static_cast<int>(k));
  } else {
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
    const UnitRun run = RunUnits(s, units, threads);
    // The one lasting change a table can make: a zero radius-rod lever
    // replaced in the dimension set by the first solve.
    s.dims.frame = run.end.back().frame;
  }
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

Soundness TurnSoundness(ModelState& s, float revArmX, bool forward, float step) {
  s.mech.RevArmX = revArmX;
  const bool beep = s.mech.BeepOnError;
  TurnWatch watch;
  watch.Start(s);
  const float st = forward ? std::fabs(step) : -std::fabs(step);
  const int samples = static_cast<int>(std::ceil(360 / std::fabs(step))) + 1;
  SweepPortRow(s, st, samples, [](const PortCrossing&) {}, [&](const ModelState& m) { watch.Sample(m); });
  s.mech.BeepOnError = beep;
  return watch.Finish(s);
}

TravelCheck FullTravelCheck(ModelState& s, float step, const std::atomic<bool>* cancel) {
  TravelCheck c;
  c.step = step;
  const Mechanism savedMech = s.mech;
  const ValveEvents savedValve = s.valve;
  s.mech.CalcStatus = 'Z';
  Solve(s);  // the gear's sense for the settings
  for (int side = 0; side < 2; ++side) {
    // Mid gear once, on the forward side.
    for (int row = side; row < PortRows; ++row) {
      if (cancel && cancel->load(std::memory_order_relaxed)) {
        c.cancelled = true;
        break;
      }
      const bool forward = side == 0;
      const Soundness v = TurnSoundness(s, PortRowRevArm(s, forward, row), forward, step);
      ++c.settings;
      if (v.Sound()) continue;
      ++c.unsound;
      if (!c.first) c.first.emplace((forward ? 1 : -1) * row * static_cast<double>(s.dims.frame.RevArmMax) / 18, v);
    }
  }
  s.mech = savedMech;
  s.valve = savedValve;
  return c;
}

std::string TravelCheck::Describe() const {
  const std::string grid = " (" + Str(step, 1, step < 1 ? 1 : 0) + "-degree grid)";
  if (cancelled) return "not finished" + grid;
  if (unsound == 0) return "sound at all " + std::to_string(settings) + " settings" + grid;
  std::string d = "unsound at " + std::to_string(unsound) + " of " + std::to_string(settings) + " settings" + grid;
  if (first)
    d += ", first at travel " + Str(first->first, 1, 2) + ": " + FaultName(first->second.fault) + " at " +
         Str(first->second.faultAngle, 1, 1) + " degrees";
  return d;
}

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
  std::vector<std::pair<float, float>> asked;  // travel, cut-off
  for (bool forward : {true, false}) {
    if (forward ? r.side == EventRequest::Reverse : r.side == EventRequest::Forward) continue;
    for (float c : r.cutOffs)
      if (const auto travel = TravelForCutOff(s, r, forward, c, notes)) asked.emplace_back(*travel, c);
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

namespace {

// The shortest text that reads back as the same double ("nan" for a value
// that is not finite), and as the same single.
std::string Num(double v) { return std::isfinite(v) ? ShortestText(v) : "nan"; }
std::string NumF(float v) { return ShortestText(v); }

}  // namespace

const std::vector<EventColumn>& EventColumns() {
  // The first seventeen are the table's first columns, kept in their order
  // for the scripts that read them; the others follow.
  static const std::vector<EventColumn> columns = {
      {"method", "Method", false},
      {"side", "Side", true},
      {"travel", "Travel", true},
      {"RevArmX", "Reverse arm X", false},
      {"end", "End", true},
      {"admission_angle", "Admission, driver (deg)", false},
      {"admission_pct", "Admission (% stroke)", false},
      {"cutoff_angle", "Cut-off, driver (deg)", false},
      {"cutoff_pct", "Cut-off (% stroke)", true},
      {"release_angle", "Release, driver (deg)", false},
      {"release_pct", "Release (% stroke)", true},
      {"compression_angle", "Compression, driver (deg)", false},
      {"compression_pct", "Compression (% stroke)", true},
      {"lead", "Lead at 0/180 deg", false},
      {"max_opening", "Largest opening", true},
      {"valve_travel", "Valve travel", true},
      {"solve_failed", "Geometry error", false},
      {"target_cutoff", "Cut-off asked (%)", false},
      {"verdict", "Soundness", true},
      {"fault_angle", "Fault at, driver (deg)", false},
      {"die_slip", "Die slip", false},
      {"die_margin", "Die to link end", false},
      {"dead_centre_angle", "Dead centre, driver (deg)", false},
      {"dead_centre_lead", "Lead at dead centre", true},
      {"admission_crank", "Admission from dead centre (deg)", true},
      {"cutoff_crank", "Cut-off from dead centre (deg)", false},
      {"release_crank", "Release from dead centre (deg)", false},
      {"compression_crank", "Compression from dead centre (deg)", false},
      {"over_travel", "Over-travel", false},
  };
  return columns;
}

std::vector<std::vector<std::string>> EventCells(const EventTable& t, EventCellStyle style) {
  const bool text = style == EventCellStyle::Text, json = style == EventCellStyle::Json;
  const std::string method = t.method == EventMethod::Step ? "step " + NumF(t.step) : "bisection";
  // Text is for reading: six figures.
  // JSON has no NaN or infinity: a figure the searches could not give is null.
  auto num = [&](double v) { return text ? Figures(v, 6) : json && !std::isfinite(v) ? "null" : brevold::Num(v); };
  const std::string absent = text ? "-" : json ? "null" : "";
  auto opt = [&](const std::optional<double>& v) { return v ? num(*v) : absent; };
  // A setting's travel (RevArmX less mid gear) and the steam-port openings
  // the solver gives are singles: the shortest text of the single.
  auto single = [&](double v) {
    return text ? Figures(v, 6) : std::isfinite(v) ? NumF(static_cast<float>(v)) : json ? "null" : "nan";
  };
  auto optSingle = [&](const std::optional<double>& v) { return v ? single(*v) : absent; };
  auto quoted = [&](const std::string& v) { return json ? "\"" + v + "\"" : v; };
  auto flag = [&](bool v) { return text ? (v ? "yes" : "no") : json ? (v ? "true" : "false") : (v ? "1" : "0"); };
  const size_t n = EventColumns().size();
  std::vector<std::vector<std::string>> lines;
  for (const EventRow& row : t.rows) {
    const EventDifference d = FrontMinusRear(row);
    for (int end = 0; end < 3; ++end) {
      std::vector<std::string> c(n);
      c[0] = quoted(method);
      c[1] = quoted(row.setting.forward ? "fwd" : "rev");
      c[2] = single(static_cast<double>(row.setting.travel));
      c[3] = text ? num(row.setting.revArmX) : single(row.setting.revArmX);
      c[4] = quoted(end == 0 ? "front" : end == 1 ? "rear" : "front-rear");
      if (end < 2) {
        const EndEvents& e = end == 0 ? row.front : row.rear;
        const std::optional<EventPoint>* ev[4] = {&e.admission, &e.cutOff, &e.release, &e.compression};
        for (size_t k = 0; k < 4; ++k) {
          c[5 + 2 * k] = *ev[k] ? num((*ev[k])->angle) : absent;
          c[6 + 2 * k] = *ev[k] ? num((*ev[k])->percent) : absent;
          c[24 + k] = *ev[k] ? num((*ev[k])->crank) : absent;
        }
        c[13] = single(e.lead);
        c[14] = optSingle(e.maxOpening);
        c[15] = num(row.valveTravel);
        c[22] = opt(e.deadCentre);
        c[23] = optSingle(e.deadCentreLead);
        c[28] = e.maxOpening ? num(e.overTravel) : absent;
      } else {
        const std::optional<double>* dv[4] = {&d.admission, &d.cutOff, &d.release, &d.compression};
        for (size_t k = 0; k < 4; ++k) {
          c[5 + 2 * k] = absent;
          c[6 + 2 * k] = opt(*dv[k]);
          c[24 + k] = absent;
        }
        c[13] = opt(d.lead);
        c[14] = opt(d.maxOpening);
        c[15] = absent;
        c[22] = absent;
        c[23] = opt(d.deadCentreLead);
        c[28] = absent;
      }
      c[16] = flag(row.solveFailed);
      c[17] = opt(row.targetCutOff);
      c[18] = quoted(FaultName(row.sound.fault));
      c[19] = row.sound.Sound() ? absent : num(row.sound.faultAngle);
      c[20] = num(row.sound.Slip());
      c[21] = num(row.sound.Margin());
      lines.push_back(std::move(c));
    }
  }
  return lines;
}

std::string FormatEvents(const EventTable& t, const std::string& format) {
  const bool csv = format == "csv", json = format == "json";
  const auto& columns = EventColumns();
  const size_t n = columns.size();
  const auto lines = EventCells(t, csv ? EventCellStyle::Csv : json ? EventCellStyle::Json : EventCellStyle::Text);
  std::string o;
  if (json) {
    for (const auto& c : lines) {
      o += '{';
      for (size_t k = 0; k < n; ++k) {
        if (k) o += ',';
        o += std::string("\"") + columns[k].id + "\":" + c[k];
      }
      o += "}\n";
    }
    return o;
  }
  if (csv) {
    for (size_t k = 0; k < n; ++k) o += std::string(k ? "," : "") + columns[k].id;
    o += '\n';
    for (const auto& c : lines) {
      for (size_t k = 0; k < n; ++k) o += (k ? "," : "") + c[k];
      o += '\n';
    }
    return o;
  }
  // Text: the same columns, aligned, with the method once at the top.
  const std::string method = t.method == EventMethod::Step ? "step " + NumF(t.step) : "bisection";
  o = "Valve events, method: " + method + (t.method == EventMethod::Step ? " degrees (linear between samples)"
                                                                        : " (driver angle to 1e-4 degrees or better)") + "\n";
  std::vector<size_t> width(n);
  for (size_t k = 1; k < n; ++k) {
    width[k] = std::strlen(columns[k].id);
    for (const auto& c : lines) width[k] = std::max(width[k], c[k].size());
  }
  auto line = [&](auto cell) {
    for (size_t k = 1; k < n; ++k) {
      const std::string v = cell(k);
      o += std::string(k > 1 ? 2 : 0, ' ') + std::string(width[k] - v.size(), ' ') + v;
    }
    o += '\n';
  };
  line([&](size_t k) { return std::string(columns[k].id); });
  for (const auto& c : lines) line([&](size_t k) { return c[k]; });
  for (const std::string& note : t.notes) o += "note: " + note + "\n";
  return o;
}

}  // namespace brevold

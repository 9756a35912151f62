// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The port diagram's sweep, and what one turn of it gives: a setting's row of
// valve events, by linear interpolation on the sweep's grid or by bisection
// on the driver angle, and the turn's soundness.
#include "model/events.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "model/events_internal.h"
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

}  // namespace

namespace events_internal {

float RowStep(const EventSetting& setting, const EventRequest& r) {
  return setting.forward ? std::fabs(r.step) : -std::fabs(r.step);
}
int RowSamples(const EventRequest& r) { return static_cast<int>(std::ceil(360 / std::fabs(r.step))) + 1; }

std::optional<EventRow> RunRow(ModelState& s, const EventSetting& setting, const EventRequest& r) {
  const auto cancelled = [&r] { return Raised(r.cancel); };
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
  const bool swept = SweepPortRow(
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
      },
      r.cancel);
  row.sound = watch.Finish(s);
  if (!swept) return std::nullopt;

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
    if (!k || cancelled()) return std::nullopt;
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

  if (cancelled()) return std::nullopt;
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
  if (cancelled()) return std::nullopt;
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

}  // namespace events_internal

float WrapAngle(LD angle) {
  while (angle > 360) angle -= 360;
  while (angle < 0) angle += 360;
  return static_cast<float>(angle);
}

void SolveAt(ModelState& s, LD angle) {
  s.mech.DrvAngle = WrapAngle(angle);
  Solve(s);
  PostCalc(s);
}

float PortRowRevArm(const ModelState& s, bool forward, int row) {
  const LD cen = s.revArm.Positions[0], d = row * static_cast<LD>(s.dims.frame.RevArmMax) / 18;
  const bool same = SensePositive(s.mech);
  return static_cast<float>(forward == same ? cen + d : cen - d);
}

bool SweepPortRow(ModelState& s, float step, int samples, const std::function<void(const PortCrossing&)>& onCrossing,
                  const std::function<void(const ModelState&)>& onSample, const std::atomic<bool>* cancel) {
  s.mech.DrvAngle = 0;
  s.valve.PistonUnits = 0;
  std::array<float, 4> prev{};
  float prevPiston = 0;
  LD angle = 0, prevAngle = 0;
  for (int smp = 0; smp < samples; ++smp) {
    if (Raised(cancel)) return false;
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
  return true;
}

float SweepPortRowEndAngle(float step, int samples) {
  float angle = 0;
  for (int smp = 0; smp < samples; ++smp) angle = WrapAngle(static_cast<LD>(angle) + step);
  return angle;
}

std::optional<Soundness> TurnSoundness(ModelState& s, float revArmX, bool forward, float step,
                                       const std::atomic<bool>* cancel) {
  s.mech.RevArmX = revArmX;
  const bool beep = s.mech.BeepOnError;
  TurnWatch watch;
  watch.Start(s);
  const float st = forward ? std::fabs(step) : -std::fabs(step);
  const int samples = static_cast<int>(std::ceil(360 / std::fabs(step))) + 1;
  const bool turned =
      SweepPortRow(s, st, samples, [](const PortCrossing&) {}, [&](const ModelState& m) { watch.Sample(m); }, cancel);
  s.mech.BeepOnError = beep;
  const Soundness verdict = watch.Finish(s);
  if (!turned) return std::nullopt;
  return verdict;
}

TravelCheck FullTravelCheck(ModelState& s, float step, const std::atomic<bool>* cancel) {
  TravelCheck c;
  c.step = step;
  const Mechanism savedMech = s.mech;
  const ValveEvents savedValve = s.valve;
  s.mech.CalcStatus = 'Z';
  Solve(s);  // the gear's sense for the settings
  // The settings in turn: the forward side from mid gear out, then the
  // reverse side (mid gear once, on the forward side).
  struct Setting {
    bool forward;
    int row;
  };
  std::vector<Setting> settings;
  for (int side = 0; side < 2; ++side)
    for (int row = side; row < PortRows; ++row) settings.push_back({side == 0, row});
  const int count = static_cast<int>(settings.size());
  const int samples = static_cast<int>(std::ceil(360 / std::fabs(step))) + 1;
  // Each turn starts from where the one before left the joints; a setting
  // not turned (the cancel flag was up) has no verdict.
  std::vector<std::optional<Soundness>> verdicts(settings.size());
  auto turn = [&](ModelState& w, int k) {
    const Setting& at = settings[static_cast<size_t>(k)];
    verdicts[static_cast<size_t>(k)].reset();
    if (Raised(cancel)) return;
    verdicts[static_cast<size_t>(k)] = TurnSoundness(w, PortRowRevArm(w, at.forward, at.row), at.forward, step, cancel);
  };
  UnitSweep units;
  units.units = count;
  units.run = turn;
  // A turn ends on a solve at its setting and its last angle.
  units.guessEnd = [&](ModelState& w, int k) {
    const Setting& at = settings[static_cast<size_t>(k)];
    w.mech.RevArmX = PortRowRevArm(w, at.forward, at.row);
    w.mech.DrvAngle = SweepPortRowEndAngle(at.forward ? std::fabs(step) : -std::fabs(step), samples);
    Solve(w);
    PostCalc(w);
  };
  const UnitRun run = RunUnitsOn(s, units, SweepThreads());
  // What stays of the turns on the pool: a zero radius-rod lever the first solve replaced.
  if (!run.end.empty()) s.dims.frame = run.end.back().frame;
  for (size_t k = 0; k < settings.size(); ++k) {
    if (!verdicts[k]) {
      c.cancelled = true;
      break;
    }
    ++c.settings;
    const Soundness& v = *verdicts[k];
    if (v.Sound()) continue;
    ++c.unsound;
    if (!c.first) {
      const double sign = settings[k].forward ? 1 : -1;
      c.first.emplace(sign * settings[k].row * static_cast<double>(s.dims.frame.RevArmMax) / 18, v);
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

}  // namespace brevold

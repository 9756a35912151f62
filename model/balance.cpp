// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Balancing the valve events: the objective of a candidate gear from its
// events table and its sweeps, the dimensions it may move and the settings
// it is balanced over.
#include "model/balance.h"

#include <algorithm>
#include <cmath>

#include "model/balance_internal.h"
#include "model/parallel.h"
#include "model/state.h"

namespace brevold {

namespace {

using balance_internal::Judge;
using balance_internal::Judged;
using balance_internal::LeadUnit;
using balance_internal::OnSide;
using balance_internal::Score;

double DeadCentreLead(const EndEvents& e) { return e.deadCentreLead.value_or(e.lead); }
double CutPercent(const std::optional<EventPoint>& p) { return p ? p->percent : 100; }

}  // namespace

namespace balance_internal {

std::optional<EventRow> RowAt(ModelState& s, const BalanceRequest& r, float travel, const std::atomic<bool>* cancel) {
  EventRequest q;
  q.side = travel >= 0 ? EventRequest::Forward : EventRequest::Reverse;
  q.values = {travel};
  q.method = r.method;
  q.step = r.step;
  q.cancel = cancel;
  EventTable t = ValveEventsTable(s, q);
  if (t.rows.empty()) return std::nullopt;
  return t.rows.front();
}

std::vector<float> FullGear(const ModelState& s, const BalanceRequest& r) {
  std::vector<float> v;
  const float full = s.dims.frame.RevArmMax;
  for (float t : {full, -full})
    if (OnSide(t, r.side)) v.push_back(t);
  return v;
}

std::optional<Judged> Judge(ModelState& s, const BalanceRequest& r, const std::vector<float>& travels,
                            const std::atomic<bool>* cancel) {
  Mechanism& m = s.mech;
  SolveAtMidGear(s);
  Judged j;
  j.travel = FullTravelCheck(s, PortRowStep, cancel);
  if (j.travel.cancelled) return std::nullopt;
  m.RevArmX = s.revArm.Positions[0];
  m.DrvAngle = 0;
  // The balanced travels, then full gear. Each row's table puts the joints
  // and the valve back as it found them, so every row starts where the
  // first does and the rows run on the sweeps' threads from that one state.
  std::vector<float> at = travels;
  for (float v : FullGear(s, r)) at.push_back(v);
  std::vector<std::optional<EventRow>> rows(at.size());
  auto row = [&](ModelState& w, int k) {
    rows[static_cast<size_t>(k)].reset();
    if (!Raised(cancel)) rows[static_cast<size_t>(k)] = RowAt(w, r, at[static_cast<size_t>(k)], cancel);
  };
  UnitSweep units;
  units.units = static_cast<int>(at.size());
  units.run = row;
  units.guessEnd = [](ModelState&, int) {};
  for (const SolvedState& end : RunUnitsOn(s, units, SweepThreads()).end) Restore(s, end);
  for (size_t k = 0; k < rows.size(); ++k) {
    if (!rows[k]) return std::nullopt;
    (k < travels.size() ? j.rows : j.fullGear).push_back(std::move(*rows[k]));
  }
  return j;
}

BalanceScore Score(const Judged& j, const Judged* before, const BalanceRequest& r, double leadUnit, const ModelState& s) {
  BalanceScore sc;
  const BalanceWeights& w = r.weights;
  auto spread = [](std::optional<double>& to, double d) { to = std::max(to.value_or(0), std::fabs(d)); };
  auto leadPct = [&](double l) { return 100 * l / leadUnit; };
  const double widthF = std::fabs(s.dims.CylValveDim[ValvePortWFront]), widthR = std::fabs(s.dims.CylValveDim[ValvePortWRear]);
  const bool holdAndLoss = before && before->rows.size() == j.rows.size() && before->fullGear.size() == j.fullGear.size();
  for (size_t i = 0; i < j.rows.size(); ++i) {
    const EventRow& row = j.rows[i];
    const EventDifference d = FrontMinusRear(row);
    const std::pair<const std::optional<double>*, double> terms[] = {
        {&d.cutOff, w.cutOff}, {&d.release, w.release}, {&d.compression, w.compression}};
    std::optional<double>* spreads[] = {&sc.spread.cutOff, &sc.spread.release, &sc.spread.compression};
    for (size_t k = 0; k < 3; ++k) {
      const auto& [diff, weight] = terms[k];
      if (*diff && std::isfinite(**diff)) {
        sc.objective += weight * **diff * **diff;
        spread(*spreads[k], **diff);
      } else if (weight != 0) {
        sc.objective += weight * AbsentEventDifference * AbsentEventDifference;
        ++sc.absentEvents;
      }
    }
    const double lf = DeadCentreLead(row.front), lr = DeadCentreLead(row.rear);
    const double lead = lf - lr;
    sc.objective += w.lead * leadPct(lead) * leadPct(lead);
    spread(sc.spread.lead, lead);
    if (holdAndLoss) {
      const EventRow& b = before->rows[i];
      const double hf = leadPct(lf - DeadCentreLead(b.front)), hr = leadPct(lr - DeadCentreLead(b.rear));
      sc.objective += w.leadHold * (hf * hf + hr * hr) / 2;
      if (!r.allowLoss) {
        const std::pair<const EndEvents*, const EndEvents*> ends[] = {{&row.front, &b.front}, {&row.rear, &b.rear}};
        for (size_t e = 0; e < 2; ++e) {
          const double now = ends[e].first->maxOpening.value_or(0), was = ends[e].second->maxOpening.value_or(0);
          const double excess = 100 * (was * (1 - r.openingMargin) - now) / (e == 0 ? widthF : widthR);
          if (excess > 0) {
            sc.objective += r.lossWeight * excess * excess;
            ++sc.losses;
          }
        }
      }
    }
    if (r.leadBand) {
      for (double l : {lf, lr}) {
        const double out = l < r.leadBand->first ? r.leadBand->first - l : l > r.leadBand->second ? l - r.leadBand->second : 0;
        sc.objective += r.leadBandWeight * out * out;
      }
    }
    if (row.solveFailed || !row.sound.Sound()) {
      sc.objective += SettingErrorPenalty;
      ++sc.errorSettings;
    }
  }
  for (size_t i = 0; i < j.fullGear.size(); ++i) {
    const EventRow& row = j.fullGear[i];
    if (r.minFullGearCutOff) {
      for (const auto* cut : {&row.front.cutOff, &row.rear.cutOff}) {
        const double short_ = std::max(0.0, *r.minFullGearCutOff - (*cut ? (*cut)->percent : 0.0));
        sc.objective += r.fullGearWeight * short_ * short_;
      }
    }
    if (holdAndLoss && !r.allowLoss) {
      const EventRow& b = before->fullGear[i];
      for (const auto& [now, was] : {std::pair(&row.front.cutOff, &b.front.cutOff), std::pair(&row.rear.cutOff, &b.rear.cutOff)}) {
        const double excess = CutPercent(*was) - CutPercent(*now) - r.fullGearMargin;
        if (excess > 0) {
          sc.objective += r.lossWeight * excess * excess;
          ++sc.losses;
        }
      }
    }
  }
  sc.sweepErrors = j.travel.unsound;
  if (sc.Rejected()) sc.objective += RejectedPenalty + RejectedPerSetting * sc.sweepErrors;
  if (!std::isfinite(sc.objective)) sc.objective = 1e12;
  return sc;
}

double LeadUnit(const ModelState& start, const BalanceRequest& r) {
  ModelState s = start;
  SolveAtMidGear(s);
  const std::optional<EventRow> mid = RowAt(s, r, 0, nullptr);
  const double u = mid ? mid->valveTravel / 2 : 0;
  return std::isfinite(u) && u > 1e-6 ? u : 1;
}

}  // namespace balance_internal

std::string ResolveBalanceDims(const ModelState& s, const std::vector<BalanceVary>& vary, std::vector<BalanceDim>& out) {
  std::vector<BalanceDim> dims;
  for (const BalanceVary& v : vary) {
    const DimInfo* info = nullptr;
    if (!v.key.empty() && v.key.size() < 6 && v.key.find_first_not_of("0123456789") == std::string::npos)
      info = FindDim(std::stoi(v.key));
    else
      info = FindDimByField(v.key);
    if (!info) return "unknown dimension key '" + v.key + "'";
    for (const BalanceDim& d : dims)
      if (d.id == info->id) return "dimension '" + v.key + "' named twice";
    BalanceDim d{info->id, info->field, info->shortName, 0, 0};
    const double now = GetDim(s, info->id);
    if (v.bounds == BalanceVary::Interval) {
      d.lo = v.a, d.hi = v.b;
    } else {
      const double half = v.bounds == BalanceVary::PlusMinus ? v.a
                                                              : std::max(DefaultBoundFraction * std::fabs(now), DefaultBoundMinimum);
      d.lo = now - half, d.hi = now + half;
    }
    if (!(std::isfinite(d.lo) && std::isfinite(d.hi) && d.lo < d.hi))
      return "dimension '" + v.key + "' has no room to move between its bounds";
    dims.push_back(d);
  }
  if (dims.empty()) return "no dimension to vary";
  out = dims;
  return "";
}

std::vector<float> BalanceTravels(const ModelState& start, const BalanceRequest& r, const std::atomic<bool>* cancel) {
  std::vector<float> kept;
  if (!r.notches.empty()) {
    for (bool forward : {true, false})
      for (float v : r.notches)
        if ((v >= 0) == forward && OnSide(v, r.side)) kept.push_back(v);
    return kept;
  }
  ModelState s = start;
  SolveAtMidGear(s);
  EventRequest q;
  q.side = r.side;
  q.cutOffs = r.cutOffs;
  // The step method finds the travels quickly; the cut-offs balanced are
  // then those of the request's method at these travels.
  q.method = EventMethod::Step;
  q.step = r.step;
  q.cancel = cancel;
  for (const EventRow& row : ValveEventsTable(s, q).rows) kept.push_back(static_cast<float>(row.setting.travel));
  return kept;
}

EventRequest BalanceEvents(const std::vector<float>& travels, const BalanceRequest& r) {
  EventRequest q;
  q.side = r.side;
  q.values = travels;
  q.method = r.method;
  q.step = r.step;
  return q;
}

BalanceScore BalanceObjective(const ModelState& s, const BalanceRequest& r) {
  ModelState work = s;
  const std::vector<float> travels = BalanceTravels(s, r);
  const std::optional<Judged> j = Judge(work, r, travels, nullptr);
  return Score(*j, nullptr, r, LeadUnit(s, r), s);
}

}  // namespace brevold

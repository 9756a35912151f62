// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The balancing search: BOBYQA on the dimensions scaled to 0..1, its best gear checked on the fine grid and compared.
#include "model/balance.h"

#include <nlopt.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "model/balance_internal.h"
#include "model/sensitivity.h"
#include "model/state.h"

namespace brevold {

namespace {

using balance_internal::FullGear;
using balance_internal::Judge;
using balance_internal::Judged;
using balance_internal::LeadUnit;
using balance_internal::OnSide;
using balance_internal::RowAt;
using balance_internal::Score;

// The single a dimension stores for v, held within its bounds.
float Stored(double v, const BalanceDim& d) {
  float f = static_cast<float>(std::clamp(v, d.lo, d.hi));
  if (f < d.lo) f = std::nextafter(f, INFINITY);
  if (f > d.hi) f = std::nextafter(f, -INFINITY);
  return f;
}

// Fresh local searches from the best gear after the first, at most.
constexpr int kRestarts = 3;

// A fixed point of the bounds for start k >= 1, spread by the golden ratio's
// multiples so that starts and dimensions do not line up.
double SpreadPoint(int k, size_t dim) {
  const double step = 0.6180339887498949 / static_cast<double>(dim + 1) + 0.1 * static_cast<double>(dim);
  return 0.1 + 0.8 * std::fmod(0.5 + k * step, 1.0);
}

// The gear with the result's values, mid gear found, reverse arm there.
ModelState GearWith(const ModelState& start, const std::vector<BalanceDim>& dims, const std::vector<float>& values) {
  ModelState g = start;
  for (size_t i = 0; i < dims.size(); ++i) {
    SetDim(g, dims[i].id, values[i]);
    FollowFixedPivot(g, dims[i].id);
  }
  SolveAtMidGear(g);
  g.mech.RevArmX = g.revArm.Positions[0];
  return g;
}

// The rows a designer compares: the request's cut-offs on the sides
// balanced, then full gear.
EventTable CompareRows(ModelState g, const BalanceRequest& r, const std::atomic<bool>* cancel) {
  EventRequest q;
  q.side = r.side;
  q.cutOffs = r.cutOffs;
  q.method = r.method;
  q.step = r.step;
  q.cancel = cancel;
  EventTable t = ValveEventsTable(g, q);
  for (float v : FullGear(g, r))
    if (const auto row = RowAt(g, r, v, cancel)) t.rows.push_back(*row);
  if (const auto row = RowAt(g, r, 0, cancel)) t.rows.push_back(*row);
  return t;
}

// What changed that the objective did not ask for, from the rows compared.
std::vector<BalanceChange> Changes(const EventTable& b, const EventTable& a, const BalanceRequest& r) {
  std::vector<BalanceChange> out;
  // Full gear: the rows not asked for by cut-off, away from mid gear.
  auto find = [](const EventTable& t, bool forward, bool full) -> const EventRow* {
    for (const EventRow& row : t.rows)
      if (row.setting.forward == forward && full == !row.targetCutOff && row.setting.travel != 0) return &row;
    return nullptr;
  };
  auto midGear = [](const EventTable& t) -> const EventRow* {
    for (const EventRow& row : t.rows)
      if (!row.targetCutOff && row.setting.travel == 0) return &row;
    return nullptr;
  };
  {
    const EventRow *mb = midGear(b), *ma = midGear(a);
    auto lead = [](const EventRow* row, bool front) -> std::optional<double> {
      if (!row) return std::nullopt;
      return (front ? row->front : row->rear).deadCentreLead;
    };
    out.push_back({"mid gear: lead front", lead(mb, true), lead(ma, true)});
    out.push_back({"mid gear: lead rear", lead(mb, false), lead(ma, false)});
  }
  auto smallestOpening = [&](const EventTable& t, bool forward, bool front) -> std::optional<double> {
    std::optional<double> m;
    for (const EventRow& row : t.rows)
      if (row.setting.forward == forward && row.targetCutOff) {
        const auto& o = (front ? row.front : row.rear).maxOpening;
        m = std::min(m.value_or(HUGE_VAL), o.value_or(0));
      }
    return m;
  };
  for (bool forward : {true, false}) {
    if (!OnSide(forward ? 1.0f : -1.0f, r.side)) continue;
    const std::string side = forward ? "fwd" : "rev";
    const EventRow *fb = find(b, forward, true), *fa = find(a, forward, true);
    auto cut = [](const EventRow* row, bool front) -> std::optional<double> {
      if (!row) return std::nullopt;
      const auto& p = front ? row->front.cutOff : row->rear.cutOff;
      return p ? std::optional<double>(p->percent) : std::nullopt;
    };
    auto value = [](const EventRow* row, auto f) -> std::optional<double> {
      if (!row) return std::nullopt;
      return f(*row);
    };
    out.push_back({side + " full gear: cut-off front (%)", cut(fb, true), cut(fa, true)});
    out.push_back({side + " full gear: cut-off rear (%)", cut(fb, false), cut(fa, false)});
    auto open = [](bool front) {
      return [front](const EventRow& row) { return (front ? row.front : row.rear).maxOpening; };
    };
    out.push_back({side + " full gear: opening front", value(fb, open(true)), value(fa, open(true))});
    out.push_back({side + " full gear: opening rear", value(fb, open(false)), value(fa, open(false))});
    out.push_back({side + " notches: least opening front", smallestOpening(b, forward, true),
                   smallestOpening(a, forward, true)});
    out.push_back({side + " notches: least opening rear", smallestOpening(b, forward, false),
                   smallestOpening(a, forward, false)});
    auto travel = [](const EventRow& row) { return std::optional<double>(row.valveTravel); };
    out.push_back({side + " full gear: valve travel", value(fb, travel), value(fa, travel)});
    auto slip = [](const EventRow& row) { return std::optional<double>(row.sound.Slip()); };
    auto margin = [](const EventRow& row) { return std::optional<double>(row.sound.Margin()); };
    out.push_back({side + " full gear: die slip", value(fb, slip), value(fa, slip)});
    out.push_back({side + " full gear: die to link end", value(fb, margin), value(fa, margin)});
  }
  return out;
}

}  // namespace

BalanceResult Balance(const ModelState& start, const BalanceRequest& r, const std::atomic<bool>* cancel,
                      const std::function<void(int, double)>& progress) {
  const auto t0 = std::chrono::steady_clock::now();
  BalanceResult res;
  auto finish = [&](BalanceResult::Stop stop) {
    res.stop = stop;
    res.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return res;
  };
  std::vector<BalanceDim> dims;
  res.message = ResolveBalanceDims(start, r.vary, dims);
  if (!res.message.empty()) return finish(BalanceResult::Failed);
  res.travels = BalanceTravels(start, r, cancel);
  if (Raised(cancel)) {
    res.message = "cancelled before the gear as given was judged";
    return finish(BalanceResult::Cancelled);
  }
  if (res.travels.empty()) {
    res.message = "no setting to balance over on the side asked for";
    return finish(BalanceResult::Failed);
  }
  const double leadUnit = LeadUnit(start, r);
  const size_t n = dims.size();
  std::vector<float> today(n);
  for (size_t i = 0; i < n; ++i) {
    today[i] = GetDim(start, dims[i].id);
    res.dims.push_back({dims[i], today[i], today[i], false});
  }

  // Every evaluation starts from the gear as given, so that the objective of
  // a set of values does not depend on what was tried before it.
  std::map<std::vector<float>, BalanceScore> seen;
  std::map<std::vector<float>, bool> failedFine;  // candidates the fine grid found unsound
  std::optional<Judged> beforeJudged;
  bool cancelled = false, spent = false;
  long calls = 0;  // repeats of a value already judged cost nothing, but are bounded too
  std::optional<BalanceScore> best;
  std::vector<float> bestValues;
  auto inBounds = [&](const std::vector<float>& values) {
    for (size_t i = 0; i < n; ++i)
      if (!(values[i] >= dims[i].lo && values[i] <= dims[i].hi)) return false;
    return true;
  };
  // A gear the full sweep rejects is never preferred to one it passes.
  auto better = [](const BalanceScore& a, const BalanceScore& b) {
    return std::pair(a.Rejected(), a.objective) < std::pair(b.Rejected(), b.objective);
  };
  auto judge = [&](const std::vector<float>& values) -> std::optional<BalanceScore> {
    if (auto it = seen.find(values); it != seen.end() && ++calls <= 10L * r.maxEvaluations) return it->second;
    if (res.evaluations >= r.maxEvaluations || calls > 10L * r.maxEvaluations) {
      spent = true;
      return std::nullopt;
    }
    ModelState work = start;
    for (size_t i = 0; i < n; ++i) SetDim(work, dims[i].id, values[i]);
    std::optional<Judged> j = Judge(work, r, res.travels, cancel);
    if (!j) {
      cancelled = true;
      return std::nullopt;
    }
    if (!beforeJudged) beforeJudged = *j;
    const BalanceScore sc = Score(*j, &*beforeJudged, r, leadUnit, start);
    ++res.evaluations;
    seen.emplace(values, sc);
    if (inBounds(values) && (!best || better(sc, *best))) {
      best = sc;
      bestValues = values;
    }
    if (progress) progress(res.evaluations, best ? best->objective : sc.objective);
    return sc;
  };

  const std::optional<BalanceScore> before = judge(today);
  if (!before) {
    res.message = cancelled ? "cancelled before the gear as given was judged" : "no evaluation allowed";
    return finish(cancelled ? BalanceResult::Cancelled : BalanceResult::Budget);
  }
  res.before = *before;

  // The search on the dimensions scaled to 0..1 of their bounds.
  auto valuesOf = [&](const std::vector<double>& u) {
    std::vector<float> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = Stored(dims[i].lo + u[i] * (dims[i].hi - dims[i].lo), dims[i]);
    return v;
  };
  nlopt::opt opt(n >= 2 ? nlopt::LN_BOBYQA : nlopt::LN_SBPLX, static_cast<unsigned>(n));
  opt.set_lower_bounds(0.0);
  opt.set_upper_bounds(1.0);
  opt.set_xtol_abs(r.tolerance);
  opt.set_initial_step(0.1);
  std::function<double(const double*)> objective = [&](const double* u) {
    const std::vector<float> v = valuesOf(std::vector<double>(u, u + n));
    std::optional<BalanceScore> sc = judge(v);
    if (!sc) {
      opt.force_stop();
      return HUGE_VAL;
    }
    // A candidate the fine grid found unsound is a wall like the coarse one.
    if (failedFine.count(v)) return sc->objective + RejectedPenalty;
    return sc->objective;
  };
  opt.set_min_objective(
      [](unsigned, const double* u, double*, void* data) { return (*static_cast<std::function<double(const double*)>*>(data))(u); },
      &objective);

  BalanceResult::Stop stop = BalanceResult::Tolerance;
  auto unitOf = [&](const std::vector<float>& v) {
    std::vector<double> u(n);
    for (size_t i = 0; i < n; ++i) u[i] = std::clamp((v[i] - dims[i].lo) / (dims[i].hi - dims[i].lo), 0.0, 1.0);
    return u;
  };
  auto search = [&](const std::vector<double>& from) {
    std::vector<double> u = from;
    double f = 0;
    try {
      opt.optimize(u, f);
    } catch (const nlopt::forced_stop&) {
    } catch (const nlopt::roundoff_limited&) {
      // No step the gear's single precision can tell apart is left: as
      // good as converged.
    } catch (const std::exception& e) {
      res.message = e.what();
      stop = BalanceResult::Failed;
    }
    if (cancelled) stop = BalanceResult::Cancelled;
    else if (spent && stop != BalanceResult::Failed) stop = BalanceResult::Budget;
  };
  for (int k = 0; k < std::max(1, r.starts) && stop == BalanceResult::Tolerance; ++k) {
    std::vector<double> u(n);
    for (size_t i = 0; i < n; ++i) u[i] = k == 0 ? unitOf(today)[i] : SpreadPoint(k, i);
    // A search that ends against the wall of unsound gears has spoilt its
    // model of the objective there; one begun afresh from the best gear so
    // far often goes on along the wall. Restarted while that pays.
    for (int restart = 0; restart <= kRestarts && stop == BalanceResult::Tolerance; ++restart) {
      const double had = best ? best->objective : HUGE_VAL;
      if (restart > 0) {
        if (!best) break;
        u = unitOf(bestValues);
      }
      search(u);
      if (restart > 0 && !(best && best->objective < had * (1 - 1e-3))) break;
    }
  }

  // The best gear is checked on the fine grid over the whole travel; one
  // that fails there is passed over, and the search goes on from the best
  // of the others while evaluations are left.
  ModelState given = start;
  SolveAtMidGear(given);
  res.verifiedBefore = FullTravelCheck(given, r.verifyStep, cancel);
  auto bestLeft = [&]() -> std::optional<std::pair<std::vector<float>, BalanceScore>> {
    std::optional<std::pair<std::vector<float>, BalanceScore>> b;
    for (const auto& [v, sc] : seen)
      if (inBounds(v) && !failedFine.count(v) && !sc.Rejected() && (!b || better(sc, b->second))) b.emplace(v, sc);
    return b;
  };
  std::optional<std::pair<std::vector<float>, BalanceScore>> chosen;
  for (int round = 0; round < 6 && !Raised(cancel); ++round) {
    chosen = bestLeft();
    if (!chosen) break;
    if (chosen->first == today && res.verifiedBefore.Sound()) {
      res.verified = res.verifiedBefore;
      break;
    }
    ModelState g = GearWith(start, dims, chosen->first);
    res.verified = FullTravelCheck(g, r.verifyStep, cancel);
    if (res.verified.Sound() || res.verified.cancelled) break;
    failedFine[chosen->first] = true;
    ++res.failedVerification;
    chosen.reset();
    if (!spent && !cancelled && stop != BalanceResult::Failed) {
      if (const auto next = bestLeft()) search(unitOf(next->first));
    }
  }
  if (Raised(cancel)) stop = BalanceResult::Cancelled;

  if (chosen) {
    res.after = chosen->second;
    for (size_t i = 0; i < n; ++i) {
      BalanceDimResult& d = res.dims[i];
      d.after = chosen->first[i];
      const double near = 1e-3 * (d.dim.hi - d.dim.lo);
      d.atBound = d.after - d.dim.lo <= near || d.dim.hi - d.after <= near;
    }
  } else {
    // Nothing sound was found: the gear stays as it was.
    res.after = res.before;
    res.verified = res.verifiedBefore;
  }
  if (stop == BalanceResult::Failed) return finish(stop);

  std::vector<float> afterValues(n);
  for (size_t i = 0; i < n; ++i) afterValues[i] = static_cast<float>(res.dims[i].after);
  const bool gained = res.after.objective < res.before.objective * (1 - 1e-3) && afterValues != today;
  if (!gained) {
    res.noGain = chosen ? "the dimensions chosen cannot balance this gear further"
                        : "no candidate was sound over the full travel";
    if (res.before.absentEvents > 0) res.noGain += "; an event is absent at a balanced setting";
    // The dimensions that would move the cut-off difference most, beside
    // those tried.
    for (int id : StrongestLevers(start, r.side, 0, cancel)) {
      if (res.strongest.size() >= 3) break;
      if (std::any_of(dims.begin(), dims.end(), [&](const BalanceDim& d) { return d.id == id; })) continue;
      if (const DimInfo* info = FindDim(id)) res.strongest.push_back(info->field);
    }
    // Nothing worth having: the gear stays as it was.
    for (BalanceDimResult& d : res.dims) d.after = d.before, d.atBound = false;
    res.after = res.before;
    res.verified = res.verifiedBefore;
  }
  // Before and after at equal cut-offs (the same gear twice when nothing
  // was gained).
  res.beforeRows = CompareRows(given, r, cancel);
  res.afterRows = gained ? CompareRows(GearWith(start, dims, afterValues), r, cancel) : res.beforeRows;
  res.changes = Changes(res.beforeRows, res.afterRows, r);
  return finish(stop);
}

}  // namespace brevold

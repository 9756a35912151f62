// Balancing the valve events: the objective of a candidate gear from its
// events table and its sweeps, and the bounded local search over the chosen
// dimensions (NLopt's BOBYQA on the dimensions scaled to 0..1).
#include "model/balance.h"

#include <nlopt.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "model/dynvars.h"
#include "model/numfmt.h"
#include "model/state.h"

namespace brevold {

namespace {

bool Raised(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// The balanced travels in the order the events table takes them: the
// forward side's, then the reverse side's.
std::vector<float> Travels(const ModelState& s, const BalanceRequest& r) {
  std::vector<float> asked = r.notches;
  if (asked.empty()) {
    const long double norm = s.dims.frame.RevArmNorm;
    for (int sign : {1, -1})
      for (int k = 1; k <= 10; ++k) asked.push_back(static_cast<float>(sign * norm * k / 10));
  }
  std::vector<float> kept;
  for (bool forward : {true, false}) {
    if (forward ? r.side == EventRequest::Reverse : r.side == EventRequest::Forward) continue;
    for (float v : asked)
      if ((v >= 0) == forward) kept.push_back(v);
  }
  return kept;
}

// RevArmX of a travel about mid gear, in the sense of the last solve, as the
// events table places it.
float RevArmOf(const ModelState& s, float travel) {
  const long double cen = s.revArm.Positions[0];
  return static_cast<float>(SensePositive(s.mech) ? cen + travel : cen - travel);
}

// Solves the driver round on the port diagram's grid at one setting and
// counts the solves that raise the geometry error or give up.
int ErrorsAt(ModelState& s, float revArmX) {
  int errors = 0;
  s.mech.RevArmX = revArmX;
  for (int k = 0; k < PortRowSamples - 1; ++k) {
    s.mech.ErrFlag = 0;
    s.mech.CalcStatus = 'Z';
    s.mech.DrvAngle = static_cast<float>(k * PortRowStep);
    Solve(s);
    if (s.mech.ErrFlag || s.mech.CalcStatus == 'E') ++errors;
  }
  return errors;
}

// One event row at a travel, as the events table takes it.
std::optional<EventRow> RowAt(ModelState& s, const BalanceRequest& r, float travel) {
  EventRequest q;
  q.side = travel >= 0 ? EventRequest::Forward : EventRequest::Reverse;
  q.values = {travel};
  q.method = r.method;
  q.step = r.step;
  EventTable t = ValveEventsTable(s, q);
  if (t.rows.empty()) return std::nullopt;
  return t.rows.front();
}

struct Judged {
  std::vector<EventRow> rows, fullGear;
  std::vector<int> rowErrors;
  int sweepErrors = 0;
};

BalanceScore Score(const Judged& j, const BalanceRequest& r) {
  BalanceScore sc;
  const BalanceWeights& w = r.weights;
  auto spread = [](std::optional<double>& to, double d) { to = std::max(to.value_or(0), std::fabs(d)); };
  for (size_t i = 0; i < j.rows.size(); ++i) {
    const EventRow& row = j.rows[i];
    const EventDifference d = FrontMinusRear(row);
    const std::pair<const std::optional<double>*, double> terms[] = {
        {&d.cutOff, w.cutOff}, {&d.release, w.release}, {&d.compression, w.compression}};
    std::optional<double>* spreads[] = {&sc.spread.cutOff, &sc.spread.release, &sc.spread.compression};
    for (size_t k = 0; k < 3; ++k) {
      const auto& [diff, weight] = terms[k];
      if (*diff) {
        sc.objective += weight * **diff * **diff;
        spread(*spreads[k], **diff);
      } else if (weight != 0) {
        sc.objective += weight * AbsentEventDifference * AbsentEventDifference;
        ++sc.absentEvents;
      }
    }
    const double lead = row.front.lead - row.rear.lead;
    sc.objective += w.lead * lead * lead;
    spread(sc.spread.lead, lead);
    if (r.leadBand) {
      for (double l : {row.front.lead, row.rear.lead}) {
        const double out = l < r.leadBand->first ? r.leadBand->first - l : l > r.leadBand->second ? l - r.leadBand->second : 0;
        sc.objective += r.leadBandWeight * out * out;
      }
    }
    if (row.solveFailed || j.rowErrors[i] > 0) {
      sc.objective += SettingErrorPenalty;
      ++sc.errorSettings;
    }
  }
  if (r.minFullGearCutOff) {
    for (const EventRow& row : j.fullGear) {
      for (const auto* cut : {&row.front.cutOff, &row.rear.cutOff}) {
        const double short_ = std::max(0.0, *r.minFullGearCutOff - (*cut ? (*cut)->percent : 0.0));
        sc.objective += r.fullGearWeight * short_ * short_;
      }
    }
  }
  sc.sweepErrors = j.sweepErrors;
  if (sc.Rejected()) sc.objective += RejectedPenalty + RejectedPerSolve * j.sweepErrors;
  return sc;
}

// The objective of the gear in `s` (changed in place: mid gear, sweeps).
// Empty when the cancel flag went up part-way.
std::optional<BalanceScore> Evaluate(ModelState& s, const BalanceRequest& r, const std::atomic<bool>* cancel) {
  Mechanism& m = s.mech;
  m.BeepOnError = true;  // the sweeps read the geometry error even when the beep is off
  m.DrvAngle = 0;
  m.CalcStatus = 'Z';
  Solve(s);
  CalcCentre(s);
  Judged j;
  // The full travel on both sides, the port diagram's rows.
  for (int side = 0; side < 2; ++side) {
    for (int row = side; row < PortRows; ++row) {
      if (Raised(cancel)) return std::nullopt;
      j.sweepErrors += ErrorsAt(s, PortRowRevArm(s, side == 0, row));
    }
  }
  const std::vector<float> travels = Travels(s, r);
  for (float v : travels) {
    if (Raised(cancel)) return std::nullopt;
    j.rowErrors.push_back(ErrorsAt(s, RevArmOf(s, v)));
  }
  m.RevArmX = s.revArm.Positions[0];
  m.DrvAngle = 0;
  for (float v : travels) {
    if (Raised(cancel)) return std::nullopt;
    std::optional<EventRow> row = RowAt(s, r, v);
    if (!row) return std::nullopt;  // cannot happen: the travels are on the sides asked for
    j.rows.push_back(*row);
  }
  if (r.minFullGearCutOff) {
    const float full = s.dims.frame.RevArmMax;
    for (float v : {full, -full}) {
      if ((v >= 0 ? r.side == EventRequest::Reverse : r.side == EventRequest::Forward)) continue;
      if (Raised(cancel)) return std::nullopt;
      if (std::optional<EventRow> row = RowAt(s, r, v)) j.fullGear.push_back(*row);
    }
  }
  return Score(j, r);
}

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

}  // namespace

const char* StopName(BalanceResult::Stop stop) {
  switch (stop) {
    case BalanceResult::Tolerance: return "tolerance";
    case BalanceResult::Budget: return "budget";
    case BalanceResult::Cancelled: return "cancelled";
    default: return "failed";
  }
}

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

EventRequest BalanceEvents(const ModelState& s, const BalanceRequest& r) {
  EventRequest q;
  q.side = r.side;
  q.values = Travels(s, r);
  q.method = r.method;
  q.step = r.step;
  return q;
}

BalanceScore BalanceObjective(const ModelState& s, const BalanceRequest& r) {
  ModelState work = s;
  return *Evaluate(work, r, nullptr);
}

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
  if (Travels(start, r).empty()) {
    res.message = "no setting to balance over on the side asked for";
    return finish(BalanceResult::Failed);
  }
  const size_t n = dims.size();
  std::vector<float> today(n);
  for (size_t i = 0; i < n; ++i) {
    today[i] = GetDim(start, dims[i].id);
    res.dims.push_back({dims[i], today[i], today[i], false});
  }

  // Every evaluation starts from the gear as given, so that the objective of
  // a set of values does not depend on what was tried before it.
  std::map<std::vector<float>, BalanceScore> seen;
  bool cancelled = false, spent = false;
  long calls = 0;  // repeats of a value already judged cost nothing, but are bounded too
  std::optional<BalanceScore> best;
  std::vector<float> bestValues;
  auto judge = [&](const std::vector<float>& values) -> std::optional<BalanceScore> {
    if (auto it = seen.find(values); it != seen.end() && ++calls <= 10L * r.maxEvaluations) return it->second;
    if (res.evaluations >= r.maxEvaluations || calls > 10L * r.maxEvaluations) {
      spent = true;
      return std::nullopt;
    }
    ModelState work = start;
    for (size_t i = 0; i < n; ++i) SetDim(work, dims[i].id, values[i]);
    std::optional<BalanceScore> sc = Evaluate(work, r, cancel);
    if (!sc) {
      cancelled = true;
      return std::nullopt;
    }
    ++res.evaluations;
    seen.emplace(values, *sc);
    bool inBounds = true;
    for (size_t i = 0; i < n; ++i) inBounds = inBounds && values[i] >= dims[i].lo && values[i] <= dims[i].hi;
    // A gear the full sweep rejects is never preferred to one it passes.
    if (inBounds && (!best || std::pair(sc->Rejected(), sc->objective) < std::pair(best->Rejected(), best->objective))) {
      best = sc;
      bestValues = values;
    }
    if (progress) progress(res.evaluations, best ? best->objective : sc->objective);
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
    const std::optional<BalanceScore> sc = judge(valuesOf(std::vector<double>(u, u + n)));
    if (!sc) {
      opt.force_stop();
      return HUGE_VAL;
    }
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
  for (int k = 0; k < std::max(1, r.starts) && stop == BalanceResult::Tolerance; ++k) {
    std::vector<double> u(n);
    for (size_t i = 0; i < n; ++i) u[i] = k == 0 ? unitOf(today)[i] : SpreadPoint(k, i);
    // A search that ends against the geometry error's wall has spoilt its
    // model of the objective there; one begun afresh from the best gear so
    // far often goes on along the wall. Restarted while that pays.
    for (int restart = 0; restart <= kRestarts && stop == BalanceResult::Tolerance; ++restart) {
      const double had = best ? best->objective : HUGE_VAL;
      if (restart > 0) {
        if (!best) break;
        u = unitOf(bestValues);
      }
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
      else if (spent) stop = BalanceResult::Budget;
      if (restart > 0 && !(best && best->objective < had * (1 - 1e-3))) break;
    }
  }

  if (best) {
    res.after = *best;
    for (size_t i = 0; i < n; ++i) {
      BalanceDimResult& d = res.dims[i];
      d.after = bestValues[i];
      const double near = 1e-3 * (d.dim.hi - d.dim.lo);
      d.atBound = d.after - d.dim.lo <= near || d.dim.hi - d.after <= near;
    }
  } else {
    res.after = res.before;
  }
  return finish(stop);
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
  // Column widths: travel 8; cut-off 8, 7, 7; lead 8, 8, 8; release 8; compression 10.
  std::string out = std::string(8, ' ') + "      cut-off %       " + "          lead          " + " release" +
                    "  compress" + "\n" + "  travel   front   rear   diff   front    rear    diff    diff      diff\n";
  for (const EventRow& row : t.rows) {
    const EventDifference d = FrontMinusRear(row);
    out += Str(row.setting.travel, 8, 3) + cell(pct(row.front.cutOff), 8, 2) + cell(pct(row.rear.cutOff), 7, 2) +
           cell(d.cutOff, 7, 2) + Str(row.front.lead, 8, 4) + Str(row.rear.lead, 8, 4) + cell(d.lead, 8, 4) +
           cell(d.release, 8, 2) + cell(d.compression, 10, 2) + "\n";
  }
  return out;
}

void ApplyBalance(ModelState& s, const BalanceResult& r) {
  for (const BalanceDimResult& d : r.dims) {
    SetDim(s, d.dim.id, static_cast<float>(d.after));
    FollowFixedPivot(s, d.dim.id);
  }
  Settle(s);
}

void ApplyBalanceAsEdits(ModelState& s, const BalanceResult& r) {
  for (const BalanceDimResult& d : r.dims) {
    const float value = static_cast<float>(d.after);
    if (value == GetDim(s, d.dim.id)) continue;
    s.undo.EditDirty = 1;
    EditorFieldExit(s, d.dim.id, value, d.dim.shortName);
    FollowFixedPivot(s, d.dim.id);
  }
  Settle(s);
}

}  // namespace brevold

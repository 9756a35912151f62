// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Setting the valves from a fitter's measurements: the readings a gear
// gives, and the least-squares search for the gear as found.
#include "model/valvesetting.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "model/dimensions.h"
#include "model/events.h"
#include "model/numfmt.h"
#include "model/revarm.h"
#include "model/solver.h"
#include "model/soundness.h"
#include "model/valve.h"

namespace brevold {

const std::array<SettingReadingInfo, SettingReadingCount>& SettingReadings() {
  static const std::array<SettingReadingInfo, SettingReadingCount> k = {{
      {"lead-fwd", "Lead front, full forward gear"},
      {"lead-fwd", "Lead rear, full forward gear"},
      {"lead-mid", "Lead front, mid gear"},
      {"lead-mid", "Lead rear, mid gear"},
      {"lead-back", "Lead front, full back gear"},
      {"lead-back", "Lead rear, full back gear"},
      {"die-run", "Valve movement, die end to end, front dead centre"},
      {"die-run", "Valve movement, die end to end, rear dead centre"},
      {"mid-valve", "Valve place, mid gear, front dead centre"},
      {"mid-valve", "Valve place, mid gear, rear dead centre"},
  }};
  return k;
}

ReverserNotches NotchesOf(const ModelState& drawing) {
  ModelState s = drawing;
  SolveAtMidGear(s);
  return {PortRowRevArm(s, true, PortRows - 1), s.revArm.Positions[0], PortRowRevArm(s, false, PortRows - 1)};
}

Readings TakeReadings(const ModelState& gear, const ReverserNotches& at) {
  Readings out{};
  ModelState s = gear;
  s.mech.ErrFlag = 0;
  s.mech.CalcStatus = 'Z';
  s.mech.RevArmX = at.mid;
  const DeadCentres dc = PistonDeadCentres(s);
  if (!dc.front || !dc.rear) return out;
  // The valve at one notch and dead centre, if the gear solves soundly there.
  struct Place {
    std::optional<double> disp, lead;
  };
  auto place = [&](float revArm, LD angle, bool front) {
    s.mech.RevArmX = revArm;
    s.mech.ErrFlag = 0;
    s.mech.CalcStatus = 'Z';
    s.mech.DrvAngle = WrapAngle(angle);
    Solve(s);
    PostCalc(s);
    if (s.mech.ErrFlag || s.mech.CalcStatus == 'E') return Place{};
    return Place{static_cast<double>(s.valve.ValveDisp), static_cast<double>(front ? s.valve.OpenSteamF : s.valve.OpenSteamR)};
  };
  const float notches[] = {at.forward, at.mid, at.back};
  Place p[3][2];
  for (int n = 0; n < 3; ++n)
    for (int e = 0; e < 2; ++e) p[n][e] = place(notches[n], e == 0 ? *dc.front : *dc.rear, e == 0);
  auto set = [&out](SettingReading r, std::optional<double> v) { out[static_cast<size_t>(r)] = v; };
  set(SettingReading::LeadFrontFwd, p[0][0].lead);
  set(SettingReading::LeadRearFwd, p[0][1].lead);
  set(SettingReading::LeadFrontMid, p[1][0].lead);
  set(SettingReading::LeadRearMid, p[1][1].lead);
  set(SettingReading::LeadFrontBack, p[2][0].lead);
  set(SettingReading::LeadRearBack, p[2][1].lead);
  for (int e = 0; e < 2; ++e) {
    if (p[0][e].disp && p[2][e].disp)
      set(e == 0 ? SettingReading::DieRunFront : SettingReading::DieRunRear, *p[0][e].disp - *p[2][e].disp);
    set(e == 0 ? SettingReading::MidValveFront : SettingReading::MidValveRear, p[1][e].disp);
  }
  return out;
}

namespace {

// The dimensions a fitter adjusts, in the order they are given up when the
// readings cannot fix them all: the throw first, then the radius rod (its
// share goes to the valve stem, the valve-centring correction), the
// eccentric rod, the valve stem last.
struct Lever {
  int id;
  const char* field;
  int giveUpRank;
};
constexpr Lever kLevers[] = {{14, "EccRodLen", 2}, {10, "RadRodLen", 1}, {117, "ValveStemLen", 3}, {16, "EccCrankLen", 0}};

// Above this uncertainty (in the gear's unit, per the readings' precision)
// a correction is not fixed by the readings.
constexpr double kUndetermined = 0.02;
constexpr double kStep = 0.002;  // central differences

using Vec = std::vector<double>;
using Mat = std::vector<Vec>;

// Solves a x = b for a symmetric positive definite a (Cholesky); false
// when a is not, to the arithmetic's precision.
bool SolveSpd(Mat a, Vec b, Vec& x) {
  const size_t n = b.size();
  for (size_t j = 0; j < n; ++j) {
    double d = a[j][j];
    for (size_t k = 0; k < j; ++k) d -= a[j][k] * a[j][k];
    if (!(d > 1e-14 * std::max(1.0, std::fabs(a[j][j])))) return false;
    a[j][j] = std::sqrt(d);
    for (size_t i = j + 1; i < n; ++i) {
      double v = a[i][j];
      for (size_t k = 0; k < j; ++k) v -= a[i][k] * a[j][k];
      a[i][j] = v / a[j][j];
    }
  }
  for (size_t i = 0; i < n; ++i) {
    for (size_t k = 0; k < i; ++k) b[i] -= a[i][k] * b[k];
    b[i] /= a[i][i];
  }
  for (size_t i = n; i-- > 0;) {
    for (size_t k = i + 1; k < n; ++k) b[i] -= a[k][i] * b[k];
    b[i] /= a[i][i];
  }
  x = b;
  return true;
}

// The readings' standard deviations carried to each correction: the square
// roots of the diagonal of (J^T J)^-1, times the precision; infinite where
// the normal equations are singular.
Vec Uncertainties(const Mat& a, double precision) {
  const size_t n = a.size();
  Vec u(n, HUGE_VAL);
  for (size_t k = 0; k < n; ++k) {
    Vec e(n, 0), x;
    e[k] = 1;
    if (!SolveSpd(a, e, x)) return Vec(n, HUGE_VAL);
    u[k] = x[k] > 0 ? precision * std::sqrt(x[k]) : HUGE_VAL;
  }
  return u;
}

class Fitter {
 public:
  Fitter(const ModelState& drawing, const ValveSettingRequest& r)
      : drawing_(drawing), at_(NotchesOf(drawing)), r_(r) {
    for (int k = 0; k < SettingReadingCount; ++k)
      if (r.measured[static_cast<size_t>(k)]) given_.push_back(k);
  }
  const std::vector<int>& Given() const { return given_; }

  ModelState GearWith(const std::vector<const Lever*>& levers, const Vec& x) const {
    ModelState g = drawing_;
    for (size_t i = 0; i < levers.size(); ++i)
      SetDim(g, levers[i]->id, static_cast<float>(static_cast<LD>(GetDim(drawing_, levers[i]->id)) + x[i]));
    return g;
  }
  Readings At(const std::vector<const Lever*>& levers, const Vec& x) const {
    return TakeReadings(GearWith(levers, x), at_);
  }
  // The Jacobian's rows for `rows` at x, each column from the values the
  // singles really store either side; empty when a reading goes missing.
  std::optional<Mat> Jacobian(const std::vector<const Lever*>& levers, const Vec& x, const std::vector<int>& rows) const {
    Mat j(rows.size(), Vec(levers.size(), 0));
    for (size_t c = 0; c < levers.size(); ++c) {
      Vec lo = x, hi = x;
      lo[c] -= kStep;
      hi[c] += kStep;
      const float base = GetDim(drawing_, levers[c]->id);
      const double stored = static_cast<double>(static_cast<float>(static_cast<LD>(base) + hi[c])) -
                            static_cast<float>(static_cast<LD>(base) + lo[c]);
      const Readings a = At(levers, lo), b = At(levers, hi);
      for (size_t i = 0; i < rows.size(); ++i) {
        const auto& ra = a[static_cast<size_t>(rows[i])];
        const auto& rb = b[static_cast<size_t>(rows[i])];
        if (!ra || !rb) return std::nullopt;
        j[i][c] = (*rb - *ra) / stored;
      }
    }
    return j;
  }
  static Mat Normal(const Mat& j, size_t n) {
    Mat a(n, Vec(n, 0));
    for (const Vec& row : j)
      for (size_t p = 0; p < n; ++p)
        for (size_t q = 0; q < n; ++q) a[p][q] += row[p] * row[q];
    return a;
  }

  // Gauss-Newton from the drawing; false when the gear cannot be read.
  bool Fit(const std::vector<const Lever*>& levers, Vec& x, Mat& normal) const {
    x.assign(levers.size(), 0);
    for (int it = 0; it < 12; ++it) {
      const Readings now = At(levers, x);
      Vec g(levers.size(), 0);
      const auto j = Jacobian(levers, x, given_);
      if (!j) return false;
      normal = Normal(*j, levers.size());
      for (size_t i = 0; i < given_.size(); ++i) {
        const auto& m = now[static_cast<size_t>(given_[i])];
        if (!m) return false;
        const double res = *m - *r_.measured[static_cast<size_t>(given_[i])];
        for (size_t c = 0; c < levers.size(); ++c) g[c] -= (*j)[i][c] * res;
      }
      Vec dx;
      if (!SolveSpd(normal, g, dx)) return true;  // singular: the caller gives a lever up
      double biggest = 0;
      for (size_t c = 0; c < x.size(); ++c) {
        x[c] += dx[c];
        biggest = std::max(biggest, std::fabs(dx[c]));
      }
      if (biggest < 1e-7) break;
    }
    return true;
  }

 private:
  const ModelState& drawing_;
  ReverserNotches at_;
  const ValveSettingRequest& r_;
  std::vector<int> given_;
};

std::string PairName(int reading) {
  const SettingReadingInfo& i = SettingReadings()[static_cast<size_t>(reading)];
  return std::string("--") + i.id;
}

}  // namespace

ValveSettingFit FitValveSetting(const ModelState& drawing, const ValveSettingRequest& r) {
  ValveSettingFit f;
  f.measured = r.measured;
  f.found = drawing;
  Fitter fit(drawing, r);
  if (fit.Given().empty()) {
    f.error = "no reading given";
    return f;
  }
  std::vector<const Lever*> levers;
  for (const Lever& l : kLevers)
    if (l.id != 16 || r.withThrow) levers.push_back(&l);
  std::vector<const Lever*> given_up;
  Vec x, u;
  Mat normal;
  for (;;) {
    if (!fit.Fit(levers, x, normal)) {
      f.error = "the gear cannot be read at every dead centre and notch asked for";
      return f;
    }
    u = Uncertainties(normal, r.precision);
    // The lever least fixed, if any is not, is given up and the fit run again.
    const Lever* worst = nullptr;
    for (size_t c = 0; c < levers.size(); ++c)
      if (u[c] > kUndetermined && (!worst || levers[c]->giveUpRank < worst->giveUpRank)) worst = levers[c];
    if (!worst) break;
    given_up.push_back(worst);
    levers.erase(std::find(levers.begin(), levers.end(), worst));
    if (levers.empty()) {
      f.error = "these readings fix none of the corrections";
      return f;
    }
  }
  for (const Lever& l : kLevers) {
    if (l.id == 16 && !r.withThrow) continue;
    SettingCorrection c{l.id, l.field, std::nullopt, 0};
    for (size_t k = 0; k < levers.size(); ++k)
      if (levers[k] == &l) c.found = x[k], c.uncertainty = u[k];
    f.corrections.push_back(c);
  }
  f.found = fit.GearWith(levers, x);
  f.fitted = TakeReadings(f.found, NotchesOf(drawing));
  for (int k : fit.Given())
    if (f.fitted[static_cast<size_t>(k)])
      f.residuals[static_cast<size_t>(k)] = *f.fitted[static_cast<size_t>(k)] - *r.measured[static_cast<size_t>(k)];

  // What the readings could not fix, and how fine a reading would have to be
  // to fix it, with the readings given and every other one besides.
  for (const Lever* l : given_up) {
    std::string n = std::string("these readings cannot fix ") + l->field;
    if (l->id == 10)
      n += " apart from ValveStemLen: the valve-stem correction is their combined effect, a valve-centring "
           "correction";
    n += " (to " + Str(kUndetermined, 1, 2) + " at a reading precision of " + Str(r.precision, 1, 4) + ")";
    std::vector<const Lever*> with = levers;
    with.push_back(l);
    Vec at = x;
    at.push_back(0);
    std::vector<int> rows = fit.Given(), added;
    for (int k = 0; k < SettingReadingCount; ++k)
      if (!r.measured[static_cast<size_t>(k)]) rows.push_back(k), added.push_back(k);
    const std::vector<int>* sets[] = {&fit.Given(), &rows};
    for (size_t which = 0; which < 2; ++which) {
      if (which == 1 && added.empty()) break;
      const auto j = fit.Jacobian(with, at, *sets[which]);
      if (!j) continue;
      const double u1 = Uncertainties(Fitter::Normal(*j, with.size()), 1).back();
      if (!std::isfinite(u1)) continue;
      std::string readings = which == 0 ? "these readings" : "these and ";
      if (which == 1)
        for (size_t i = 0; i < added.size(); i += 2) readings += (i ? ", " : "") + PairName(added[i]);
      n += "; " + readings + " would fix it at a precision of " + Str(kUndetermined / u1, 1, 5) + " or finer";
    }
    f.notes.push_back(n);
  }
  return f;
}

std::string FormatValveSetting(const ValveSettingFit& f, const std::string& format) {
  if (format == "json") {
    using J = nlohmann::ordered_json;
    J out;
    if (!f.error.empty()) out["error"] = f.error;
    out["corrections"] = J::array();
    for (const SettingCorrection& c : f.corrections)
      out["corrections"].push_back({{"field", c.field},
                                    {"on_engine", c.found ? J(-*c.found) : J(nullptr)},
                                    {"uncertainty", c.found ? J(c.uncertainty) : J(nullptr)}});
    out["readings"] = J::array();
    for (size_t k = 0; k < f.measured.size(); ++k) {
      auto num = [](const std::optional<double>& v) { return v ? J(*v) : J(nullptr); };
      out["readings"].push_back({{"reading", SettingReadings()[k].title},
                                 {"measured", num(f.measured[k])},
                                 {"as_found", num(f.fitted[k])},
                                 {"residual", num(f.residuals[k])}});
    }
    out["notes"] = f.notes;
    return out.dump(2) + "\n";
  }
  if (!f.error.empty()) return "no fit: " + f.error + "\n";
  std::string t = "Corrections to make on the engine (the drawing less the gear as found):\n";
  for (const SettingCorrection& c : f.corrections) {
    std::string name = "  " + c.field;
    name.resize(18, ' ');
    t += name + (c.found ? Str(-*c.found, 9, 4) + "  +- " + Str(c.uncertainty, 1, 4) : std::string("  not fixed by these readings")) + "\n";
  }
  t += "\nReadings                                              measured  as found  residual\n";
  for (size_t k = 0; k < f.measured.size(); ++k) {
    if (!f.measured[k]) continue;
    std::string name = std::string("  ") + SettingReadings()[k].title;
    name.resize(52, ' ');
    t += name + Str(*f.measured[k], 10, 4) + (f.fitted[k] ? Str(*f.fitted[k], 10, 4) : std::string("         -")) +
         (f.residuals[k] ? Str(*f.residuals[k], 10, 5) : std::string("         -")) + "\n";
  }
  if (!f.notes.empty()) t += "\nNotes:\n";
  for (const std::string& n : f.notes) t += "  " + n + "\n";
  return t;
}

}  // namespace brevold

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
    SolveAt(s, angle);
    if (s.mech.ErrFlag || s.mech.CalcStatus == 'E') return Place{};
    return Place{static_cast<double>(s.valve.ValveDisp), static_cast<double>(front ? s.valve.OpenSteamF : s.valve.OpenSteamR)};
  };
  // The leads come first in the readings, notch by notch, front then rear.
  const float notches[] = {at.forward, at.mid, at.back};
  Place p[3][2];
  for (size_t n = 0; n < 3; ++n)
    for (size_t e = 0; e < 2; ++e) {
      p[n][e] = place(notches[n], e == 0 ? *dc.front : *dc.rear, e == 0);
      out[2 * n + e] = p[n][e].lead;
    }
  for (size_t e = 0; e < 2; ++e) {
    if (p[0][e].disp && p[2][e].disp)
      out[static_cast<size_t>(SettingReading::DieRunFront) + e] = *p[0][e].disp - *p[2][e].disp;
    out[static_cast<size_t>(SettingReading::MidValveFront) + e] = p[1][e].disp;
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
constexpr int kPasses = 12;      // Gauss-Newton steps before the search is said not to settle
// A residual beyond this many times the readings' precision says that the
// readings do not fit a gear off only in the dimensions sought.
constexpr double kMisfit = 3;

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

  // Gauss-Newton from the drawing.
  enum class Outcome { Settled, Singular, Unsettled, Unreadable };
  Outcome Fit(const std::vector<const Lever*>& levers, Vec& x, Mat& normal) const {
    x.assign(levers.size(), 0);
    for (int it = 0; it < kPasses; ++it) {
      const Readings now = At(levers, x);
      Vec g(levers.size(), 0);
      const auto j = Jacobian(levers, x, given_);
      if (!j) return Outcome::Unreadable;
      normal = Normal(*j, levers.size());
      for (size_t i = 0; i < given_.size(); ++i) {
        const auto& m = now[static_cast<size_t>(given_[i])];
        if (!m) return Outcome::Unreadable;
        const double res = *m - *r_.measured[static_cast<size_t>(given_[i])];
        for (size_t c = 0; c < levers.size(); ++c) g[c] -= (*j)[i][c] * res;
      }
      Vec dx;
      if (!SolveSpd(normal, g, dx)) return Outcome::Singular;  // the caller gives a lever up
      // Settled once no step moves a dimension by more than a twentieth of
      // what the readings can tell of it, or than a few of its single's last
      // places (as near as a stored gear comes): the readings' own rounding
      // keeps the search stepping to and fro by about that much.
      const Vec u = Uncertainties(normal, r_.precision);
      bool settled = true;
      for (size_t c = 0; c < x.size(); ++c) {
        x[c] += dx[c];
        const float v = std::fabs(GetDim(drawing_, levers[c]->id));
        const double ulps = 8.0 * (std::nextafter(v, HUGE_VALF) - v);
        settled = settled && std::fabs(dx[c]) <= std::max(0.05 * u[c], ulps);
      }
      if (settled) return Outcome::Settled;
    }
    return Outcome::Unsettled;
  }
  const ReverserNotches& Notches() const { return at_; }

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
    const Fitter::Outcome outcome = fit.Fit(levers, x, normal);
    if (outcome == Fitter::Outcome::Unreadable) {
      f.error = "the gear cannot be read at every dead centre and notch asked for";
      return f;
    }
    u = Uncertainties(normal, r.precision);
    // The lever least fixed, if any is not, is given up and the fit run again
    // (a search along a direction the readings hardly fix may wander there).
    const Lever* worst = nullptr;
    for (size_t c = 0; c < levers.size(); ++c)
      if (u[c] > kUndetermined && (!worst || levers[c]->giveUpRank < worst->giveUpRank)) worst = levers[c];
    if (!worst && outcome == Fitter::Outcome::Unsettled) {
      f.error = "the search did not settle in " + std::to_string(kPasses) + " steps";
      return f;
    }
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
  f.fitted = TakeReadings(f.found, fit.Notches());
  int worstReading = -1;
  for (int k : fit.Given()) {
    const size_t i = static_cast<size_t>(k);
    if (!f.fitted[i]) continue;
    f.residuals[i] = *f.fitted[i] - *r.measured[i];
    if (worstReading < 0 || std::fabs(*f.residuals[i]) > std::fabs(*f.residuals[static_cast<size_t>(worstReading)]))
      worstReading = k;
  }
  if (worstReading >= 0 && std::fabs(*f.residuals[static_cast<size_t>(worstReading)]) > kMisfit * r.precision)
    f.notes.push_back("the readings do not fit a gear off only in these dimensions: " +
                      std::string(SettingReadings()[static_cast<size_t>(worstReading)].title) + " is left " +
                      Str(*f.residuals[static_cast<size_t>(worstReading)], 1, 4) +
                      " apart; look for another dimension off, lost motion or a reading misread");

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
    // The precision at which `rows` would fix the lever given up.
    auto needed = [&](const std::vector<int>& rows) -> std::optional<double> {
      const auto j = fit.Jacobian(with, at, rows);
      if (!j) return std::nullopt;
      const double perUnit = Uncertainties(Fitter::Normal(*j, with.size()), 1).back();
      if (!std::isfinite(perUnit)) return std::nullopt;
      return kUndetermined / perUnit;
    };
    auto fixes = [](const std::string& readings, double precision) {
      return "; " + readings + " would fix it at a precision of " + Str(precision, 1, 5) + " or finer";
    };
    if (const auto p = needed(fit.Given())) n += fixes("these readings", *p);
    std::vector<int> more = fit.Given();
    std::string names;
    for (int k = 0; k < SettingReadingCount; k += 2)
      if (!r.measured[static_cast<size_t>(k)] && !r.measured[static_cast<size_t>(k) + 1]) {
        more.push_back(k);
        more.push_back(k + 1);
        names += (names.empty() ? "" : ", ") + PairName(k);
      }
    if (!names.empty())
      if (const auto p = needed(more)) n += fixes("these and " + names, *p);
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

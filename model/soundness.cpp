// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The die's place in the link, the verdict of a turn, and the piston's dead
// centres.
#include "model/soundness.h"

#include <algorithm>
#include <cmath>

#include "model/state.h"

namespace brevold {

DiePlace DieInLink(const ModelState& s) {
  const Mechanism& m = s.mech;
  const LD dx = static_cast<LD>(m.PtX[8]) - m.PtX[9], dy = static_cast<LD>(m.PtY[8]) - m.PtY[9];
  // The link's top end stands at 9 + (sin, cos) of LinkAng times its half length.
  const LD ux = std::sin(static_cast<LD>(m.LinkAng)), uy = std::cos(static_cast<LD>(m.LinkAng));
  return {dx * ux + dy * uy, dx * uy - dy * ux};
}

const char* FaultName(Fault f) {
  switch (f) {
    case Fault::None: return "sound";
    case Fault::GuardFired: return "guard fired";
    case Fault::SearchAbandoned: return "search abandoned";
    case Fault::DieBeyondLinkEnd: return "die beyond link end";
    case Fault::DieOffLinkLine: return "die off link line";
    case Fault::ValveJump: return "valve jump";
  }
  return "sound";
}

double Soundness::Margin() const { return linkHalf - std::max(std::fabs(dieMin), std::fabs(dieMax)); }

void TurnWatch::Start(ModelState& s) {
  v_ = Soundness{};
  v_.linkHalf = std::fabs(s.dims.frame.LinkUpLowLen);
  faultIndex_ = -1;
  disp_.clear();
  angle_.clear();
  s.mech.BeepOnError = true;
  s.mech.ErrFlag = 0;
  s.mech.CalcStatus = 'Z';
}

void TurnWatch::Met(Fault f, double angle, int index) {
  // The first sample's fault counts; within a sample, the order of the enum.
  if (faultIndex_ >= 0 && (index > faultIndex_ || (index == faultIndex_ && f >= v_.fault))) return;
  v_.fault = f;
  v_.faultAngle = angle;
  faultIndex_ = index;
}

void TurnWatch::Sample(const ModelState& s) {
  const int index = v_.samples++;
  const double angle = s.mech.DrvAngle;
  // The error flag and the status stay raised once raised: the first sample
  // that shows them is where it happened.
  if (s.mech.ErrFlag) Met(Fault::GuardFired, angle, index);
  if (s.mech.CalcStatus == 'E') Met(Fault::SearchAbandoned, angle, index);
  const DiePlace d = DieInLink(s);
  const double along = static_cast<double>(d.along), off = std::fabs(static_cast<double>(d.off));
  if (index == 0) {
    v_.dieMin = v_.dieMax = along;
    v_.dieOffMax = off;
  } else {
    v_.dieMin = std::min(v_.dieMin, along);
    v_.dieMax = std::max(v_.dieMax, along);
    v_.dieOffMax = std::max(v_.dieOffMax, off);
  }
  if (!(std::fabs(along) <= v_.linkHalf)) Met(Fault::DieBeyondLinkEnd, angle, index);
  if (!(off <= DieOffLineShare * v_.linkHalf)) Met(Fault::DieOffLinkLine, angle, index);
  disp_.push_back(s.valve.ValveDisp);
  angle_.push_back(s.mech.DrvAngle);
}

Soundness TurnWatch::Finish(const ModelState& s) {
  if (disp_.size() >= 3) {
    std::vector<double> steps(disp_.size() - 1);
    for (size_t k = 0; k + 1 < disp_.size(); ++k) steps[k] = std::fabs(static_cast<double>(disp_[k + 1]) - disp_[k]);
    std::vector<double> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double limit = std::max(ValveJumpFactor * median, ValveJumpFloor * std::fabs(static_cast<double>(s.dims.frame.Stroke)));
    for (size_t k = 0; k < steps.size(); ++k) {
      if (!(steps[k] <= limit)) {
        Met(Fault::ValveJump, angle_[k + 1], static_cast<int>(k + 1));
        break;
      }
    }
  }
  return v_;
}

namespace {

// The crosshead's movement per radian of driver angle, as the solver places
// joint 3: X3 = cos(a) S/2 + sqrt(L^2 - (-sin(a) S/2 - h)^2).
std::optional<LD> CrossheadRate(LD a, LD S, LD L, LD h) {
  const LD u = -std::sin(a) * S / 2 - h;
  const LD root = L * L - u * u;
  if (!(root > 0)) return std::nullopt;
  return -std::sin(a) * S / 2 + u * (S / 2) * std::cos(a) / std::sqrt(root);
}

// The angle in lo..hi (radians) where the rate changes sign, the rate being
// of sign `atLo` at lo and the opposite at hi.
std::optional<LD> RateZero(LD lo, LD hi, LD S, LD L, LD h) {
  const auto flo = CrossheadRate(lo, S, L, h), fhi = CrossheadRate(hi, S, L, h);
  if (!flo || !fhi || (*flo > 0) == (*fhi > 0)) return std::nullopt;
  const bool rising = *flo < 0;
  for (int n = 0; n < 200 && hi - lo > 1e-15L; ++n) {
    const LD mid = (lo + hi) / 2;
    const auto f = CrossheadRate(mid, S, L, h);
    if (!f) return std::nullopt;
    ((*f < 0) == rising ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

}  // namespace

DeadCentres PistonDeadCentres(const ModelState& s) {
  const LD S = s.dims.frame.Stroke, L = s.dims.frame.MainRodLen;
  const LD h = static_cast<LD>(s.mech.PtY[3]) - s.mech.PtY[1];
  constexpr LD deg = 3.14159265358979323846264338327950288L / 180;
  DeadCentres dc;
  if (!(S > 0) || !(L > 0)) return dc;
  // Every angle of the turn must let the rod reach the cylinder line.
  if (!(L > S / 2 + std::fabs(h))) return dc;
  if (const auto f = RateZero(-90 * deg, 90 * deg, S, L, h)) dc.front = *f / deg;
  if (const auto r = RateZero(90 * deg, 270 * deg, S, L, h)) dc.rear = *r / deg;
  return dc;
}

LD FromDeadCentre(LD a, LD dc, bool forward) {
  LD d = std::fmod(forward ? a - dc : dc - a, 360.0L);
  if (d > 180) d -= 360;
  if (d <= -180) d += 360;
  return d;
}

}  // namespace brevold

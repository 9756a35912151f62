// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Mid gear, the travel limits and the reverse-arm positions list.
#include "model/revarm.h"

#include <algorithm>
#include <cmath>

#include "model/numfmt.h"
#include "model/solver.h"
#include "model/state.h"

namespace brevold {

namespace {
constexpr LD kPi = 3.14159265358979323846264338327950288L;
LD Sq(LD v) { return v * v; }

void ClampPositions(RevArmState& r, LD lo, LD hi, bool zerosToo) {
  for (int k = 1; k <= 9; ++k) {
    float& p = r.Positions[static_cast<size_t>(k)];
    if (p == 0 && !zerosToo) continue;
    if (p < lo) p = static_cast<float>(lo);
    if (p > hi) p = static_cast<float>(hi);
  }
}
}  // namespace

void CalcCentre(ModelState& s) {
  FrameDims& f = s.dims.frame;
  const auto& X = s.mech.PtX;
  const auto& Y = s.mech.PtY;

  if (f.RadRodLen == 0) f.RadRodLen = 0.00001f;
  // The lift point with the radius rod in its mid-gear line, from the link
  // pivot to the radius-rod joint's height with the valve at mid height.
  const LD x14 = static_cast<LD>(X[9]) + f.RadRodLiftPt;
  const LD y14 = Y[9] + f.RadRodLiftPt * (static_cast<LD>(Y[4]) + f.CombLevUpper - Y[9]) / f.RadRodLen;
  const LD dx = x14 - X[16];
  if (dx == 0 || !std::isfinite(dx)) return;  // lift point above the pivot: keep the old centre
  LD a = std::atan((Y[16] - y14) / dx);
  if (f.LiftArmLen < 0) a -= kPi;
  if (f.RevArmVert < 0) a += kPi;
  const LD d = std::sqrt(Sq(x14 - X[16]) + Sq(y14 - Y[16]));
  if (f.LiftArmLen == 0) f.LiftArmLen = 0.00001f;
  LD c = (Sq(d) + Sq(f.LiftArmLen) - Sq(f.LiftLinkLen)) / 2 / d / f.LiftArmLen;
  if (c >= 1) c = 0.9999999f;
  if (c <= -1) c = -0.9999999f;  // a lifting link too long to reach
  a += std::atan(c / std::sqrt(1 - c * c));
  if (f.RevArmVert == 0) f.RevArmVert = 0.00001f;
  const LD r = std::sqrt(Sq(f.RevArmVert) + Sq(f.RevArmBkS));
  const LD centre = X[16] - r * std::sin(a + kPi / 2 - std::atan(static_cast<LD>(f.RevArmBkS) / f.RevArmVert));
  if (!std::isfinite(centre)) return;

  RevArmState& ra = s.revArm;
  const float mid = static_cast<float>(centre);
  s.mech.RevArmX = mid;
  ra.Positions[0] = ra.Positions[1] = mid;
  const float plus = static_cast<float>(static_cast<LD>(mid) + f.RevArmNorm);
  const float minus = static_cast<float>(static_cast<LD>(mid) - f.RevArmNorm);
  const bool positive = SensePositive(s.mech);
  ra.Positions[2] = positive ? plus : minus;
  ra.Positions[3] = positive ? minus : plus;
  ra.RevArmCount = std::max(1, RunOfPositions(ra));
}

int RunOfPositions(const RevArmState& r) {
  int n = 0;
  while (n < 9 && r.Positions[static_cast<size_t>(n + 1)] != 0) ++n;
  return n;
}

void SetRevArmBarRange(ModelState& s) {
  const LD span = 1000.0L * s.dims.frame.RevArmMax;
  s.revArm.BarMax = RoundEven(span);
  s.revArm.BarMin = RoundEven(-span);
}

float RevArmFromBar(const ModelState& s, int position) {
  const LD mid = s.revArm.Positions[0], p = position;
  return static_cast<float>(SensePositive(s.mech) ? mid + p / 1000 : mid - p / 1000);
}

void SetNormalTravel(ModelState& s, float v) {
  FrameDims& f = s.dims.frame;
  f.RevArmNorm = v;
  if (f.RevArmNorm > f.RevArmMax) {
    f.RevArmNorm = f.RevArmMax;
    const LD c = s.revArm.Positions[0];
    ClampPositions(s.revArm, c - f.RevArmNorm, c + f.RevArmNorm, false);
  }
}

void SetMaximumTravel(ModelState& s, float v) {
  FrameDims& f = s.dims.frame;
  f.RevArmMax = v;
  if (f.RevArmMax < f.RevArmNorm) {
    f.RevArmMax = f.RevArmNorm;
    const LD c = s.revArm.Positions[0];
    ClampPositions(s.revArm, c - f.RevArmNorm, c + f.RevArmNorm, true);
  }
  SetRevArmBarRange(s);
}

}  // namespace brevold

namespace brevold {

void TidyPositions(RevArmState& r) {
  for (size_t k = 1; k <= 8; ++k) {
    if (r.Positions[k] != 0) r.RevArmCount = static_cast<int>(k);
    else r.Positions[k + 1] = 0;
  }
  if (r.Positions[9] != 0) r.RevArmCount = 9;
}

void StorePosition(ModelState& s, int k, float value) {
  if (k < 1 || k > 9) return;
  const long double c = s.revArm.Positions[0], mx = s.dims.frame.RevArmMax;
  float v = value;
  if (v != 0) {
    if (v < c - mx) v = static_cast<float>(c - mx);
    if (v > c + mx) v = static_cast<float>(c + mx);
  }
  if (k == 1 && v == 0) v = 0.001f;
  s.revArm.Positions[static_cast<size_t>(k)] = v;
}

void StoreVertScale(ModelState& s, float value) {
  s.revArm.VertScale = value >= MinVertScale ? std::min(value, MaxVertScale) : MinVertScale;
}

void SolveAtMidGear(ModelState& s) {
  s.mech.DrvAngle = 0;
  s.mech.CalcStatus = 'Z';
  Solve(s);
  CalcCentre(s);
}

}  // namespace brevold

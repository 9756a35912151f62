// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The linkage solver: joints for a driver angle and reverse-arm setting, with its two searches.
#include "model/solver.h"
#include "model/numfmt.h"

#include <cmath>

#include "model/state.h"
#include "model/trig.h"

namespace brevold {

namespace {

constexpr LD kPi = 3.14159265358979323846264338327950288L;

LD Sq(LD v) { return v * v; }
LD Dist(const Mechanism& m, int a, int b) {
  return std::sqrt(Sq(static_cast<LD>(m.PtX[a]) - m.PtX[b]) + Sq(static_cast<LD>(m.PtY[a]) - m.PtY[b]));
}

// Sine and cosine of one angle, worked out together (model/trig.h).
struct SC {
  LD s, c;
};
SC SinCos(LD x) {
  SC r;
  trig::SinCos(x, r.s, r.c);
  return r;
}

// The extended-precision arctangent. On x86 the library's is the FPU's
// partial-arctangent instruction on (x, 1) and nothing else; issuing that
// instruction here gives the same result without the call.
LD Atan(LD x) {
#if defined(__x86_64__) || defined(__i386__)
  LD r;
  asm("fld1\n\tfpatan" : "=t"(r) : "0"(x));
  return r;
#else
  return std::atan(x);
#endif
}

// The gear's angle constructions use one-argument arctangents only; arcsin
// and arccos go through arctan so that they agree with them to the last bit.
LD ArcSin(LD c) { return Atan(c / std::sqrt(1 - c * c)); }
LD ArcCos(LD c) { return kPi / 2 - ArcSin(c); }

// sqrt(v) behind the square-root guard.
LD GuardedSqrt(Mechanism& m, LD v) {
  m.CalcTmp = static_cast<float>(v);
  GuardSqrt(m);
  return std::sqrt(static_cast<LD>(m.CalcTmp));
}

// A divisor behind the divisor guard.
LD Guarded(Mechanism& m, LD den) {
  m.CalcDen = static_cast<float>(den);
  GuardDivisor(m);
  return m.CalcDen;
}

// arctan(num / den) with the divisor guard on den.
LD GuardedAtan(Mechanism& m, LD num, LD den) { return Atan(num / Guarded(m, den)); }

// The cosine clamp, kept here so that the passes need no call for it.
inline void ClampCosineHere(Mechanism& m) {
  const LD c = m.CalcTmp;
  if (c > 0.999999L) {
    m.CalcTmp = 0.999999f;
    if (m.IterStep < 0.01L) RaiseError(m);
  } else if (c < -0.999999L) {
    m.CalcTmp = -0.999999f;
    if (m.IterStep < 0.01L) RaiseError(m);
  }
}

// A cosine behind the clamp.
LD Clamped(Mechanism& m, LD c) {
  m.CalcTmp = static_cast<float>(c);
  ClampCosineHere(m);
  return m.CalcTmp;
}

// The value the cosine clamp leaves for c, without touching the state.
LD ClampedValue(LD c) {
  Mechanism scratch;
  scratch.CalcTmp = static_cast<float>(c);
  ClampCosine(scratch);
  return scratch.CalcTmp;
}

void Abandon(Mechanism& m) {
  RaiseError(m);
  m.CalcStatus = 'E';
  m.IterStep = m.IterTol - 1;
}

// A solve that leaves a joint at infinity or NaN has failed even where no
// guard tripped (a dimension of 1e30 overflows single precision).
void CheckFinite(Mechanism& m) {
  for (int j = 0; j < JointCount; ++j)
    if (!std::isfinite(m.PtX[j]) || !std::isfinite(m.PtY[j])) {
      RaiseError(m);
      return;
    }
}

void Set(Mechanism& m, int j, LD x, LD y) {
  m.PtX[j] = static_cast<float>(x);
  m.PtY[j] = static_cast<float>(y);
}

// Returns false when a search ran out of passes (the solve is abandoned).
bool SolveLinkage(ModelState& s) {
  Mechanism& m = s.mech;
  FrameDims& f = s.dims.frame;
  auto& X = m.PtX;
  auto& Y = m.PtY;
  const LD a = static_cast<LD>(m.DrvAngle) * kPi / 180;

  // 1. Main crank and crosshead.
  const SC ta = SinCos(a);
  Set(m, 2, X[1] + ta.c * f.Stroke / 2, Y[1] - ta.s * f.Stroke / 2);
  X[3] = static_cast<float>(X[2] + GuardedSqrt(m, Sq(f.MainRodLen) - Sq(static_cast<LD>(Y[2]) - Y[3])));
  Set(m, 6, static_cast<LD>(X[3]) - f.DropLinkBkS, static_cast<LD>(Y[3]) - f.DropLinkVert);

  // 2. Eccentric-crank pin: the cosine of the angle between main and
  // eccentric crank seen from the axle.
  {
    const LD S = f.Stroke, D = f.EccCircDia, L = f.EccCrankLen;
    LD c = (Sq(S / 2) + Sq(D / 2) - Sq(L)) / Guarded(m, S);
    c = c / Guarded(m, D) * 2;
    const LD t = ArcCos(Clamped(m, c)) - a;
    const SC tt = SinCos(t);
    Set(m, 12, tt.c * D / 2, tt.s * D / 2);
  }

  // 3. Link-crank search: slide joint 11 down until the eccentric rod's end
  // reaches the link-crank radius from the link pivot, then refine.
  const LD linkCrank = std::sqrt(Sq(f.LinkCrankVert) + Sq(f.LinkCrankBkS));
  const LD eccRod2 = Sq(f.EccRodLen);
  m.IterStep = 0.1f;
  Y[11] = static_cast<float>(Y[9] - 0.8L * f.LinkCrankVert);
  for (int n = 0;;) {
    X[11] = static_cast<float>(X[12] + GuardedSqrt(m, eccRod2 - Sq(static_cast<LD>(Y[12]) - Y[11])));
    m.CloseDist = static_cast<float>(Dist(m, 9, 11));
    const bool shortOf = m.CloseDist < linkCrank;
    if (shortOf) Y[11] = static_cast<float>(static_cast<LD>(Y[11]) - m.IterStep);
    if (++n > SearchPassLimit) {
      Abandon(m);
      return false;
    }
    if (shortOf) continue;
    Y[11] = static_cast<float>(Y[11] + 0.8L * m.IterStep);
    m.IterStep = static_cast<float>(0.2L * m.IterStep);
    if (!(m.IterStep > m.IterTol)) break;
  }
  if (linkCrank < Dist(m, 9, 11) - 0.002L) RaiseError(m);

  // 4. Link position.
  m.LinkAng = static_cast<float>(GuardedAtan(m, static_cast<LD>(X[9]) - X[11], static_cast<LD>(Y[9]) - Y[11]) -
                                 GuardedAtan(m, f.LinkCrankBkS, f.LinkCrankVert));
  {
    const SC tl = SinCos(m.LinkAng);
    const LD sn = tl.s, cs = tl.c;
    Set(m, 10, X[9] - sn * f.LinkCrankVert, Y[9] - cs * f.LinkCrankVert);
    Set(m, 22, X[9] + sn * f.LinkUpLowLen, Y[9] + cs * f.LinkUpLowLen);
    Set(m, 25, X[9] - sn * f.LinkUpLowLen, Y[9] - cs * f.LinkUpLowLen);
  }

  // 5. Reverse arm and lifting arm.
  {
    const LD t = GuardedSqrt(m, Sq(f.RevArmVert) + Sq(f.RevArmBkS) - Sq(static_cast<LD>(X[16]) - m.RevArmX));
    Y[18] = static_cast<float>(f.RevArmVert > 0 ? Y[16] + t : Y[16] - t);
    m.CalcAng = static_cast<float>(
        GuardedAtan(m, static_cast<LD>(m.RevArmX) - X[16], static_cast<LD>(Y[16]) - Y[18]) -
        GuardedAtan(m, f.RevArmBkS, f.RevArmVert));
    const LD b = m.CalcAng;
    const SC tb = SinCos(b);
    Set(m, 15, X[16] + tb.c * f.LiftArmLen, Y[16] + tb.s * f.LiftArmLen);
  }

  // 6. Valve-stem search: move X4 back until the lever system that stands
  // for the expansion link closes (joint 24 reaches joint 25), then refine.
  //
  // What depends on the dimensions alone is worked out once here rather than
  // on every pass. A guard that runs here instead of inside the passes leaves
  // the same state: the error flag only ever goes up, and every pass ends
  // with later guards that overwrite the scratch cells.
  //  - the radius-rod joint's angle and distance on the combination lever;
  const LD faLever = GuardedAtan(m, f.CombLevBkS, f.CombLevUpper);
  const LD r = std::sqrt(Sq(f.CombLevUpper) + Sq(f.CombLevBkS));
  //  - the radius-rod levers' angle: fixed by the three lever lengths. A zero
  //    radius-rod lever is replaced in the dimension set during the first
  //    pass (the top lever there still sees the zero); the angle sees the
  //    replacement. Its clamp stays in the passes: whether a clamp is an
  //    error depends on the search step at the time.
  const LD lFixed = f.LinkRadRodLevLen == 0 ? 0.00001f : f.LinkRadRodLevLen;
  const LD zCos = (2 * Sq(lFixed) - Sq(f.LinkMidLevLen)) / 2 / lFixed / lFixed;
  const LD zLever = ArcCos(ClampedValue(zCos));
  //  - squared lengths.
  const LD lower2 = Sq(f.CombLevLower), union2 = Sq(f.UnionLinkLen), lift2 = Sq(f.LiftLinkLen);
  const LD top2 = Sq(f.LinkTopLevLen);

  m.IterStep = 0.5f;
  X[4] = static_cast<float>(static_cast<LD>(X[9]) + f.RadRodLen + f.CombLevUpper + 0.5L);
  for (int n = 0;;) {
    // 6.1-6.3 combination lever's lower end from the union link.
    const LD g = GuardedAtan(m, static_cast<LD>(X[4]) - X[6], static_cast<LD>(Y[4]) - Y[6]);
    const LD md = Dist(m, 4, 6);
    const LD e = ArcCos(Clamped(m, (Sq(md) + lower2 - union2) / 2 / md /
                                       Guarded(m, f.CombLevLower))) - g;
    const SC te = SinCos(e);
    Set(m, 5, X[4] + te.s * f.CombLevLower, Y[4] - te.c * f.CombLevLower);
    // 6.4 radius-rod joint on the lever.
    const LD fa = faLever + e;
    const SC tf = SinCos(fa);
    Set(m, 7, X[4] - tf.s * r, Y[4] + tf.c * r);
    // 6.5-6.8 lift point and die, from the lifting link.
    const LD h = GuardedAtan(m, static_cast<LD>(Y[15]) - Y[7], static_cast<LD>(X[7]) - X[15]);
    const LD v = Dist(m, 7, 15);
    const LD w = Guarded(m, static_cast<LD>(f.RadRodLen) - f.RadRodLiftPt);
    const LD k = ArcSin(Clamped(m, (Sq(v) + Sq(w) - lift2) / 2 / v / w)) + (h - kPi / 2);
    const SC tk = SinCos(k);
    Set(m, 14, X[7] - tk.c * w, Y[7] + tk.s * w);
    Set(m, 8, X[7] + (static_cast<LD>(X[14]) - X[7]) * f.RadRodLen / w,
        Y[7] + (static_cast<LD>(Y[14]) - Y[7]) * f.RadRodLen / w);
    // 6.9 top lever.
    {
      const LD p = GuardedAtan(m, static_cast<LD>(X[8]) - X[22], static_cast<LD>(Y[22]) - Y[8]);
      const LD q = Dist(m, 8, 22);
      const LD c = (Sq(q) + top2 - Sq(f.LinkRadRodLevLen)) / 2 / q / Guarded(m, f.LinkTopLevLen);
      const LD sa = ArcCos(Clamped(m, c)) - p;
      const SC ts = SinCos(sa);
      Set(m, 23, X[22] - ts.s * f.LinkTopLevLen, Y[22] - ts.c * f.LinkTopLevLen);
    }
    // 6.10 the radius-rod levers' lower end.
    {
      const LD u = GuardedAtan(m, static_cast<LD>(Y[23]) - Y[8], static_cast<LD>(X[8]) - X[23]);
      if (f.LinkRadRodLevLen == 0) f.LinkRadRodLevLen = 0.00001f;
      const LD l = f.LinkRadRodLevLen;
      Clamped(m, zCos);  // the clamp's effect on the scratch cell and the error flag
      const LD z = zLever - u;
      const SC tz = SinCos(z);
      Set(m, 24, X[8] - tz.c * l, Y[8] - tz.s * l);
    }
    // 6.11-6.12 closure.
    LD close = Dist(m, 24, 25);
    if (X[24] > X[25]) close = -close;
    m.CloseDist = static_cast<float>(close);
    const bool shortOf = m.CloseDist < f.LinkTopLevLen;
    if (shortOf) X[4] = static_cast<float>(static_cast<LD>(X[4]) - m.IterStep);
    if (++n > SearchPassLimit) {
      Abandon(m);
      return false;
    }
    if (shortOf) continue;
    X[4] = static_cast<float>(X[4] + 0.8L * m.IterStep);
    m.IterStep = static_cast<float>(0.2L * m.IterStep);
    if (!(m.IterStep > static_cast<LD>(m.IterTol) / 10)) break;
  }

  // 7. Sense of the gear.
  m.LiftArmSgn = f.RevArmVert < 0 ? -f.LiftArmLen : f.LiftArmLen;
  m.EccDiaSolved = f.EccCircDia;
  return true;
}

}  // namespace

void RaiseError(Mechanism& m) {
  if (m.BeepOnError) m.ErrFlag = 1;
}

void GuardSqrt(Mechanism& m) {
  if (m.CalcTmp < 0) {
    m.CalcTmp = -m.CalcTmp;
    RaiseError(m);
  }
}

void GuardDivisor(Mechanism& m) {
  const LD d = m.CalcDen;
  if (d >= 0 && d < 0.00001L) {
    m.CalcDen = 0.00001f;
    RaiseError(m);
  } else if (d > -0.00001L && d < 0) {
    m.CalcDen = -0.00001f;
    RaiseError(m);
  }
}

void ClampCosine(Mechanism& m) { ClampCosineHere(m); }

void Solve(ModelState& s) {
  const bool completed = SolveLinkage(s);
  if (completed) CalcValveEdges(s);
  CheckFinite(s.mech);
}

bool SensePositive(const Mechanism& m) {
  return (m.LiftArmSgn > 0 && m.EccDiaSolved > 0) || (m.LiftArmSgn < 0 && m.EccDiaSolved < 0);
}

}  // namespace brevold

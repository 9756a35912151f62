// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The identity grid at the end of this file runs a fast subset in the normal
// suite; the full grid (every gear set x 37 reverse-arm settings x 360
// angles, about half a minute in a release build) runs with
//   BREVOLD_FULL_GRID=1 build/tests/model_tests --gtest_filter='IdentityGrid.*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "helpers.h"
#include "model/trig.h"

namespace brevold {
using test::AllJointsFinite;
using test::SolveAt;
using test::Started;

// The positive sense after a first solve, as the program has it once running.
ModelState RunningAtMidGear() {
  ModelState s = Started();
  SolveAt(s, 0);
  CalcCentre(s);
  s.mech.ErrFlag = 0;
  return s;
}

TEST(NominalSolve, JointsAtZeroDegreesAtMidGear) {
  ModelState s = Started();
  s.mech.ErrFlag = 0;
  SolveAt(s, 0);
  EXPECT_EQ(s.mech.ErrFlag, 0);
  EXPECT_EQ(s.mech.CalcStatus, 'Z');
  EXPECT_NEAR(s.mech.RevArmX, 9.7657f, 1e-4);
  EXPECT_FLOAT_EQ(s.mech.PtX[2], 2.0f);
  EXPECT_NEAR(s.mech.PtY[2], 0.0f, 1e-6);
  EXPECT_NEAR(s.mech.PtX[3], 18.4981f, 1e-4);
  EXPECT_FLOAT_EQ(s.mech.PtY[3], 0.25f);
  EXPECT_NEAR(s.mech.PtX[4], 19.712f, 2e-3);
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 3.25f);
  EXPECT_FLOAT_EQ(s.mech.PtX[6], s.mech.PtX[3] - 1.0f);
  EXPECT_FLOAT_EQ(s.mech.PtY[6], -0.75f);
  // The levers close: bottom lever as long as the top lever, rods at length.
  auto dist = [&](int a, int b) {
    return std::hypot(s.mech.PtX[a] - s.mech.PtX[b], s.mech.PtY[a] - s.mech.PtY[b]);
  };
  EXPECT_NEAR(dist(24, 25), 1.9, 1e-3);
  EXPECT_NEAR(dist(23, 24), 1.9, 1e-4);
  EXPECT_NEAR(dist(8, 23), 2.0, 1e-4);
  EXPECT_NEAR(dist(5, 6), 3.922, 1e-4);
  EXPECT_NEAR(dist(14, 15), 2.2, 1e-4);
  EXPECT_NEAR(dist(11, 12), 9.883, 1e-4);
  EXPECT_NEAR(dist(7, 8), 9.231, 1e-4);
  EXPECT_NEAR(dist(2, 12), 2.352, 1e-4);
  EXPECT_NEAR(dist(9, 11), std::hypot(3.414, 0.489), 2e-3);
  EXPECT_FLOAT_EQ(s.mech.LiftArmSgn, 2.75f);
  EXPECT_FLOAT_EQ(s.mech.EccDiaSolved, 2.406f);
  EXPECT_TRUE(SensePositive(s.mech));
}

TEST(NominalSolve, NoErrorOverARevolutionAtEveryWorkingSetting) {
  ModelState s = RunningAtMidGear();
  const float mid = s.revArm.Positions[0];
  const float norm = s.dims.frame.RevArmNorm, mx = s.dims.frame.RevArmMax;
  for (float setting : {mid, mid + norm, mid - norm, mid + mx}) {
    s.mech.RevArmX = setting;
    for (int a = 0; a <= 360; a += 10) {
      SolveAt(s, static_cast<float>(a));
      ASSERT_EQ(s.mech.ErrFlag, 0) << "setting " << setting << " angle " << a;
      ASSERT_EQ(s.mech.CalcStatus, 'Z');
    }
  }
}

TEST(NominalSolve, ValveTravelGrowsWithTheReverseArmAwayFromMidGear) {
  ModelState s = RunningAtMidGear();
  auto travel = [&](float setting) {
    s.mech.RevArmX = setting;
    float lo = 1e9f, hi = -1e9f;
    for (int a = 0; a < 360; a += 5) {
      SolveAt(s, static_cast<float>(a));
      lo = std::min(lo, s.valve.ValveDisp);
      hi = std::max(hi, s.valve.ValveDisp);
    }
    return hi - lo;
  };
  const float mid = s.revArm.Positions[0];
  const float atMid = travel(mid);
  EXPECT_GT(travel(mid + 0.7f), atMid + 0.3f);
  EXPECT_GT(travel(mid - 0.7f), atMid + 0.3f);
}

TEST(NominalSolve, SearchesEndOnTheirLastStep) {
  ModelState s = Started();
  SolveAt(s, 30);
  // The valve-stem search's last step: 0.5 * 0.2^7, stored as a single.
  float step = 0.5f;
  for (int i = 0; i < 7; ++i) step = static_cast<float>(0.2L * step);
  EXPECT_EQ(s.mech.IterStep, step);
  EXPECT_LT(s.mech.IterStep, s.mech.IterTol / 10);
}

TEST(SolverGuards, GuardsSubstituteSafeValues) {
  Mechanism m;
  m.BeepOnError = true;
  m.CalcTmp = -4;
  GuardSqrt(m);
  EXPECT_EQ(m.CalcTmp, 4);
  EXPECT_EQ(m.ErrFlag, 1);

  m.ErrFlag = 0;
  m.CalcDen = 0;
  GuardDivisor(m);
  EXPECT_EQ(m.CalcDen, 0.00001f);
  m.CalcDen = -0.000001f;
  GuardDivisor(m);
  EXPECT_EQ(m.CalcDen, -0.00001f);
  EXPECT_EQ(m.ErrFlag, 1);
  m.ErrFlag = 0;
  m.CalcDen = 0.5f;
  GuardDivisor(m);
  EXPECT_EQ(m.CalcDen, 0.5f);
  EXPECT_EQ(m.ErrFlag, 0);

  // A clamped cosine is an error only near convergence.
  m.IterStep = 0.1f;
  m.CalcTmp = 1.5f;
  ClampCosine(m);
  EXPECT_EQ(m.CalcTmp, 0.999999f);
  EXPECT_EQ(m.ErrFlag, 0);
  m.IterStep = 0.004f;
  m.CalcTmp = -1.5f;
  ClampCosine(m);
  EXPECT_EQ(m.CalcTmp, -0.999999f);
  EXPECT_EQ(m.ErrFlag, 1);

  m.ErrFlag = 0;
  m.BeepOnError = false;
  m.CalcTmp = -1;
  GuardSqrt(m);
  m.CalcDen = 0;
  GuardDivisor(m);
  EXPECT_EQ(m.CalcTmp, 1);
  EXPECT_EQ(m.CalcDen, 0.00001f);
  EXPECT_EQ(m.ErrFlag, 0);
}

TEST(SolverGuards, ShortMainRodTripsTheSquareRootGuardButStaysFinite) {
  ModelState s = Started();
  s.dims.frame.MainRodLen = 0.5f;  // shorter than the crank pin's drop at 90 degrees
  s.mech.ErrFlag = 0;
  SolveAt(s, 90);
  EXPECT_EQ(s.mech.ErrFlag, 1);
  EXPECT_TRUE(AllJointsFinite(s));
  EXPECT_TRUE(std::isfinite(s.valve.PistonUnits));
}

TEST(SolverGuards, ErrorBeepOffRaisesNothing) {
  ModelState s = Started();
  s.mech.BeepOnError = false;
  s.mech.ErrFlag = 0;
  s.dims.frame.MainRodLen = 0.5f;
  s.dims.frame.LinkTopLevLen = 0;
  s.dims.frame.LinkCrankVert = 1000;
  for (int a = 0; a < 360; a += 45) SolveAt(s, static_cast<float>(a));
  EXPECT_EQ(s.mech.ErrFlag, 0);
}

TEST(SolverGuards, ZeroRadiusRodLeverIsReplacedInTheDimensionSet) {
  ModelState s = Started();
  s.dims.frame.LinkRadRodLevLen = 0;
  SolveAt(s, 0);
  EXPECT_EQ(s.dims.frame.LinkRadRodLevLen, 0.00001f);
  EXPECT_TRUE(AllJointsFinite(s));
}

TEST(SolverGuards, ReverseArmVertZeroTakesTheArmDownBranch) {
  ModelState s = RunningAtMidGear();
  s.dims.frame.RevArmVert = 0;
  s.mech.RevArmX = s.mech.PtX[16];
  SolveAt(s, 0);
  EXPECT_LE(s.mech.PtY[18], s.mech.PtY[16]);
  EXPECT_FLOAT_EQ(s.mech.LiftArmSgn, s.dims.frame.LiftArmLen);

  s.dims.frame.RevArmVert = -2.344f;
  s.mech.RevArmX = s.mech.PtX[16] + 0.5f;
  SolveAt(s, 0);
  EXPECT_LT(s.mech.PtY[18], s.mech.PtY[16]);
  EXPECT_FLOAT_EQ(s.mech.LiftArmSgn, -s.dims.frame.LiftArmLen);
}

TEST(Searches, AnAbandonedSolveLeavesLaterJointsAndResultsAlone) {
  ModelState s = RunningAtMidGear();
  SolveAt(s, 40);
  const ModelState before = s;
  // A link crank far longer than the eccentric rod can reach in 1000 passes.
  s.dims.frame.LinkCrankBkS = 1000;
  s.mech.ErrFlag = 0;
  s.mech.DrvAngle = 80;
  Solve(s);
  EXPECT_EQ(s.mech.CalcStatus, 'E');
  EXPECT_EQ(s.mech.ErrFlag, 1);
  EXPECT_FLOAT_EQ(s.mech.IterStep, s.mech.IterTol - 1);
  EXPECT_NE(s.mech.PtX[2], before.mech.PtX[2]);  // reached before the search
  for (int j : {4, 5, 7, 8, 10, 14, 15, 22, 23, 24, 25}) {
    EXPECT_EQ(s.mech.PtX[j], before.mech.PtX[j]) << j;
    EXPECT_EQ(s.mech.PtY[j], before.mech.PtY[j]) << j;
  }
  EXPECT_EQ(s.mech.LinkAng, before.mech.LinkAng);
  EXPECT_EQ(s.mech.LiftArmSgn, before.mech.LiftArmSgn);
  EXPECT_EQ(s.valve.ValveDisp, before.valve.ValveDisp);
  EXPECT_EQ(s.valve.LapF, before.valve.LapF);
}

TEST(Searches, ClampedEccentricCosineIsAnErrorThroughTheCarriedStep) {
  ModelState s = Started();
  // An eccentric crank that cannot reach: the first clamp of the solve reads
  // the step the previous solve ended on, below 0.01, so it is an error.
  s.dims.frame.EccCrankLen = 10;
  s.mech.ErrFlag = 0;
  SolveAt(s, 0);
  EXPECT_EQ(s.mech.ErrFlag, 1);
}

TEST(Searches, WildDimensionSetsEndWithinThePassLimit) {
  struct Case {
    const char* name;
    int id;
    float value;
  };
  const std::vector<Case> cases = {
      {"zero stroke", 2, 0},          {"negative stroke", 2, -4},     {"huge main rod", 3, 1e30f},
      {"short main rod", 3, 1},       {"zero union link", 6, 0},      {"zero lever lower", 9, 0},
      {"zero lever upper", 7, 0},     {"zero radius rod", 10, 0},     {"huge radius rod", 10, 1e30f},
      {"zero link crank", 12, 0},     {"negative link crank", 12, -3}, {"zero eccentric rod", 14, 0},
      {"zero eccentric dia", 15, 0},  {"negative eccentric dia", 15, -2.406f},
      {"lift point at rod end", 17, 9.231f}, {"zero lifting link", 21, 0}, {"huge lifting arm", 20, 1e30f},
      {"zero top lever", 28, 0},      {"zero middle lever", 29, 0},   {"negative pivot", 25, -10},
      {"huge pivot", 24, 1e30f},      {"negative cylinder line", 102, -1e30f},
  };
  for (const Case& c : cases) {
    ModelState s = RunningAtMidGear();
    SetDim(s, c.id, c.value);
    for (int a = 0; a < 360; a += 30) {
      s.mech.ErrFlag = 0;
      SolveAt(s, static_cast<float>(a));
    }
    SCOPED_TRACE(c.name);
    // Each solve returned (the pass limits hold); a broken geometry is flagged.
    if (!AllJointsFinite(s)) {
      EXPECT_EQ(s.mech.ErrFlag, 1);
    }
  }
  // Every dimension zeroed at once, and every dimension negated.
  for (float sign : {0.0f, -1.0f}) {
    ModelState s = RunningAtMidGear();
    for (const DimInfo& d : DimTable()) SetDim(s, d.id, sign * GetDim(s, d.id));
    s.mech.ErrFlag = 0;
    for (int a = 0; a < 360; a += 30) SolveAt(s, static_cast<float>(a));
    EXPECT_EQ(s.mech.ErrFlag, 1);
  }
}

// The solver's sine-cosine against the library's over the angles the solver
// meets (about -5 to 6.3 radians): the two may differ in the last bit, the
// library's being the less accurate of the two near a zero of the function,
// but never by more than two units there; special values go to the library.
TEST(SolverTrig, SineCosineAgreesWithTheLibrary) {
  using LD = long double;
  auto units = [](LD got, LD want) {
    const LD unit = std::nextafter(std::fabs(want), std::numeric_limits<LD>::infinity()) - std::fabs(want);
    return std::fabs(got - want) / unit;
  };
  LD worst = 0;
  int differ = 0;
  const int n = 200000;
  for (int i = 0; i <= n; ++i) {
    const LD x = -5 + i * (11.3L / n) + i * 1e-13L;
    LD s, c;
    trig::SinCos(x, s, c);
    worst = std::max({worst, units(s, std::sin(x)), units(c, std::cos(x))});
    differ += (s != std::sin(x)) + (c != std::cos(x));
  }
  EXPECT_LE(worst, 2);
  EXPECT_LT(differ, n / 10);  // of 2n values
  for (LD x : {0.0L, -0.0L, 1e30L, -100.0L, std::numeric_limits<LD>::infinity(),
               std::numeric_limits<LD>::quiet_NaN()}) {
    LD s, c;
    trig::SinCos(x, s, c);
    const LD ls = std::sin(x), lc = std::cos(x);
    EXPECT_EQ(std::memcmp(&s, &ls, 10), 0) << x;
    EXPECT_EQ(std::memcmp(&c, &lc, 10), 0) << x;
  }
}

// Identity grid: every value a solve and its post-calculation store, folded
// bit for bit into one hash per gear set. The hashes were taken from the
// solver as it stood before its speed work; any change to the arithmetic
// that moves a single bit of any joint, angle, scratch cell, status or valve
// event changes them.
namespace grid {

struct Fnv {
  std::uint64_t h = 14695981039346656037ull;
  void Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  }
  void F(float v) { Bytes(&v, sizeof v); }
};

void Fold(Fnv& h, const ModelState& s) {
  const Mechanism& m = s.mech;
  h.Bytes(m.PtX.data(), sizeof(float) * JointCount);
  h.Bytes(m.PtY.data(), sizeof(float) * JointCount);
  for (float v : {m.DrvAngle, m.RevArmX, m.LinkAng, m.LiftArmSgn, m.EccDiaSolved, m.CalcTmp, m.CalcDen,
                  m.CalcAng, m.IterStep, m.IterTol, m.CloseDist})
    h.F(v);
  const unsigned char flags[] = {static_cast<unsigned char>(m.CalcStatus), m.ErrFlag};
  h.Bytes(flags, sizeof flags);
  static_assert(sizeof(ValveEvents) == 18 * sizeof(float));
  h.Bytes(&s.valve, sizeof s.valve);
  // The solver writes one dimension back (a zero radius-rod lever).
  static_assert(sizeof(FrameDims) == 26 * sizeof(float));
  h.Bytes(&s.dims.frame, sizeof s.dims.frame);
}

struct GearSet {
  const char* name;
  std::vector<std::pair<int, float>> scale;  // dimension id, factor on the nominal value
  std::vector<std::pair<int, float>> set;    // dimension id, value
  std::uint64_t subsetHash, fullHash;
};

// Nominal, scaled variants, reversed senses, guard-tripping and abandoned searches.
const std::vector<GearSet>& GearSets() {
  static const std::vector<GearSet> sets = {
      {"nominal", {}, {},
       0xb85f1ff8d68f992aull, 0xb2d90c3e482eec74ull},
      {"rod and stroke", {{3, 1.2f}, {2, 0.85f}, {4, 1.3f}}, {},
       0x8ec44af7b0a39d90ull, 0x9bfa83ebf40c6586ull},
      {"combination lever", {{7, 1.25f}, {9, 0.8f}, {8, 1.3f}, {6, 0.9f}}, {},
       0x7a1e8dd32ccbffeull, 0xa2d9d52409440476ull},
      {"radius rod and lift", {{10, 0.9f}, {17, 1.2f}, {21, 1.15f}}, {},
       0x4b5fd034178b5c4bull, 0x8f59993e76817d36ull},
      {"eccentric", {{14, 1.1f}, {15, 0.8f}, {16, 1.2f}}, {},
       0x9c8196fbe15759bcull, 0x9d2b77b5c92c833dull},
      {"link", {{11, 1.2f}, {12, 0.85f}, {13, 1.3f}}, {},
       0x509c69399e82ad6bull, 0xb8f05375cb99b1c5ull},
      {"reverse arm", {{18, 1.3f}, {19, 0.7f}, {20, 1.1f}}, {},
       0xda7766ba70e94cc1ull, 0x7f6f7d892386e6a6ull},
      {"levers", {{28, 0.9f}, {29, 1.1f}, {30, 1.2f}}, {},
       0xfed2850ce9449844ull, 0x59a3571b4e90fc4cull},
      {"pivots", {{22, 1.1f}, {23, 0.9f}, {24, 1.2f}, {25, 0.8f}}, {},
       0x7a0055d100ac4232ull, 0xf1d0df821c50fc74ull},
      {"cylinder and valve", {{101, 1.1f}, {102, 0.8f}, {108, 1.2f}, {111, 1.1f}, {114, 0.9f}, {117, 1.2f}}, {},
       0xcdb2cd76cbc3fffeull, 0x1e6af7e14ef360f2ull},
      {"frame -20%", {{2, 0.8f}, {3, 0.8f}, {7, 0.8f}, {9, 0.8f}, {10, 0.8f}, {11, 0.8f}, {14, 0.8f}, {15, 0.8f},
                      {16, 0.8f}, {20, 0.8f}, {21, 0.8f}, {28, 0.8f}, {29, 0.8f}, {30, 0.8f}}, {},
       0xcb8d6b1d412ba15bull, 0xb64ba762c186161ull},
      {"frame +15%", {{2, 1.15f}, {3, 1.15f}, {6, 1.15f}, {12, 1.15f}, {13, 1.15f}, {17, 1.15f}, {18, 1.15f},
                      {19, 1.15f}, {28, 1.15f}, {29, 1.15f}, {30, 1.15f}}, {},
       0x573350156123fcb8ull, 0x5abe24b3e89f49dfull},
      {"negative eccentric dia", {{15, -1}}, {},
       0xee4cf2cc1562e6f3ull, 0x1edf9d1b9c4252edull},
      {"reverse arm down", {{18, -1}}, {},
       0xceec49222547f3deull, 0x81eac76aa06b692cull},
      {"zero radius-rod lever", {}, {{30, 0}},
       0x232a19e5986518caull, 0x8b63bc93c8862b3cull},
      {"main rod shorter than crank", {}, {{3, 1}},
       0x7d5151e8030c6f5full, 0x1666c8871d5cb20cull},
      {"zero radius rod", {}, {{10, 0}},
       0xcdc4d093dbec02b7ull, 0xa55b0fc061266a71ull},
      {"eccentric crank out of reach", {}, {{16, 10}},
       0xbc61f35fc313a8b0ull, 0x1e3669f52874e026ull},
      {"zero union link", {}, {{6, 0}},
       0xa21f8f8667cba054ull, 0xdd83f41ad4695707ull},
      {"zero lifting link", {}, {{21, 0}},
       0xc7bad713977af2f9ull, 0x349853c40e674581ull},
      {"zero top lever", {}, {{28, 0}},
       0xd79e6bfc2df3f01dull, 0x96a4b6e113e0fd19ull},
      {"huge main rod", {}, {{3, 1e30f}},
       0x56f25d732e90ed7aull, 0xe186d883f7a8e82eull},
      {"huge lifting arm", {}, {{20, 1e30f}},
       0xb7bb86cb020cd67dull, 0x42cbec60d761dc6cull},
      {"valve-stem search abandoned", {}, {{28, 1e5f}},
       0x8c2bfa2034621c40ull, 0x40c7a4c77ba90394ull},
      {"link-crank search abandoned", {}, {{13, 1000}},
       0x40b4dc8d7ebeed01ull, 0xc5493f9518800739ull},
  };
  return sets;
}

// Runs one gear set over every settingStep-th of the 37 reverse-arm settings
// and every angleStep-th degree, carrying the state as the animation does.
std::uint64_t Run(const GearSet& g, int settingStep, int angleStep) {
  ModelState s = RunningAtMidGear();
  const float mid = s.revArm.Positions[0], mx = s.dims.frame.RevArmMax;
  for (auto [id, k] : g.scale) SetDim(s, id, GetDim(s, id) * k);
  for (auto [id, v] : g.set) SetDim(s, id, v);
  Fnv h;
  for (int k = 0; k <= 36; k += settingStep) {
    s.mech.RevArmX = mid + mx * static_cast<float>(k - 18) / 18;
    for (int a = 0; a < 360; a += angleStep) {
      s.mech.ErrFlag = 0;
      // Folded after the solve and again after the post-calculation, which
      // overwrites two of the solve's scratch cells.
      s.mech.DrvAngle = static_cast<float>(a);
      Solve(s);
      Fold(h, s);
      PostCalc(s);
      Fold(h, s);
    }
  }
  return h.h;
}

void Check(bool full) {
  for (const GearSet& g : GearSets()) {
    const std::uint64_t got = full ? Run(g, 1, 1) : Run(g, 9, 5);
    EXPECT_EQ(got, full ? g.fullHash : g.subsetHash)
        << g.name << ": 0x" << std::hex << got << "ull";
  }
}

}  // namespace grid

TEST(IdentityGrid, SubsetMatchesTheRecordedSolver) { grid::Check(false); }

TEST(IdentityGrid, FullGridMatchesTheRecordedSolver) {
  if (!std::getenv("BREVOLD_FULL_GRID")) GTEST_SKIP() << "set BREVOLD_FULL_GRID=1 for the full grid";
  grid::Check(true);
}

}  // namespace brevold

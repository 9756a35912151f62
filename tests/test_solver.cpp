#include <gtest/gtest.h>

#include <vector>

#include "helpers.h"

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

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "helpers.h"

namespace brevold {
using test::SolveAt;
using test::Started;

TEST(MidGear, StartUpCentreTakesTheNegativeSense) {
  ModelState s = Started();
  const auto& p = s.revArm.Positions;
  EXPECT_NEAR(p[0], 9.7657f, 1e-4);
  EXPECT_EQ(p[1], p[0]);
  EXPECT_EQ(s.mech.RevArmX, p[0]);
  EXPECT_NEAR(p[2], 9.0657f, 1e-4);
  EXPECT_NEAR(p[3], 10.4657f, 1e-4);
  for (int k = 4; k <= 9; ++k) EXPECT_EQ(p[static_cast<size_t>(k)], 0.0f);
  EXPECT_EQ(s.revArm.RevArmCount, 3);
}

TEST(MidGear, CentreAfterASolveTakesThePositiveSense) {
  ModelState s = Started();
  s.mech.DrvAngle = 123;
  SolveAt(s, 123);
  s.mech.RevArmX = 5;
  CalcCentre(s);
  const auto& p = s.revArm.Positions;
  EXPECT_NEAR(p[1], 9.7657f, 1e-4);
  EXPECT_NEAR(p[2], 10.4657f, 1e-4);
  EXPECT_NEAR(p[3], 9.0657f, 1e-4);
  EXPECT_EQ(s.mech.RevArmX, p[0]);
  EXPECT_EQ(s.mech.DrvAngle, 123);  // the calculation does not move the driver
}

TEST(MidGear, SubstitutesZeroDimensionsAndGuardsDegenerateGeometry) {
  ModelState s = Started();
  s.dims.frame.LiftArmLen = 0;
  s.dims.frame.RevArmVert = 0;
  CalcCentre(s);
  EXPECT_EQ(s.dims.frame.LiftArmLen, 0.00001f);
  EXPECT_EQ(s.dims.frame.RevArmVert, 0.00001f);
  EXPECT_TRUE(std::isfinite(s.revArm.Positions[0]));

  // Lift point straight above the reverse-arm pivot: the old centre stays.
  ModelState t = Started();
  const float before = t.revArm.Positions[0];
  t.mech.PtX[9] = 10;
  t.dims.frame.RadRodLiftPt = 1.5f;
  t.mech.PtX[16] = 11.5f;
  CalcCentre(t);
  EXPECT_EQ(t.revArm.Positions[0], before);

  // A lifting link too long to reach: the arcsine is limited both ways.
  ModelState u = Started();
  u.dims.frame.LiftLinkLen = 100;
  CalcCentre(u);
  EXPECT_TRUE(std::isfinite(u.revArm.Positions[0]));

  ModelState v = Started();
  v.dims.frame.RadRodLen = 0;
  CalcCentre(v);
  EXPECT_EQ(v.dims.frame.RadRodLen, 0.00001f);
}

TEST(TravelLimits, NormalTravelAboveMaximumIsHeldAtMaximum) {
  ModelState s = Started();
  s.revArm.Positions[4] = 20.0f;
  s.revArm.Positions[5] = 0;
  s.revArm.Positions[6] = 1.0f;
  SetNormalTravel(s, 1.0f);
  const float c = s.revArm.Positions[0];
  EXPECT_FLOAT_EQ(s.dims.frame.RevArmNorm, 0.9f);
  EXPECT_FLOAT_EQ(s.revArm.Positions[4], c + 0.9f);
  EXPECT_EQ(s.revArm.Positions[5], 0.0f);  // empty positions stay empty
  EXPECT_FLOAT_EQ(s.revArm.Positions[6], c - 0.9f);

  SetNormalTravel(s, 0.5f);  // within the maximum: stored, nothing clamped
  EXPECT_FLOAT_EQ(s.dims.frame.RevArmNorm, 0.5f);
  EXPECT_FLOAT_EQ(s.revArm.Positions[4], c + 0.9f);
}

TEST(TravelLimits, MaximumBelowNormalClampsEveryPositionAndSetsTheBarRange) {
  ModelState s = Started();
  SetMaximumTravel(s, 2.5f);
  EXPECT_EQ(s.revArm.BarMin, -2500);
  EXPECT_EQ(s.revArm.BarMax, 2500);
  SetMaximumTravel(s, 0.3f);
  const float c = s.revArm.Positions[0];
  EXPECT_FLOAT_EQ(s.dims.frame.RevArmMax, 0.7f);
  EXPECT_EQ(s.revArm.BarMax, 700);
  EXPECT_EQ(s.revArm.BarMin, -700);
  for (int k = 1; k <= 9; ++k) {
    EXPECT_GE(s.revArm.Positions[static_cast<size_t>(k)], c - 0.7f - 1e-6f) << k;
    EXPECT_LE(s.revArm.Positions[static_cast<size_t>(k)], c + 0.7f + 1e-6f) << k;
  }
  // Positions 4..9 were empty and are now pulled up into the normal band.
  EXPECT_FLOAT_EQ(s.revArm.Positions[9], c - 0.7f);
}

TEST(TravelLimits, BarRangeRoundsHalfThousandthsToEven) {
  ModelState s = Started();
  SetMaximumTravel(s, 0.8125f);  // 812.5 exactly
  EXPECT_EQ(s.revArm.BarMax, 812);
  EXPECT_EQ(s.revArm.BarMin, -812);
}

TEST(Positions, VerticalScaleIsHeldToItsRange) {
  ModelState s = Started();
  for (const auto& [typed, kept] : {std::pair{0.05f, 0.1f}, {2.5f, 2.5f}, {100.0f, 100.0f}, {1e9f, 100.0f}, {-3.0f, 0.1f}}) {
    StoreVertScale(s, typed);
    EXPECT_EQ(s.revArm.VertScale, kept) << typed;
  }
  StoreVertScale(s, std::nanf(""));
  EXPECT_EQ(s.revArm.VertScale, 0.1f);
}

TEST(Positions, RunLengthStopsAtTheFirstEmptyPosition) {
  RevArmState r;
  EXPECT_EQ(RunOfPositions(r), 0);
  r.Positions = {9, 9, 10, 0, 8, 0, 0, 0, 0, 0};
  EXPECT_EQ(RunOfPositions(r), 2);
  r.Positions.fill(1);
  EXPECT_EQ(RunOfPositions(r), 9);
}

}  // namespace brevold

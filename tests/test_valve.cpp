// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "helpers.h"

namespace brevold {
using test::SolveAt;
using test::Started;

TEST(ValveEvents, NominalLapsAndClearances) {
  ModelState s = Started();
  SolveAt(s, 0);
  EXPECT_NEAR(s.valve.LapF, 0.152f, 1e-6);
  EXPECT_NEAR(s.valve.LapR, 0.152f, 1e-6);
  EXPECT_NEAR(s.valve.ExhClrF, -0.001f, 1e-6);
  EXPECT_NEAR(s.valve.ExhClrR, -0.001f, 1e-6);
  const float M = s.dims.CylValveDim[CylCtrToDrv] - s.dims.CylValveDim[ValveStemLen];
  EXPECT_NEAR(M, 19.53f, 1e-5);
  EXPECT_NEAR(s.valve.VlvEdge2, M - 0.152f, 1e-5);
  EXPECT_NEAR(s.valve.VlvEdge3, M + 0.152f, 1e-5);
  EXPECT_NEAR(s.valve.VlvEdge1, -(M + 0.152f), 1e-5);
  EXPECT_NEAR(s.valve.VlvEdge4, -(M - 0.152f), 1e-5);
  EXPECT_NEAR(s.valve.VlvEdge5, M - 0.001f, 1e-5);
  EXPECT_NEAR(s.valve.VlvEdge6, -(M + 0.001f), 1e-5);
  EXPECT_NEAR(s.valve.ValveDisp, s.mech.PtX[4] - M, 1e-6);
}

TEST(ValveEvents, PistonRunsZeroTo640WithTheRodsAngularity) {
  for (float rod : {16.5f, 2.5f, 100.0f}) {
    ModelState s = Started();
    s.dims.frame.MainRodLen = rod;
    SolveAt(s, 0);
    EXPECT_NEAR(s.valve.PistonUnits, 0, 1e-3) << rod;
    SolveAt(s, 180);
    EXPECT_NEAR(s.valve.PistonUnits, 640, 1e-3) << rod;
    SolveAt(s, 90);
    EXPECT_GT(s.valve.PistonUnits, 320) << rod;
  }
}

TEST(ValveEvents, CentredValveShowsLapsAndClearances) {
  ModelState s = Started();
  SolveAt(s, 0);
  const auto& c = s.dims.CylValveDim;
  s.mech.PtX[4] = c[CylCtrToDrv] - c[ValveStemLen];
  PostCalc(s);
  EXPECT_NEAR(s.valve.OpenSteamF, -s.valve.LapF, 1e-5);
  EXPECT_NEAR(s.valve.OpenSteamR, -s.valve.LapF, 1e-5);
  EXPECT_NEAR(s.valve.OpenExhF, s.valve.ExhClrF, 1e-5);
  EXPECT_NEAR(s.valve.OpenExhR, s.valve.ExhClrR, 1e-5);
}

TEST(ValveEvents, ZeroStrokeIsGuardedInThePostCalculation) {
  ModelState s = Started();
  SolveAt(s, 0);
  s.dims.frame.Stroke = 0;
  s.mech.ErrFlag = 0;
  PostCalc(s);
  EXPECT_EQ(s.mech.ErrFlag, 1);
  EXPECT_TRUE(std::isfinite(s.valve.PistonUnits));
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "helpers.h"

namespace brevold {
using test::Started;

TEST(StartUpState, EveryDimensionIsNominal) {
  ModelState s = Started();
  const FrameDims& f = s.dims.frame;
  EXPECT_FLOAT_EQ(f.Stroke, 4.0f);
  EXPECT_FLOAT_EQ(f.MainRodLen, 16.5f);
  EXPECT_FLOAT_EQ(f.EccCircDia, 2.406f);
  EXPECT_FLOAT_EQ(f.LinkRadRodLevLen, 2.0f);
  EXPECT_FLOAT_EQ(f.LinkMidLevLen, 1.9f);
  EXPECT_FLOAT_EQ(f.RevArmNorm, 0.7f);
  EXPECT_FLOAT_EQ(f.RevArmMax, 0.9f);
  EXPECT_FLOAT_EQ(s.mech.PtX[9], 10.297f);
  EXPECT_FLOAT_EQ(s.mech.PtY[9], 3.5f);
  EXPECT_FLOAT_EQ(s.mech.PtX[16], 9.8f);
  EXPECT_FLOAT_EQ(s.mech.PtY[16], 5.6f);
  EXPECT_EQ(s.mech.PtX[1], 0.0f);
  EXPECT_EQ(s.mech.PtY[1], 0.0f);
  EXPECT_FLOAT_EQ(s.mech.PtY[3], 0.25f);
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 3.25f);
  EXPECT_EQ(s.dims.CylValveDim, s.dims.NomCyl);
  EXPECT_EQ(s.dims.CylValveDim[CylSpare], 0.0f);
  EXPECT_EQ(s.dims.DimFileName, "Nominal");
  EXPECT_EQ(s.mech.CalcStatus, 'Z');
  EXPECT_TRUE(s.mech.BeepOnError);
  EXPECT_EQ(s.revArm.BarMin, -900);
  EXPECT_EQ(s.revArm.BarMax, 900);
  // The reference points start at the driver centre.
  EXPECT_EQ(s.mech.PtX[19], 0.0f);
  EXPECT_EQ(s.mech.PtY[20], 0.0f);
}

TEST(DimensionIds, TableIsCompleteAndEachIdReachesItsOwnQuantity) {
  ModelState s = Started();
  std::set<int> ids;
  std::set<float*> targets;
  for (const DimInfo& d : DimTable()) {
    EXPECT_LE(std::string(d.shortName).size(), 25u) << d.id;
    ids.insert(d.id);
    float* p = DimPtr(s, d.id);
    ASSERT_NE(p, nullptr) << d.id;
    targets.insert(p);
  }
  EXPECT_EQ(ids.size(), 45u);
  EXPECT_EQ(targets.size(), 45u);  // no two ids share storage
  for (int id : {0, 26, 27, 31, 100, 118, -1}) {
    EXPECT_FALSE(HasDim(id)) << id;
    EXPECT_FALSE(SetDim(s, id, 1.0f)) << id;
  }
  EXPECT_STREQ(FindDim(18)->shortName, "Reverse Arm  Vert");
  EXPECT_STREQ(FindDim(117)->shortName, "Valve ctr to Joint (Stem)");
  EXPECT_EQ(DimPtr(s, 22), &s.mech.PtY[16]);
  EXPECT_EQ(DimPtr(s, 23), &s.mech.PtX[16]);
  EXPECT_EQ(DimPtr(s, 24), &s.mech.PtY[9]);
  EXPECT_EQ(DimPtr(s, 25), &s.mech.PtX[9]);
  EXPECT_EQ(DimPtr(s, 102), &s.mech.PtY[3]);
  EXPECT_EQ(DimPtr(s, 113), &s.dims.CylValveDim[ValvePortWFront]);
}

TEST(DimensionIds, ValveCentreLineFollowsCylinderLineAndOffset) {
  ModelState s = Started();
  SetDim(s, 102, 1.0f);
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 4.0f);
  SetDim(s, 108, 2.0f);
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 3.0f);
  SetDim(s, 111, 9.0f);  // any other cylinder dimension leaves it alone
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 3.0f);
}

TEST(Resets, FrameAndCylinderResetsTouchOnlyTheirOwnDimensions) {
  ModelState s = Started();
  for (const DimInfo& d : DimTable()) SetDim(s, d.id, 99.0f);
  s.dims.frame.RevArmNorm = 5;
  s.dims.frame.RevArmMax = 6;

  ModelState frameOnly = s;
  ResetFrameDims(frameOnly);
  const ModelState nominal = Started();
  for (const DimInfo& d : DimTable()) {
    if (d.id < 100)
      EXPECT_EQ(GetDim(frameOnly, d.id), GetDim(nominal, d.id)) << d.id;
    else
      EXPECT_EQ(GetDim(frameOnly, d.id), 99.0f) << d.id;  // cylinder line included
  }
  EXPECT_FLOAT_EQ(frameOnly.dims.frame.RevArmNorm, 0.7f);
  EXPECT_FLOAT_EQ(frameOnly.dims.frame.RevArmMax, 0.9f);

  ModelState cylOnly = s;
  ResetCylDims(cylOnly);
  for (const DimInfo& d : DimTable()) {
    if (d.id < 100)
      EXPECT_EQ(GetDim(cylOnly, d.id), 99.0f) << d.id;
    else
      EXPECT_EQ(GetDim(cylOnly, d.id), GetDim(nominal, d.id)) << d.id;
  }
  EXPECT_FLOAT_EQ(cylOnly.mech.PtY[4], 3.25f);
}

}  // namespace brevold

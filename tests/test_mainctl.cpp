// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's rules on the state alone, without a window.
#include <gtest/gtest.h>

#include "draw_helpers.h"
#include "mainwin/mainctl.h"
#include "model/dimfile.h"

#include <cstdio>

namespace brevold {

TEST(MainRules, ABarMovedInCodeRunsItsRuleOnlyWhenItMoves) {
  AppState a = Fresh();
  Solve(a.model);  // the direct sense
  const float mid = a.model.revArm.Positions[0];
  SetRevArmBar(a, 350);
  EXPECT_NEAR(a.model.mech.RevArmX, mid + 0.35f, 1e-6);
  EXPECT_TRUE(a.controls.CenterOn);
  a.model.mech.RevArmX = 12;  // a typed setting the bar does not show
  SetRevArmBar(a, 350);       // no move: the setting stays
  EXPECT_EQ(a.model.mech.RevArmX, 12);
  SetRevArmBar(a, 99999);  // held to the bar's range
  EXPECT_EQ(a.controls.RevArmBar, a.model.revArm.BarMax);
  // A smaller range pulls the bar in, and the gear with it.
  SetMaximumTravel(a.model, 0.8f);
  FollowRevArmRange(a);
  EXPECT_EQ(a.controls.RevArmBar, 800);
  EXPECT_NEAR(a.model.mech.RevArmX, mid + 0.8f, 1e-6);
}

TEST(MainRules, TypedStepAndDriverAngleKeepOrStopTheRun) {
  AppState a = Fresh();
  SetTypedStep(a, 2.5f);
  EXPECT_TRUE(a.controls.Running);
  EXPECT_EQ(a.model.DrvAngInc, 2.5f);
  EXPECT_EQ(a.controls.DrvAngSmall, 250);
  RunClicked(a);
  SetTypedStep(a, 4);
  EXPECT_FALSE(a.controls.Running);
  EXPECT_EQ(a.model.DrvAngInc, 0);
  EXPECT_EQ(a.model.StepAng, 4);
  RunClicked(a);
  SetDriverAngle(a, 90);
  EXPECT_FALSE(a.controls.Running);
  EXPECT_EQ(a.model.mech.DrvAngle, 90);
  EXPECT_EQ(a.controls.DrvAngBar, 9000);
  EXPECT_TRUE(a.controls.DrvAngBarEnabled);
}

TEST(MainRules, ScreenDataAndThePanZoomItemRememberWhatTheyShow) {
  AppState a = Fresh();
  a.model.dyn.DynVarsOn = true;
  RefPointsClicked(a);
  ScreenDataClicked(a);  // off: the optional features go off, the buttons keep their states
  EXPECT_FALSE(a.model.dyn.DynVarsOn);
  EXPECT_FALSE(a.model.view.RefPointsOn);
  EXPECT_TRUE(a.controls.RefPtButtonsOn);
  PanZoomClicked(a);
  EXPECT_TRUE(a.controls.PanZoomShown);
  ScreenDataClicked(a);  // on
  EXPECT_FALSE(a.controls.PanZoomShown);
  EXPECT_TRUE(a.controls.PanZoomRestored);
  EXPECT_TRUE(a.controls.Panel9Left);
  ScreenDataClicked(a);
  PanZoomClicked(a);
  PanZoomClicked(a);  // back to the start caption
  EXPECT_FALSE(a.controls.PanZoomShown);
  EXPECT_FALSE(a.controls.PanZoomRestored);
  DynVarsClicked(a);
  EXPECT_FALSE(a.controls.Panel9Left);
}

TEST(MainRules, AClickInThePictureSetsAReferencePointAndMayBringTheLinesBack) {
  AppState a = Fresh();
  SolveAndTransform(a);
  RefPointsClicked(a);
  MousePick pick = MouseDown(a, MouseButton::Left, 320, 240);
  EXPECT_FALSE(pick.reopenLines);
  EXPECT_NEAR(a.model.mech.PtX[19], (320 - a.model.view.OriginX) / a.model.view.Scale, 1e-4);
  EXPECT_TRUE(a.controls.RefPtZeroOn[1]);
  a.lines.Type = 0;
  a.lines.Color = 1;
  a.lines.Ref = 1;  // waiting for a pivot pick
  pick = MouseDown(a, MouseButton::Left, 330, 250);
  EXPECT_TRUE(pick.reopenLines);
  pick = MouseDown(a, MouseButton::Left, 100, 30);  // the strip: no point moves
  EXPECT_NEAR(a.model.mech.PtX[19], (330 - a.model.view.OriginX) / a.model.view.Scale, 1e-4);
}

// A save while a dimension is highlighted keeps the user's view, and the
// highlight goes on in its own framing.
TEST(MainRules, ASaveDuringAHighlightKeepsTheUsersView) {
  AppState a = Fresh();
  a.model.view.GraphZoomFactor = 2000;  // a framing far smaller than the load's least scale
  Tick(a);
  const float scale = a.model.view.Scale, ox = a.model.view.OriginX, oy = a.model.view.OriginY;
  a.screen.HiliteDim = 3;  // the main rod
  for (int k = 0; k < 3; ++k) Tick(a);
  ASSERT_NE(a.model.view.Scale, scale);
  const float framing = a.model.view.Scale;
  const std::string file = testing::TempDir() + "brevold-highlight-save.dmi";
  ASSERT_TRUE(SaveGear(a, file).ok);
  EXPECT_EQ(a.model.view.Scale, framing);
  ModelState back;
  StartUp(back);
  ASSERT_TRUE(LoadDimensions(back, file).ok);
  EXPECT_EQ(back.view.Scale, scale);
  EXPECT_EQ(back.view.OriginX, ox);
  EXPECT_EQ(back.view.OriginY, oy);
  std::remove(file.c_str());
}

}  // namespace brevold

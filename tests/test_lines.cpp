// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "mainwin/mechdraw.h"
#include "overlay/linesctl.h"

namespace brevold {

class LinesTest : public ::testing::Test {
 protected:
  LinesTest() {
    StartUp(a.model);
    SolveAndTransform(a);
  }
  void RefPoints(float x1, float y1, float x2, float y2) {
    a.model.mech.PtX[19] = x1;
    a.model.mech.PtY[19] = y1;
    a.model.mech.PtX[20] = x2;
    a.model.mech.PtY[20] = y2;
  }
  ModelState& m() { return a.model; }
  LinesDialogState& d() { return a.lines; }
  AppState a;
};

TEST_F(LinesTest, ChoicesComeInOrderOrBeep) {
  LinesStep s = TypeChosen(m(), d(), 0);  // no reference points yet
  EXPECT_TRUE(s.beep);
  EXPECT_TRUE(s.close);
  EXPECT_EQ(d().Type, -1);
  RefPoints(1, 2, 3, 4);
  EXPECT_TRUE(ColorChosen(m(), d(), 1).beep);
  EXPECT_EQ(d().Color, -1);
  EXPECT_FALSE(TypeChosen(m(), d(), 0).beep);
  EXPECT_TRUE(RefChosen(m(), d(), 0).beep);
  EXPECT_EQ(d().Ref, -1);
  EXPECT_FALSE(ColorChosen(m(), d(), 4).beep);
  EXPECT_EQ(d().ColorText[1], "Blue");
  EXPECT_FALSE(d().DrawButEnabled);
  EXPECT_FALSE(RefChosen(m(), d(), 0).close);
  EXPECT_TRUE(d().DrawButEnabled);
  EXPECT_EQ(d().RefText[1], "0 , 0");
  LinesStep done = DrawClose(m(), d());
  EXPECT_TRUE(done.close);
  EXPECT_EQ(m().overlay.LineType[1], 0);
  EXPECT_EQ(m().overlay.LineColor[1], 16711680);
  EXPECT_EQ(m().overlay.Line1Horz[1], 1);
  EXPECT_EQ(m().overlay.Line2Vert[1], 4);
  EXPECT_EQ(m().overlay.LineNo, 2);
  EXPECT_EQ(d().Fields[1][0], "  2.000");
  EXPECT_EQ(d().Type, -1);
}

TEST_F(LinesTest, CircleAtReferencePointOneThroughPointTwo) {
  RefPoints(1, 1, 4, 5);
  TypeChosen(m(), d(), 1);
  ColorChosen(m(), d(), 0);
  RefChosen(m(), d(), 0);
  DrawClose(m(), d());
  EXPECT_FLOAT_EQ(m().overlay.Line2Horz[1], 5);  // the radius
  EXPECT_TRUE(d().Fields[1][2].empty());
  EXPECT_FALSE(LineFieldKeyAllowed(d(), 1, 2, '5', ""));
  EXPECT_TRUE(LineFieldKeyAllowed(d(), 1, 3, '5', ""));
  EXPECT_FALSE(LineFieldKeyAllowed(d(), 1, 3, '.', "5.0"));
  EXPECT_FALSE(LineFieldKeyAllowed(d(), 1, 3, '\r', ""));

  // A circle takes no second pivot: beep and the row is cleared.
  RowNumberClicked(m(), d(), 2);
  TypeChosen(m(), d(), 1);
  ColorChosen(m(), d(), 1);
  EXPECT_TRUE(RefChosen(m(), d(), 3).beep);
  EXPECT_EQ(m().overlay.LineType[2], -1);
  EXPECT_TRUE(d().TypeText[2].empty());
  EXPECT_FALSE(d().PivotPickMode);
}

TEST_F(LinesTest, PivotPickAttachesTheLineToTheNearestJoint) {
  RefPoints(m().mech.PtX[3] + 1, m().mech.PtY[3], m().mech.PtX[3] + 2, m().mech.PtY[3]);
  TypeChosen(m(), d(), 0);
  ColorChosen(m(), d(), 2);
  LinesStep s = RefChosen(m(), d(), 1);
  EXPECT_TRUE(s.close);
  EXPECT_TRUE(d().PivotPickMode);
  EXPECT_EQ(m().overlay.LineNo, 0);
  EXPECT_TRUE(PickReopensOnLeft(d()));
  EXPECT_FALSE(PickReopensOnRight(d(), true));
  // The prompt in the main window's picture.
  RecordingCanvas c;
  PaintFrame(c, a);
  const auto* prompt = c.FindText("STOP MOTION AND SELECT PIVOT 1");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(prompt->color, clRed);
  EXPECT_TRUE(prompt->font.bold);
  EXPECT_EQ(prompt->pts[0], (Pt{10, 130}));
  // The pick click lands on the crosshead and moves reference point 1 there.
  m().mech.PtX[19] = m().mech.PtX[3] + 0.01f;
  m().mech.PtY[19] = m().mech.PtY[3];
  LinesFormActivate(m(), d());
  EXPECT_EQ(m().overlay.LineNo, 1);
  EXPECT_EQ(m().overlay.Piv1No[1], 3);
  DrawClose(m(), d());
  EXPECT_FLOAT_EQ(m().overlay.Line1Horz[1], 1);  // an offset from the crosshead
  EXPECT_FLOAT_EQ(m().overlay.Line2Horz[1], 2);
  EXPECT_FALSE(d().PivotPickMode);
}

TEST_F(LinesTest, LastRowStaysAndClearEmptiesOnlyItsRow) {
  RefPoints(1, 1, 2, 2);
  for (int row : {19, 20}) {
    RowNumberClicked(m(), d(), row);
    TypeChosen(m(), d(), 0);
    ColorChosen(m(), d(), 1);
    RefChosen(m(), d(), 0);
    LinesStep s = DrawClose(m(), d());
    EXPECT_EQ(s.beep, row == 20);
  }
  EXPECT_EQ(m().overlay.LineNo, 20);
  RowNumberClicked(m(), d(), 19);
  ClearLine(m(), d());
  EXPECT_TRUE(d().TypeText[19].empty());
  EXPECT_TRUE(d().Fields[19][0].empty());
  EXPECT_EQ(m().overlay.LineType[19], -1);
  EXPECT_EQ(d().TypeText[20], "Line");
  EXPECT_EQ(m().overlay.LineType[20], 0);

  StoreLineField(m(), d(), 20, 3, "7.5");
  EXPECT_FLOAT_EQ(m().overlay.Line2Horz[20], 7.5f);
  EmptyLineTexts(d());
  LinesDataClick(m(), d());
  EXPECT_EQ(d().TypeText[20], "Line");
  EXPECT_EQ(d().ColorText[20], "Red");
  EXPECT_EQ(d().Fields[20][3], "  7.500");
  EXPECT_TRUE(d().TypeText[19].empty());
}

}  // namespace brevold

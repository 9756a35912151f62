// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lines and circles drawn over the mechanism, for each kind of reference.
#include <gtest/gtest.h>

#include <cmath>

#include "mainwin/mechdraw.h"
#include "overlay/overlaydraw.h"

namespace brevold {

using Op = RecordingCanvas::Op;

AppState Solved(float angle) {
  AppState a;
  StartUp(a.model);
  a.model.mech.DrvAngle = angle;
  SolveAndTransform(a);
  return a;
}

std::vector<RecordingCanvas::Item> Drawn(const ModelState& m) {
  RecordingCanvas c;
  DrawOverlay(c, m);
  std::vector<RecordingCanvas::Item> shapes;
  for (const auto& i : c.items)
    if (i.op == Op::Line || i.op == Op::Ellipse) shapes.push_back(i);
  return shapes;
}

void Row(OverlayTable& t, size_t i, float type, float color, float kind, int p, int q) {
  t.LineType[i] = type;
  t.LineColor[i] = color;
  t.LineRef[i] = kind;
  t.Piv1No[i] = static_cast<float>(p);
  t.Piv2No[i] = static_cast<float>(q);
}

TEST(Overlay, EmptyRowsDrawNothingAndLeaveTheLastColourBlack) {
  AppState a = Solved(0);
  EXPECT_TRUE(Drawn(a.model).empty());
  RecordingCanvas c;
  c.SetPenColor(clRed);
  DrawOverlay(c, a.model);
  EXPECT_EQ(c.PenColor(), clBlack);
}

TEST(Overlay, AttachedLinesFollowTheirJoints) {
  AppState a = Solved(0);
  OverlayTable& t = a.model.overlay;
  Row(t, 1, 0, 255, 1, 2, 0);  // rigid on the crank pin
  t.Line1Horz[1] = 0;
  t.Line2Horz[1] = 1;
  Row(t, 2, 0, 32768, 3, 2, 3);  // from the crank pin to the crosshead
  auto at0 = Drawn(a.model);
  a = [&] {
    AppState b = Solved(90);
    b.model.overlay = t;
    return b;
  }();
  auto at90 = Drawn(a.model);
  ASSERT_EQ(at0.size(), 2u);
  ASSERT_EQ(at90.size(), 2u);
  EXPECT_EQ(at0[0].color, clRed);
  auto length = [](const RecordingCanvas::Item& i) { return std::hypot(i.pts[1].x - i.pts[0].x, i.pts[1].y - i.pts[0].y); };
  EXPECT_EQ(at0[0].pts[1].x - at0[0].pts[0].x, at90[0].pts[1].x - at90[0].pts[0].x);  // same shape
  EXPECT_NE(at0[0].pts[0], at90[0].pts[0]);                                        // moved with the pin
  EXPECT_EQ(at0[0].pts[0], (Pt{119, 280}));
  EXPECT_NE(length(at0[1]), length(at90[1]));  // the two-joint line stretches
}

TEST(Overlay, CirclesAndDamagedPivots) {
  AppState a = Solved(0);
  OverlayTable& t = a.model.overlay;
  Row(t, 1, 1, 16711680, 0, 0, 0);
  t.Line1Horz[1] = 10;
  t.Line1Vert[1] = 0;
  t.Line2Horz[1] = 1;  // radius
  Row(t, 2, 0, 0, 1, 999, 0);  // a pivot no joint has
  Row(t, 3, 1, 8421504, 1, -4, 0);
  auto shapes = Drawn(a.model);
  ASSERT_EQ(shapes.size(), 1u);
  EXPECT_EQ(shapes[0].op, Op::Ellipse);
  EXPECT_EQ(shapes[0].color, clBlue);
  EXPECT_EQ(shapes[0].pts[0], (Pt{251, 300}));  // round(9 * 18.9 + 81), round(18.9 + 280 + 1)
  EXPECT_EQ(shapes[0].pts[1], (Pt{290, 261}));
}

TEST(Overlay, StoredOffsetsAreRoundedToThreeDecimals) {
  OverlayTable t;
  SetOverlayDefaults(t);
  t.Line1Vert[4] = 2.23456f;
  t.Line1Horz[4] = 5;
  t.Piv1Vert[4] = 1;
  t.Piv1Horz[4] = 2;
  t.Line2Vert[4] = 1;
  t.Line2Horz[4] = 1;
  auto txt = StoreLineRow(t, 4, 0, 1, false);
  EXPECT_FLOAT_EQ(t.Line1Vert[4], 1.235f);
  EXPECT_FLOAT_EQ(t.Line1Horz[4], 3);
  EXPECT_EQ(txt[0], "  1.235");
  EXPECT_EQ(txt[3], " -1.000");

  // A circle through a point: the radius from the centre.
  t.Line1Vert[5] = 0;
  t.Line1Horz[5] = 0;
  t.Line2Vert[5] = 3;
  t.Line2Horz[5] = 4;
  txt = StoreLineRow(t, 5, 1, 0, false);
  EXPECT_FLOAT_EQ(t.Line2Horz[5], 5);
  EXPECT_TRUE(txt[2].empty());
  txt = StoreLineRow(t, 5, 1, 0, true);
  EXPECT_TRUE(txt[0].empty());
  EXPECT_EQ(t.Line2Horz[5], 0);
  EXPECT_TRUE(StoreLineRow(t, 21, 0, 0, false)[0].empty());  // no such row
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "diagrams/diagramdraw.h"
#include "diagrams/diagrampicture.h"
#include "model/dimensions.h"
#include "model/numfmt.h"
#include "textnum.h"

namespace brevold {

using Op = RecordingCanvas::Op;

// The program as it runs: a first solve gives the gear's sense, then mid gear.
AppState Running() {
  AppState a;
  StartUp(a.model);
  Solve(a.model);
  CalcCentre(a.model);
  TidyPositions(a.model.revArm);
  return a;
}

int Count(const RecordingCanvas& c, const std::string& text) {
  return static_cast<int>(std::count_if(c.items.begin(), c.items.end(), [&](const auto& i) { return i.op == Op::Text && i.text == text; }));
}

TEST(Diagrams, EveryDrawingRestoresTheDriverAndReverseArm) {
  for (DiagramPicture kind : {DiagramPicture::Port, DiagramPicture::Steam, DiagramPicture::Oval, DiagramPicture::Sine}) {
    AppState a = Running();
    a.model.mech.DrvAngle = 123;
    a.model.mech.RevArmX = 9.9f;
    DiagramState d;
    RecordingCanvas c;
    const DiagramControls ctl = DrawDiagram(c, a, d, kind);
    EXPECT_EQ(a.model.mech.DrvAngle, 123);
    EXPECT_EQ(a.model.mech.RevArmX, 9.9f);
    EXPECT_FALSE(ctl.barsVisible);  // dynamic variables off
    EXPECT_FALSE(ctl.undoVisible);
    EXPECT_GT(c.items.size(), 100u);
    // Every text replaces what stood in its place (readouts written again),
    // but for the steam card's arrow head, whose characters overlap.
    for (const auto& i : c.items)
      if (i.op == Op::Text) {
        const bool arrow = kind == DiagramPicture::Steam && i.pts[0].x < 30 && i.pts[0].y < 100 && i.pts[0].y >= 77;
        ASSERT_EQ(i.opaque, !arrow) << i.text << " at " << i.pts[0].x << ", " << i.pts[0].y;
      }
  }
}

TEST(Diagrams, LegendWordsFollowTheGearsSense) {
  AppState a = Running();
  const float c = a.model.revArm.Positions[0];
  EXPECT_STREQ(PositionWord(a.model.revArm.Positions[0], SensePositive(a.model.mech), c), "Cen");
  EXPECT_STREQ(PositionWord(a.model.revArm.Positions[0], SensePositive(a.model.mech), c + 0.5f), "Fwd");
  EXPECT_STREQ(PositionWord(a.model.revArm.Positions[0], SensePositive(a.model.mech), c - 0.5f), "Rev");
  a.model.mech.LiftArmSgn = -2.75f;  // signs differ: forward is below the centre
  EXPECT_STREQ(PositionWord(a.model.revArm.Positions[0], SensePositive(a.model.mech), c - 0.5f), "Fwd");
  RecordingCanvas rc;
  DiagramState d;
  a.model.mech.LiftArmSgn = 2.75f;
  DrawDiagram(rc, a, d, DiagramPicture::Sine);
  const auto* word = rc.FindText("Cen");
  ASSERT_NE(word, nullptr);
  EXPECT_EQ(word->pts[0], (Pt{533, 24}));
  EXPECT_NE(rc.FindText("Reverse Arm Positions"), nullptr);
}

TEST(Diagrams, TravelScaleTicksAndLabels) {
  AppState a = Running();
  DiagramState d;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::Sine);  // VertScale 1.5
  EXPECT_NE(c.FindText("-0.6"), nullptr);
  EXPECT_NE(c.FindText("0.6"), nullptr);
  EXPECT_EQ(c.FindText("0.7"), nullptr);
  auto minorTicks = [](const RecordingCanvas& r) {
    return std::count_if(r.items.begin(), r.items.end(), [](const auto& i) {
      return i.op == Op::Line && i.pts[0].x == 39 && i.pts[1].x == 44;
    });
  };
  EXPECT_EQ(minorTicks(c), 61);  // h = -30..30
  a.model.revArm.VertScale = 5;
  RecordingCanvas five;
  DrawDiagram(five, a, d, DiagramPicture::Sine);
  EXPECT_EQ(minorTicks(five), 41);  // only every fifth of h = -100..100
  EXPECT_NE(five.FindText(Str(5, 3, 1)), nullptr);
  // A scale beyond any the program lets in draws no more ticks than the
  // largest allowed one, and cannot overflow the count.
  a.model.revArm.VertScale = 100;
  RecordingCanvas most;
  DrawDiagram(most, a, d, DiagramPicture::Sine);
  EXPECT_EQ(minorTicks(most), 801);
  for (float wild : {5000.0f, 3e9f}) {
    a.model.revArm.VertScale = wild;
    RecordingCanvas w;
    DrawDiagram(w, a, d, DiagramPicture::Sine);
    EXPECT_EQ(minorTicks(w), 801) << wild;
  }
}

TEST(Diagrams, MidGearReadoutOnlyNearTheCentre) {
  AppState a = Running();
  DiagramState d;
  a.model.revArm.Positions = {a.model.revArm.Positions[0], a.model.revArm.Positions[0], 0, 0, 0, 0, 0, 0, 0, 0};
  a.model.revArm.RevArmCount = 1;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::Oval);
  EXPECT_EQ(Count(c, "Lead"), 2);
  EXPECT_EQ(Count(c, "Lap"), 2);
  EXPECT_NE(c.FindText("ExCl"), nullptr);
  // Lead: the largest steam opening reached in mid gear, at x = 592.
  const auto lead = std::find_if(c.items.begin(), c.items.end(), [](const auto& i) { return i.op == Op::Text && i.pts[0] == Pt{592, 166}; });
  ASSERT_NE(lead, c.items.end());
  EXPECT_GT(CFloat(lead->text), 0.0f);
  EXPECT_LT(CFloat(lead->text), 0.1f);

  a.model.revArm.Positions[1] = a.model.revArm.Positions[0] + 0.05f;
  RecordingCanvas far;
  DrawDiagram(far, a, d, DiagramPicture::Oval);
  EXPECT_EQ(far.FindText("Lead"), nullptr);
}

TEST(Diagrams, SineCurveMeetsItselfAtTheTwoZeroDegreeColumns) {
  AppState a = Running();
  DiagramState d;
  a.model.revArm.RevArmCount = 1;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::Sine);
  int y90 = -1, y450 = -1;
  for (const auto& i : c.items)
    if (i.op == Op::Line && i.color == clBlack && i.pts[1].y != i.pts[0].y + 0) {
      if (i.pts[1].x == 90) y90 = i.pts[1].y;
      if (i.pts[1].x == 450) y450 = i.pts[1].y;
    }
  EXPECT_NE(y90, -1);
  EXPECT_EQ(y90, y450);
  EXPECT_NE(c.FindText(" 1"), nullptr);  // the curve's number at its left end
}

TEST(Diagrams, PortBothGraphsCarryBothLegendsAndOneAnnotation) {
  AppState a = Running();
  DiagramState d;
  RecordingCanvas c;
  d.PortGraphMode = PortGraphs::Forward;
  DrawDiagram(c, a, d, DiagramPicture::Port);
  d.PortGraphMode = PortGraphs::Reverse;
  d.PortEventLabels = false;
  DrawDiagram(c, a, d, DiagramPicture::Port);
  EXPECT_NE(c.FindText("Fwd."), nullptr);
  EXPECT_NE(c.FindText("Rev."), nullptr);
  EXPECT_EQ(Count(c, "Exp"), 1);
  EXPECT_EQ(Count(c, "Adm"), 1);
  auto column = [&](int x) {
    return std::any_of(c.items.begin(), c.items.end(), [&](const auto& i) { return i.op == Op::Text && i.pts[0] == Pt{x, 336}; });
  };
  EXPECT_TRUE(column(556));  // the forward graph's reverse-arm values
  EXPECT_TRUE(column(596));  // the reverse graph's
  // The "Normal" line at RevArmNorm / RevArmMax of the height, out to x = 650.
  const int yN = RoundEven(343 - 288.0L * 0.7f / 0.9f);
  const bool normal = std::any_of(c.items.begin(), c.items.end(), [&](const auto& i) {
    return i.op == Op::Line && i.color == clBlue && i.pts[0] == Pt{59, yN} && i.pts[1] == Pt{650, yN};
  });
  EXPECT_TRUE(normal);
  // Event curves in the forward colours (teal, red) and the reverse ones (green, maroon).
  for (Color col : {Color{0x808000}, clRed, clGreen, clMaroon})
    EXPECT_TRUE(std::any_of(c.items.begin(), c.items.end(), [&](const auto& i) { return i.op == Op::Line && i.color == col; }))
        << std::hex << col;
}

TEST(Diagrams, SteamCardPrintsCutOffsPerPosition) {
  AppState a = Running();
  DiagramState d;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::Steam);
  EXPECT_NE(c.FindText("%CutOff"), nullptr);
  // Position w's cut-offs on the row 13 w + 233, front at x = 600.
  for (int w = 1; w <= a.model.revArm.RevArmCount; ++w) {
    const int row = 13 * w + 233;
    EXPECT_TRUE(std::any_of(c.items.begin(), c.items.end(), [&](const auto& i) {
      return i.op == Op::Text && i.pts[0] == Pt{600, row};
    })) << w;
  }
  // The card stays within the window: pressures 5..303 units.
  for (const auto& i : c.items) {
    if (i.op != Op::Line || i.color != clGreen) continue;
    for (const Pt& p : i.pts) EXPECT_GE(p.y, 343 - 273 - 40);
  }
}

TEST(Diagrams, StripShowsTheVariablesOrTheNotice) {
  AppState a = Running();
  DiagramState d;
  a.model.dyn.DynVarsOn = true;
  RecordingCanvas empty;
  DiagramControls ctl = DrawDiagram(empty, a, d, DiagramPicture::Oval);
  EXPECT_TRUE(ctl.barsVisible);
  EXPECT_FALSE(ctl.barEnabled[1]);
  EXPECT_EQ(empty.FindText("* First Select Dimensions *")->color, clRed);
  a.model.undo.EditDirty = 0;
  EditorFieldExit(a.model, 3, 16.5f, "Main Rod Length");
  a.model.dyn.UndoOn = true;
  RecordingCanvas one;
  ctl = DrawDiagram(one, a, d, DiagramPicture::Oval);
  EXPECT_TRUE(ctl.barEnabled[1]);
  EXPECT_FALSE(ctl.barEnabled[2]);
  EXPECT_TRUE(ctl.undoVisible);
  EXPECT_EQ(one.FindText("Main Rod Length")->pts[0], (Pt{235, 2}));
  EXPECT_EQ(d.UndoText.size(), std::string(" 0-   0.000 to  0.000").size() + 46);
}

}  // namespace brevold

#include "diagrams/datatable.h"

namespace brevold {

TEST(DataTable, HeadingsAndOneRowPerStepUpTo360) {
  AppState a = Running();
  a.screen.PivotSel = {0, 2, 3, 4, 9, 0, 0};
  a.model.StepAng = 10;
  a.model.mech.DrvAngle = 77;
  a.model.DrvAngInc = 10;
  auto lines = BuildDataTable(a, "12/8/26   3:04:05 PM");
  ASSERT_EQ(lines.size(), 4u + 37u);
  EXPECT_EQ(lines[0], "Pivot Data   Nominal     12/8/26   3:04:05 PM");
  EXPECT_EQ(lines[1], "       Reverse Arm " + Str(a.model.mech.RevArmX, 7, 3) + "      Step Angle  10.000");
  EXPECT_EQ(lines[3].rfind("  Angle     Vert   Horz", 0), 0u);
  EXPECT_EQ(lines[4].rfind("   0.00     0.000    2.000", 0), 0u) << lines[4];  // crank pin at 0 degrees
  EXPECT_EQ(lines.back().rfind(" 360.00", 0), 0u);
  EXPECT_EQ(a.model.mech.DrvAngle, 77);
  EXPECT_EQ(a.model.DrvAngInc, 10);

  a.model.StepAng = 45;
  EXPECT_EQ(BuildDataTable(a, "").size(), 4u + 9u);
  a.screen.PivotSel[1] = 1e9f;  // no such joint: joint 0
  EXPECT_EQ(BuildDataTable(a, "")[4].substr(7, 21), "     0.000    0.000  ");
}

}  // namespace brevold

namespace brevold {

// The die's slip is worked out again here from the joints alone: the die
// (8) projected on the line from the link's centre pivot (9) to its top end
// (22), over a turn in 4-degree steps, largest minus smallest. The diagram
// writes the same figure for each position, and the margin to the nearer end
// of the link; it changes nothing in the state.
TEST(DieSlipDiagram, SlipAndMarginAreThoseOfTheJoints) {
  AppState a = Running();
  const float mid = a.model.revArm.Positions[0];
  a.model.revArm.Positions = {mid, mid + 0.6f, mid + 0.3f, mid, mid - 0.6f, 0, 0, 0, 0, 0};
  a.model.revArm.RevArmCount = 4;
  const ModelState before = a.model;
  DiagramState d;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::DieSlip);
  EXPECT_EQ(a.model.mech.PtX, before.mech.PtX);
  EXPECT_EQ(a.model.mech.DrvAngle, before.mech.DrvAngle);
  EXPECT_EQ(a.model.DiagLastRevArm, before.DiagLastRevArm);
  EXPECT_EQ(a.model.mech.ErrFlag, before.mech.ErrFlag);

  const double half = a.model.dims.frame.LinkUpLowLen;
  double slips[5] = {};
  ModelState s = before;
  for (int k = 1; k <= 4; ++k) {
    s.mech.RevArmX = s.revArm.Positions[static_cast<size_t>(k)];
    double lo = 1e9, hi = -1e9;
    for (int deg = 0; deg <= 360; deg += 4) {
      s.mech.DrvAngle = static_cast<float>(deg);
      Solve(s);
      const double ux = s.mech.PtX[22] - s.mech.PtX[9], uy = s.mech.PtY[22] - s.mech.PtY[9];
      const double along = ((s.mech.PtX[8] - s.mech.PtX[9]) * ux + (s.mech.PtY[8] - s.mech.PtY[9]) * uy) / std::hypot(ux, uy);
      lo = std::min(lo, along), hi = std::max(hi, along);
    }
    const auto* row = c.FindTextStarting(Str(k, 2, 0) + "  ");
    ASSERT_NE(row, nullptr) << k;
    const double slip = CDouble(row->text.substr(4, 6)), margin = CDouble(row->text.substr(12));
    EXPECT_NEAR(slip, hi - lo, 0.002) << "position " << k << ": " << row->text;
    EXPECT_NEAR(margin, half - std::max(std::fabs(lo), std::fabs(hi)), 0.002) << "position " << k << ": " << row->text;
    slips[k] = slip;
  }
  // The farther the die sits from the link's centre pivot, the farther it
  // slides: full gear, half gear, then mid gear, where it hardly moves.
  EXPECT_GT(slips[1], slips[2]);
  EXPECT_GT(slips[2], slips[3]);
  EXPECT_LT(slips[3], 0.25 * slips[1]);
  // The link's ends as limits, one curve per position.
  EXPECT_NE(c.FindText("Link Top"), nullptr);
  EXPECT_NE(c.FindText("Link Bottom"), nullptr);
  EXPECT_EQ(std::count_if(c.items.begin(), c.items.end(), [](const auto& i) { return i.op == Op::Polyline && i.pts.size() == 91; }), 4);
}

// A turn that cannot be trusted gives "?" for its slip, with what went wrong.
TEST(DieSlipDiagram, AnUntrustedTurnShowsNoSlip) {
  AppState a = Running();
  a.model.revArm.RevArmCount = 2;
  SetDim(a.model, 13, 1000);
  DiagramState d;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::DieSlip);
  EXPECT_NE(c.FindText(" 1       ?        ?"), nullptr);
  EXPECT_NE(c.FindText("? not to be trusted:"), nullptr);
  // A link crank far too long: the first solve already goes through a guard.
  EXPECT_NE(c.FindText("1 guard fired at"), nullptr);
  EXPECT_NE(c.FindText("0 deg"), nullptr);
}

}  // namespace brevold

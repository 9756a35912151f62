// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main picture: readouts, captions, joints and links, cut-off, error indicator, reference points.
#include <gtest/gtest.h>

#include <algorithm>

#include "mainwin/mainctl.h"
#include "mainwin/stillframe.h"
#include "record_hash.h"

namespace brevold {

using Op = RecordingCanvas::Op;

TEST(FrameContents, ReadoutsStandAtTheirPlacesWithFixedDecimals) {
  AppState a = Fresh();
  RecordingCanvas c = Tick(a);
  const auto* rev = c.FindTextStarting("Rev Arm ");
  ASSERT_NE(rev, nullptr);
  EXPECT_EQ(rev->text, "Rev Arm  9.766  ");
  EXPECT_EQ(rev->pts[0], (Pt{459, 25}));
  EXPECT_FALSE(rev->opaque);  // the picture's texts let the gear show through
  const auto* ang = c.FindTextStarting("Driv Ang ");
  ASSERT_NE(ang, nullptr);
  EXPECT_EQ(ang->text, "Driv Ang  10.00  ");  // the angle after the tick's advance
  EXPECT_EQ(c.FindTextStarting("Step Ang")->text, "Step Ang 10.00  ");
  EXPECT_EQ(c.FindTextStarting("Piston % ")->text, "Piston %   0.00  ");
  EXPECT_EQ(c.FindTextStarting("Piston % ")->pts[0], (Pt{545, 25}));
  EXPECT_EQ(c.FindTextStarting("ValveFSt")->pts[0], (Pt{545, 49}));
  EXPECT_EQ(c.FindTextStarting("ExpLkAng")->pts[0], (Pt{545, 97}));
  EXPECT_NE(c.FindText("Pan Vert"), nullptr);
  EXPECT_EQ(c.FindText("Zoom")->pts[0], (Pt{199, 53}));
  for (const auto& i : c.items) {
    if (i.op == Op::Text) {
      EXPECT_EQ(i.font.points, 8) << i.text;
    }
  }

  // The large font moves the texts, not the font.
  a.screen.TextScaleX = 1.27f;
  a.screen.TextScaleY = 1.22f;
  RecordingCanvas big = Tick(a);
  EXPECT_EQ(big.FindTextStarting("ValveFSt")->pts[0], (Pt{692, 60}));
}

TEST(FrameContents, CaptionsCarryNameDateAndVersion) {
  AppState a = Fresh();
  FrameEffects fx;
  Tick(a, fx);
  EXPECT_EQ(fx.captions.main,
            "BREVOLD Inside Admission            Nominal     12/8/26   3:04:05 PM   Version 2.6");
  EXPECT_EQ(fx.captions.port.rfind("BREVOLD Inside Admission      Port Open/Closed    Nominal     ", 0), 0u);
  EXPECT_EQ(fx.captions.dataTable.rfind("BREVOLD Inside Admission  Data Table Nominal     ", 0), 0u);
}

TEST(FrameContents, FixedPivotsAndWheelAtTheirScreenPoints) {
  AppState a = Fresh();
  RecordingCanvas c = Tick(a);
  EXPECT_EQ(a.screen.ScrX[9], 276);
  EXPECT_EQ(a.screen.ScrY[9], 214);
  auto hasRedLine = [&](Pt from, Pt to) {
    return std::any_of(c.items.begin(), c.items.end(), [&](const RecordingCanvas::Item& i) {
      return i.op == Op::Line && i.color == clRed && i.pts[0] == from && i.pts[1] == to;
    });
  };
  EXPECT_TRUE(hasRedLine({281, 219}, {270, 208}));  // joint 9's large cross
  EXPECT_TRUE(hasRedLine({281, 209}, {270, 220}));
  EXPECT_TRUE(hasRedLine({86, 285}, {75, 274}));    // the driver centre's (joint 0)
  // The first ellipse is the wheel, centred on the driver.
  auto wheel = std::find_if(c.items.begin(), c.items.end(), [](const auto& i) { return i.op == Op::Ellipse; });
  ASSERT_NE(wheel, c.items.end());
  EXPECT_EQ((wheel->pts[0].x + wheel->pts[1].x) / 2, 81);
  EXPECT_EQ((wheel->pts[0].y + wheel->pts[1].y) / 2, 280);
  EXPECT_EQ(wheel->pts[1].x - wheel->pts[0].x, 148);  // 7.875 * 18.9, rounded at both edges
  EXPECT_EQ(wheel->color, clBlack);
}

TEST(FrameContents, LinkPathColoursInOrder) {
  AppState a = Fresh();
  RecordingCanvas c = Tick(a);
  std::vector<Color> colours;
  bool started = false;
  for (const auto& i : c.items) {
    if (i.op != Op::Line) continue;
    const Pt j22{a.screen.ScrX[22], a.screen.ScrY[22]};
    if (!started && i.color == clFuchsia && i.pts[0] == j22) started = true;
    if (started) colours.push_back(i.color);
  }
  const std::vector<Color> expected = {clFuchsia, clLime, clFuchsia, clLime, clLime, clRed, clRed, clBlue,
                                       clLime,    clRed,  clAqua,    clLime, clFuchsia, clFuchsia, clBlue,
                                       clBlue,    clFuchsia, clLime, clLime, clBlack};
  ASSERT_GE(colours.size(), expected.size());
  colours.resize(expected.size());
  EXPECT_EQ(colours, expected);
  // The reach rod ends level with joint 18 at the driver centre's x.
  auto last = std::find_if(c.items.rbegin(), c.items.rend(), [](const auto& i) { return i.op == Op::Line && i.color == clBlack; });
  EXPECT_EQ(last->pts[1], (Pt{a.screen.ScrX[1], a.screen.ScrY[18]}));
}

TEST(FrameContents, CutOffShownAfterTheFrontPortClosesAndHiddenAtLargeSteps) {
  AppState a = Fresh();
  a.model.mech.RevArmX = a.model.revArm.Positions[0] + 0.7f;
  a.model.DrvAngInc = 2;
  bool labelAlways = true, sawValue = false;
  std::string cutOff;
  for (int n = 0; n < 200 && !sawValue; ++n) {
    const float before = a.screen.PrevSteamF;
    RecordingCanvas c = Tick(a);
    labelAlways = labelAlways && c.FindText("FrontCO% ") != nullptr;
    const auto v = std::find_if(c.items.begin(), c.items.end(), [](const auto& i) {
      return i.op == Op::Text && i.pts[0] == Pt{600, 109};
    });
    if (v != c.items.end()) {
      sawValue = true;
      cutOff = v->text;
      EXPECT_GT(before, 0);  // the port was open on the frame before
      EXPECT_LT(a.model.valve.OpenSteamF, 0);
    }
  }
  EXPECT_TRUE(labelAlways);
  ASSERT_TRUE(sawValue);
  EXPECT_EQ(cutOff.size(), 4u);
  EXPECT_EQ(cutOff, a.model.FrontCOText);
  EXPECT_GT(a.screen.COFramesF, 150);  // round(400 / 2.1) - 1 frames to go

  a.model.DrvAngInc = 23;
  RecordingCanvas big = Tick(a);
  EXPECT_EQ(big.FindText("FrontCO% "), nullptr);
  EXPECT_EQ(big.FindText("RearCO% "), nullptr);
  a.model.DrvAngInc = 0;
  EXPECT_EQ(Tick(a).FindText("FrontCO% "), nullptr);
}

TEST(FrameContents, ScreenDataOffDrawsOnlyTheMechanism) {
  AppState a = Fresh();
  a.screen.ScreenDataOn = false;
  a.model.mech.ErrFlag = 1;
  RecordingCanvas c = Tick(a);
  EXPECT_EQ(c.FindTextStarting("Rev Arm"), nullptr);
  EXPECT_EQ(a.screen.ErrBlink, 0);  // the indicator waits for the screen data
  EXPECT_EQ(a.model.mech.ErrFlag, 1);
}

TEST(ErrorIndicator, OneErrorShowsNineFramesSoundsOnceAndClearsAfterTwentyOne) {
  AppState a = Fresh();
  a.model.dims.frame.MainRodLen = 0.5f;  // a geometry error on every tick
  int visible = 0;
  std::vector<int> soundAt;
  for (int n = 1; n <= 42; ++n) {
    FrameEffects fx;
    Tick(a, fx);
    if (fx.errorItemVisible) ++visible;
    if (fx.errorSound) soundAt.push_back(n);
  }
  EXPECT_EQ(soundAt, (std::vector<int>{10, 31}));
  EXPECT_EQ(visible, 18);  // 9 frames in each 21-frame cycle

  AppState b = Fresh();
  b.model.mech.ErrFlag = 1;  // a single error that does not recur
  for (int n = 0; n < 21; ++n) Tick(b);
  EXPECT_EQ(b.model.mech.ErrFlag, 0);
  EXPECT_EQ(b.screen.ErrBlink, 0);
}

TEST(ReferencePoints, CrossesValuesAndDistance) {
  AppState a = Fresh();
  a.model.view.RefPointsOn = true;
  a.model.mech.PtX[19] = 3;
  a.model.mech.PtY[19] = 4;
  RecordingCanvas c = Tick(a);
  EXPECT_NE(c.FindText("Pt1V  4.000"), nullptr);
  EXPECT_NE(c.FindText("Pt1H  3.000"), nullptr);
  EXPECT_NE(c.FindText("Pt2H  0.000"), nullptr);
  EXPECT_EQ(c.FindText(" 5.000")->pts[0], (Pt{209, 107}));
  EXPECT_EQ(c.FindText("1")->pts[0], (Pt{a.screen.ScrX[19] + 3, a.screen.ScrY[19] - 17}));
}

TEST(AnimationTick, AngleWrapsAtTheTopAndBottom) {
  AppState a = Fresh();
  auto step = [&](float angle, float inc, const char* dir) {
    a.model.mech.DrvAngle = angle;
    a.model.DrvAngInc = inc;
    a.screen.GearDir = dir;
    AdvanceAngle(a);
    return a.model.mech.DrvAngle;
  };
  EXPECT_FLOAT_EQ(step(350, 10, "Fwd"), 360);  // exactly 360 stays
  EXPECT_NEAR(step(350.2f, 10, "Fwd"), 0.2f, 1e-4);
  EXPECT_FLOAT_EQ(step(400, 0, "Fwd"), 40);
  EXPECT_FLOAT_EQ(step(-40, 0, "Fwd"), 320);
  EXPECT_FLOAT_EQ(step(5, 10, "Rev"), 355);  // reverse gear runs backwards
  EXPECT_FLOAT_EQ(step(30, 10, "Rev"), 20);
}

// A stopped gear comes to rest: after the tick that solves it at the stop,
// a tick leaves the whole state as it found it, to the byte, and paints the
// same picture. With the steam display on it never does: every tick throws
// the dots afresh.
TEST(AnimationTick, AStoppedGearComesToRestUnlessItShowsSteam) {
  const FrameSurface surface{632, 380, 1};
  for (const bool steam : {false, true}) {
    SCOPED_TRACE(steam ? "steam" : "no steam");
    AppState a = Fresh();
    a.screen.SteamDisp = steam;
    Tick(a);
    Tick(a);
    RunClicked(a);
    std::string before, after;
    std::uint64_t lastPicture = 0;
    int restingTicks = 0;
    for (int i = 0; i < 12; ++i) {
      FrameKey(before, a, surface);
      Fnv picture;
      FoldDrawing(picture, Tick(a));
      FrameKey(after, a, surface);
      EXPECT_EQ(before == after, !steam && i >= 1) << "tick " << i;
      if (i >= 2) {
        EXPECT_EQ(picture.h == lastPicture, !steam) << "tick " << i;  // the dots move
      }
      restingTicks += before == after;
      lastPicture = picture.h;
    }
    EXPECT_EQ(restingTicks, steam ? 0 : 11);
    if (steam) continue;
    // At another date and time only the captions are new.
    FrameEffects fx;
    Fnv picture;
    FoldDrawing(picture, Tick(a, fx, "1/1/27   0:00:00 AM"));
    FrameKey(after, a, surface);
    EXPECT_EQ(after, before);
    EXPECT_EQ(picture.h, lastPicture);
    EXPECT_EQ(fx.captions.main, Captions(a.model, "1/1/27   0:00:00 AM").main);
  }
}

TEST(AnimationTick, WildGeometryStillDrawsFinitePixels) {
  AppState a = Fresh();
  a.model.dims.frame.MainRodLen = 1e30f;
  a.model.dims.frame.LinkCrankVert = 0;
  RecordingCanvas c = Tick(a);
  for (const auto& i : c.items)
    for (const Pt& p : i.pts) {
      EXPECT_LE(std::abs(p.x), 1000000);
      EXPECT_LE(std::abs(p.y), 1000000);
    }
}

// An exported picture is the gear: its bounds with a margin, drawn without
// the strip's labels, the readouts or the highlight, and shifted to (0, 0).
TEST(GearPicture, CoversTheGearWithAMarginAndNothingOfTheStrip) {
  AppState a = Fresh();
  const RecordingCanvas frame = Tick(a);
  const PictureBox box = GearPictureBox(a);
  // The wheel (centre 81, 280 and 148 across on the nominal gear) is the
  // leftmost and lowest piece: the margin reaches past the frame's left edge.
  EXPECT_EQ(box.x, 0);
  // Its box's bottom edge at 354, widened by half the pen, is the last row.
  EXPECT_EQ(box.y + box.height, 354 + 1 + 1 + GearPictureMargin);
  // About the window's 632 x 380 client area, not the 1280 x 1024 frame.
  EXPECT_LT(box.width, 700);
  EXPECT_LT(box.height, 380);
  EXPECT_GT(box.y, 53);  // below the strip's lowest label row

  RecordingCanvas c;
  PaintGearPicture(c, a, box);
  for (const char* strip : {"Pan Vert", "Zoom"}) EXPECT_EQ(c.FindText(strip), nullptr) << strip;
  for (const char* readout : {"Rev Arm ", "Piston % ", "ValveCen"}) EXPECT_EQ(c.FindTextStarting(readout), nullptr);
  size_t drawn = 0;
  for (const auto& i : c.items) {
    if (i.op == Op::Clear) continue;
    ++drawn;
    for (const Pt& p : i.pts) {
      if (i.op == Op::Arc) break;  // an arc's start and end rays may point anywhere
      EXPECT_GE(p.x, 0);
      EXPECT_GE(p.y, 0);
      EXPECT_LE(p.x, box.width);
      EXPECT_LE(p.y, box.height);
    }
  }
  // The same wheel as the frame's, moved by the box's corner.
  auto firstEllipse = [](const RecordingCanvas& r) {
    return *std::find_if(r.items.begin(), r.items.end(), [](const auto& i) { return i.op == Op::Ellipse; });
  };
  const auto inFrame = firstEllipse(frame), inPicture = firstEllipse(c);
  EXPECT_EQ(inPicture.pts[0], (Pt{inFrame.pts[0].x - box.x, inFrame.pts[0].y - box.y}));
  EXPECT_EQ(inPicture.pts[1], (Pt{inFrame.pts[1].x - box.x, inFrame.pts[1].y - box.y}));
  EXPECT_GT(drawn, 40u);

  // A gear zoomed past the frame's edges gives the frame, never more.
  a.model.view.Scale *= 20;
  Tick(a);
  const PictureBox big = GearPictureBox(a);
  EXPECT_GE(big.x, 0);
  EXPECT_GE(big.y, 0);
  EXPECT_LE(big.x + big.width, FrameWidth);
  EXPECT_LE(big.y + big.height, FrameHeight);
  EXPECT_GT(big.width, 0);
  EXPECT_GT(big.height, 0);
}

TEST(GearPicture, FootNamesTheGearTheDateAndTheSetting) {
  AppState a = Fresh();
  Tick(a);
  EXPECT_EQ(PictureFoot(a, "9/12/26   9:10:02 PM"), "Nominal     9/12/26   9:10:02 PM     Rev Arm 9.766   Driv Ang 10.00");
}

}  // namespace brevold

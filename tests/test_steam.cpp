// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The steam display: dots and legend, densities, the exhaust beats and the zero-height beep.
#include <gtest/gtest.h>

#include <algorithm>

#include "draw_helpers.h"
#include "mainwin/steamdraw.h"
#include "model/numfmt.h"

namespace brevold {

using Op = RecordingCanvas::Op;

// The steam display's own part of a tick on a solved state, then its dots.
void SteamFrame(Canvas& c, AppState& a) {
  FrameEffects fx;
  AdvanceSteam(a, fx);
  PaintSteam(c, a);
}

TEST(SteamDisplay, OffDrawsNothingRandomAndSoundsNothing) {
  AppState a = Fresh();
  int beats = 0;
  for (int i = 0; i < 72; ++i) {
    FrameEffects fx;
    RecordingCanvas c = Tick(a, fx);
    for (const auto& it : c.items) ASSERT_NE(it.op, Op::Pixel);
    beats += fx.exhaustBeat;
  }
  EXPECT_EQ(beats, 0);
}

TEST(SteamDisplay, LiveSteamDotsAtTheDefaultScaleAndTheLegend) {
  AppState a = Fresh();
  a.screen.SteamDisp = true;
  SolveAndTransform(a);
  RecordingCanvas c;
  SteamFrame(c, a);
  // The first dots are the live steam: 102 above the chest, 816 between the heads.
  int red = 0;
  size_t i = 0;
  for (; i < c.items.size() && c.items[i].op == Op::Pixel && c.items[i].color == clRed; ++i) ++red;
  EXPECT_GE(red, 102 + 816);
  const auto& A = a.screen.chest.A;
  for (size_t k = 0; k < 102; ++k) {
    EXPECT_GE(c.items[k].pts[0].x, A[13].x);
    EXPECT_LT(c.items[k].pts[0].x, A[11].x);
  }
  const auto* adm = c.FindText("ADMISSION");
  ASSERT_NE(adm, nullptr);
  EXPECT_EQ(adm->color, clRed);
  EXPECT_EQ(adm->pts[0], (Pt{A[4].x - 40, A[4].y + 5}));
  EXPECT_EQ(c.FindText("COMPRESSION")->color, clGreen);
  a.screen.ScreenDataOn = false;
  RecordingCanvas quiet;
  SteamFrame(quiet, a);
  EXPECT_EQ(quiet.FindText("ADMISSION"), nullptr);
}

TEST(SteamDisplay, StoppedKeepsTheDensitiesAndTheEndsShareAColour) {
  AppState a = Fresh();
  a.screen.SteamDisp = true;
  a.model.DrvAngInc = 0;
  SolveAndTransform(a);
  RecordingCanvas c;
  SteamFrame(c, a);
  EXPECT_FLOAT_EQ(a.screen.SteamDenF, 25);  // 20 raised to the least density
  EXPECT_EQ(a.screen.SteamDotsF, 26);       // round(25 * 18.9 / 18.5)
  for (int i = 0; i < 5; ++i) SteamFrame(c, a);
  EXPECT_FLOAT_EQ(a.screen.SteamDenF, 25);

  // Front port open, rear end that has seen nothing yet: it takes the front's red.
  AppState b = Fresh();
  b.screen.SteamDisp = true;
  SolveAndTransform(b);
  b.model.valve.OpenSteamF = 0.1f;
  b.model.valve.OpenExhF = b.model.valve.OpenSteamR = b.model.valve.OpenExhR = -0.1f;
  RecordingCanvas rc;
  SteamFrame(rc, b);
  const int rearEnd = b.screen.pv.P[0].x, top = b.screen.chest.A[3].y;
  int rearRed = 0, rearOther = 0;
  for (const auto& it : rc.items)
    if (it.op == Op::Pixel && it.pts[0].x < rearEnd && it.pts[0].y >= top) (it.color == clRed ? rearRed : rearOther)++;
  EXPECT_GE(rearRed, b.screen.SteamDotsR);
  EXPECT_EQ(b.screen.SteamStateR, SteamPhase::None);
}

TEST(SteamDisplay, EachEndBeatsOncePerRevolutionOnceArmed) {
  AppState a = Fresh();
  a.screen.SteamDisp = true;
  a.model.mech.RevArmX = a.model.revArm.Positions[0] + 0.7f;
  a.model.DrvAngInc = 5;
  for (int i = 0; i < 72; ++i) Tick(a);  // one revolution arms both ends
  int beats = 0, volume = 0;
  float densest = 0;
  for (int i = 0; i < 72 * 3; ++i) {
    FrameEffects fx;
    Tick(a, fx);
    densest = std::max(densest, a.screen.SteamDenF);
    beats += fx.exhaustBeat;
    if (fx.exhaustBeat) volume = fx.exhaustVolume;
  }
  EXPECT_EQ(beats, 6);
  EXPECT_GT(densest, 100);  // admission fills the cylinder
  // Each beat plays at the level the other end had at its last beat.
  EXPECT_NE(ExhaustVolumeFor(RoundEven(a.screen.ExhLevelF)), -1);
  EXPECT_TRUE(volume == ExhaustVolumeFor(RoundEven(a.screen.ExhLevelF)) ||
              volume == ExhaustVolumeFor(RoundEven(a.screen.ExhLevelR)));

  // No beat is armed while a highlight runs.
  AppState h = Fresh();
  h.screen.SteamDisp = true;
  h.model.DrvAngInc = 5;
  h.screen.HiliteDim = 3;
  int highlightBeats = 0;
  for (int i = 0; i < 144; ++i) {
    h.screen.HiliteTicks = 1;  // keep it running
    FrameEffects fx;
    Tick(h, fx);
    highlightBeats += fx.exhaustBeat;
  }
  EXPECT_EQ(highlightBeats, 0);
}

TEST(SteamDisplay, VolumeTable) {
  EXPECT_EQ(ExhaustVolumeFor(0), -1);
  EXPECT_EQ(ExhaustVolumeFor(24), 0x0700);
  EXPECT_EQ(ExhaustVolumeFor(101), 0x1400);
  EXPECT_EQ(ExhaustVolumeFor(1000), 0x6000);
  EXPECT_EQ(ExhaustVolumeFor(2001), 0x8000);
  EXPECT_EQ(ExhaustVolumeFor(2002), -1);
}

// Counts pixels without keeping them.
class PixelCounter : public CanvasBase {
 public:
  long pixels = 0;
  void Clear(Color) override {}
  void Pixel(int, int, Color) override { ++pixels; }
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Polyline(const std::vector<Pt>&) override {}
  void Ellipse(int, int, int, int) override {}
  void Arc(int, int, int, int, int, int, int, int) override {}
  void TextOut(int, int, const std::string&) override {}
};

TEST(SteamDisplay, NoScaleMakesAFrameUnbounded) {
  AppState a = Fresh();
  a.screen.SteamDisp = true;
  PixelCounter at3000, beyond;
  a.model.view.Scale = 3000;
  SolveAndTransform(a);
  SteamFrame(at3000, a);
  a.model.view.Scale = 1e6f;
  SolveAndTransform(a);
  SteamFrame(beyond, a);
  EXPECT_GT(at3000.pixels, 100000);
  EXPECT_LT(beyond.pixels, 2 * at3000.pixels + 2000000);  // uncapped: some 50 million
}

TEST(SteamDisplay, AZeroDivisorBeepsAtMostOnceAFrame) {
  AppState a = Fresh();
  a.screen.SteamDisp = true;
  a.model.dims.CylValveDim[ValveBoreDia] = 0;
  ASSERT_TRUE(a.model.mech.BeepOnError);
  int beeps = 0;
  for (int i = 0; i < 8; ++i) {
    FrameEffects fx;
    Tick(a, fx);
    beeps += fx.beep;
  }
  EXPECT_GE(beeps, 1);
}

}  // namespace brevold

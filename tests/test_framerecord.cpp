// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded frames: many ticks at several settings, each folded into one
// hash of everything drawn (operation, points, text, colours, pen, font) and
// of the state each tick leaves for the next. A change to the drawing or to
// the tick shows here first; a change meant to keep the pictures must keep
// these hashes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "record_hash.h"

namespace brevold {
namespace {

// What a tick leaves behind for the next one, and what it tells the window.
void FoldState(Fnv& f, const AppState& a, const FrameEffects& fx) {
  f.Add(a.model.mech.DrvAngle);
  f.Add(a.model.mech.ErrFlag);
  const ScreenState& s = a.screen;
  f.Add(s.SteamDenF);
  f.Add(s.SteamDenR);
  f.Add(s.HiliteDim);
  f.Add(s.HiliteTicks);
  f.Add(s.COFramesF);
  f.Add(s.COFramesR);
  f.Add(s.ErrBlink);
  f.Add(fx.errorItemVisible);
  f.Add(a.model.FrontCOText);
  f.Add(a.model.RearCOText);
  f.Add(fx.captions.main);
}

std::uint64_t Record(void (*setting)(AppState&), int ticks) {
  AppState a = Fresh();
  setting(a);
  Fnv f;
  for (int i = 0; i < ticks; ++i) {
    FrameEffects fx;
    RecordingCanvas c = Tick(a, fx);
    FoldDrawing(f, c);
    FoldState(f, a, fx);
  }
  return f.h;
}

struct Case {
  const char* name;
  void (*setting)(AppState&);
  std::uint64_t hash;
};

const Case kCases[] = {
    {"start", [](AppState&) {}, 14720941384128912473ull},
    {"steam at preset 5",
     [](AppState& a) {
       a.screen.SteamDisp = true;
       const ViewPresetSlot& p = a.model.view.ViewPreset[5];
       a.model.view.Scale = p.Scale;
       a.model.view.OriginX = p.OriginX;
       a.model.view.OriginY = p.OriginY;
     },
     10699618846799316850ull},
    {"reverse gear, line width 2, large font, steam",
     [](AppState& a) {
       a.screen.SteamDisp = true;
       a.screen.LineWidth = 2;
       a.screen.TextScaleX = 1.27f;
       a.screen.TextScaleY = 1.22f;
       a.model.mech.RevArmX = a.model.revArm.Positions[0] - 0.6f;
       a.screen.GearDir = "Rev";
     },
     7287084607182315819ull},
    {"highlight of the link crank",
     [](AppState& a) {
       a.screen.HiliteDim = 13;
       a.screen.SteamDisp = true;
     },
     6377410622871175819ull},
    {"reference points, pivot data, a line and a circle",
     [](AppState& a) {
       a.model.view.RefPointsOn = true;
       a.screen.PivotDataOn = true;
       a.screen.PivotSel = {0, 3, 7, 14, 0, 0, 0};
       a.screen.PivotRowSet = {0, 1, 1, 1, 0, 0, 0};
       a.model.mech.PtX[19] = 2;
       a.model.mech.PtY[19] = 1;
       a.model.mech.PtX[20] = 12;
       a.model.mech.PtY[20] = 3;
       OverlayTable& t = a.model.overlay;
       t.LineType[1] = 0, t.LineColor[1] = 255, t.LineRef[1] = 1, t.Piv1No[1] = 3;
       t.Line1Horz[1] = 1, t.Line2Horz[1] = 2, t.Line2Vert[1] = 1;
       t.LineType[2] = 1, t.LineColor[2] = 16711680, t.LineRef[2] = 0;
       t.Line1Horz[2] = 4, t.Line1Vert[2] = 2, t.Line2Horz[2] = 1.5f;
     },
     18384725523761507777ull},
    {"a broken gear blinking its error",
     [](AppState& a) { a.model.dims.frame.EccRodLen = 1; },
     6823993615048678041ull},
    {"dynamic variables and undo shown, screen data off",
     [](AppState& a) {
       a.model.undo.EditDirty = 1;
       EditorFieldExit(a.model, 3, 17, "Main Rod Length");
       a.model.dyn.DynVarsOn = true;
       a.model.dyn.UndoOn = true;
       a.screen.ScreenDataOn = false;
     },
     17191914766596973542ull},
};

}  // namespace

TEST(RecordedFrames, EverySettingDrawsAsRecorded) {
  for (const Case& c : kCases) EXPECT_EQ(Record(c.setting, 150), c.hash) << c.name;
}

// Painting a frame again, as a repaint, an export or a print does, draws the
// same picture and leaves nothing that a later frame would show.
TEST(RecordedFrames, PaintingAgainDrawsTheSameAndChangesNothing) {
  std::vector<Case> settings(std::begin(kCases), std::end(kCases));
  settings.push_back({"highlight at its last frames", [](AppState& a) {
                        a.screen.HiliteDim = 13;
                        a.screen.HiliteTicks = 998;
                        a.screen.PivotDataOn = true;
                        a.screen.PivotSel = {0, 9, 0, 0, 0, 0, 0};
                        a.screen.PivotRowSet = {0, 1, 0, 0, 0, 0, 0};
                        a.model.overlay.LineType[1] = 0, a.model.overlay.LineRef[1] = 0;
                        a.model.overlay.Line2Horz[1] = 3, a.model.overlay.Line2Vert[1] = 2;
                      }, 0});
  auto hash = [](const RecordingCanvas& c) {
    Fnv f;
    FoldDrawing(f, c);
    return f.h;
  };
  for (const Case& c : settings) {
    AppState painted = Fresh();
    c.setting(painted);
    AppState plain = painted;
    for (int tick = 1; tick <= 6; ++tick) {
      AdvanceFrame(painted, "");
      AdvanceFrame(plain, "");
      RecordingCanvas first, second;
      PaintFrame(first, painted);
      PaintFrame(second, painted);
      ASSERT_FALSE(first.items.empty());
      EXPECT_EQ(hash(first), hash(second)) << c.name << ", tick " << tick;
    }
    // The state painted twice a frame goes on exactly as the state never painted.
    for (int tick = 0; tick < 4; ++tick) {
      FrameEffects a, b;
      Fnv fa, fb;
      FoldDrawing(fa, Tick(painted, a));
      FoldState(fa, painted, a);
      FoldDrawing(fb, Tick(plain, b));
      FoldState(fb, plain, b);
      EXPECT_EQ(fa.h, fb.h) << c.name << ", tick " << tick;
    }
  }
}

}  // namespace brevold

// One frame of the main window: the animation tick's solve, screen
// transform and outlines, and DrawMechanism painting the whole picture.
#pragma once
#include <string>

#include "mainwin/appstate.h"
#include "platform/canvas.h"

namespace brevold {

constexpr int FrameWidth = 1280, FrameHeight = 1024;
extern const char* const VersionText;  // "Version 2.6"

// Screen points of joints 0..25; X of joint 18 from RevArmX.
void CalcScreenPoints(AppState& a);
void CalcChestOutline(AppState& a);
void CalcPistonValve(AppState& a);

// Steps 1-3 of a tick: solve, valve events, screen points and outlines.
void SolveAndTransform(AppState& a);
// Steps 4-5: advance DrvAngle by DrvAngInc in GearDir and wrap it.
void AdvanceAngle(AppState& a);

// Paints one frame on `c` (a fresh 1280 x 1024 surface). `dateTime` is the
// date and time text of the captions.
void DrawMechanism(Canvas& c, AppState& a, const std::string& dateTime);

// Base text position scaled by the text scale.
Pt TextPos(const ScreenState& s, int x, int y);

}  // namespace brevold

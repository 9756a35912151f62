// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window keeps between frames: display switches, the screen
// joints and outlines of the current frame, the cut-off, steam, error and
// highlight counters a tick carries to the next, and what the tick decided
// the picture shows. Plain data, no Qt.
#pragma once
#include <array>
#include <string>

#include "model/solver.h"
#include "model/view.h"
#include "platform/canvas.h"

namespace brevold {

struct ChestOutline {
  std::array<Pt, 14> A{};  // valve chest and cylinder outline, A0..A13
  std::array<Pt, 4> B{};   // inner edges of the steam passages
};

struct PistonValveOutline {
  Pt PistonRodEnd, SpindleEnd;
  std::array<Pt, 4> P{}, R{}, F{};  // piston, rear valve head, front valve head
};

// The last opening a cylinder end saw: after admission it expands, after
// exhaust it compresses.
enum class SteamPhase : char { None, Admission, Exhaust };

struct ScreenState {
  bool ScreenDataOn = true;
  bool SteamDisp = false;
  // Pivot data: the joint chosen for each of six rows, and the row armed for
  // the next pick in the picture.
  bool PivotDataOn = false;
  std::array<float, 7> PivotSel{};     // rows 1..6
  std::array<int, 7> PivotRowSet{};    // 1 once the row has a joint
  bool PivotArmed = false;
  int PivotRow = 0;
  bool LeftFirst = false;
  int LastNearestJoint = 0;
  int LineWidth = 1;
  float TextScaleX = 1, TextScaleY = 1;
  std::string GearDir = "Fwd";
  bool StepSnapOn = true;
  // Dimension highlight: the dimension shown (0 none) and its counters.
  int HiliteDim = 0;
  int HiliteTicks = 0, HiliteBlink = 0;

  // The screen joints and outlines, and the view they were worked out in
  // (the highlight may have moved the model's view since).
  std::array<int, JointCount> ScrX{}, ScrY{};
  ChestOutline chest;
  PistonValveOutline pv;
  ViewState PointsView;

  // Steam display and exhaust beats.
  float SteamDenF = 20, SteamDenR = 20;
  int SteamDotsF = 0, SteamDotsR = 0;  // dots in each end this frame
  SteamPhase SteamStateF = SteamPhase::None, SteamStateR = SteamPhase::None;
  bool ExhArmedF = false, ExhArmedR = false;  // the next exhaust opening sounds a beat
  float ExhLevelF = 0, ExhLevelR = 0;
  unsigned SteamFrame = 0;     // counts steam frames; seeds each frame's dots
  int ExhaustVolume = 0x8000;  // the level of the beats, on both channels

  // Cut-off read-outs: the last frame's openings, the frames each value has
  // still to show, and whether this frame shows it.
  float PrevSteamF = 0, PrevSteamR = 0, PrevPistonUnits = 0;
  int COFramesF = 0, COFramesR = 0;
  bool FrontCOShown = false, RearCOShown = false;

  // Error indicator: the frame counter of one raised error (the indicator
  // shows on its frames 1 to 9).
  int ErrBlink = 0;

  // The undo button's top and the dynamic-variable bars as the last frame
  // that worked them out left them.
  int UnDoDnTop = 72;
  std::array<bool, 5> DynVarBarEnabled{};  // bars 1..4

  // Joint 18 as the frame before left it: the wheel step circles it there,
  // before this frame puts it at the reverse-arm setting.
  float Joint18PinX = 0;

  // The highlight this frame shows: its dimension (0 none), whether the mark
  // is red, and whether this is its last frame.
  int HiliteShown = 0;
  bool HiliteRed = false, HiliteEnded = false;

  // The captions the last frame gave the windows, for the windows that take
  // theirs when they open.
  std::string MainCaption, SineCaption, OvalCaption, SteamCaption, PortCaption, DataTableCaption;
  std::string CaptionTail;  // how each caption ends: file, date and time, version
};

}  // namespace brevold

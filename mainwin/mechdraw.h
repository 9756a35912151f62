// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the main window: the animation tick (solve, screen transform
// and outlines, the angle step, then what the displays carry from frame to
// frame) returning what the window must do, and PaintFrame drawing the whole
// picture from the state the tick left, changing nothing.
#pragma once
#include <array>
#include <string>

#include "state/appstate.h"
#include "model/numfmt.h"
#include "platform/canvas.h"

namespace brevold {

// The drawing layer's arithmetic is done in extended precision, as the
// solver's is.

constexpr int FrameWidth = 1280, FrameHeight = 1024;
extern const char* const VersionText;  // "Version 2.6"

// The captions a frame gives the main window and the windows it opens.
struct FrameCaptions {
  std::string main, sine, oval, steam, port, dataTable;
  std::string tail;  // the file's name, the date and time and the version, as they end each caption
};

// The captions of a frame of gear `m` at `dateTime`, the date and time text.
FrameCaptions Captions(const ModelState& m, const std::string& dateTime);

// What a frame leaves for the main window to do, in this order: caption,
// undo button, dynamic-variable bars, the highlight's editors and cursor,
// the error item and sound, the exhaust beat and the beep.
struct FrameEffects {
  enum class Editor { None, Frame, Cylinder };
  FrameCaptions captions;
  bool undoVisible = false;
  int undoTop = 72;
  bool dynVarBarsShown = false;         // set the bars' enabled states below
  std::array<bool, 5> dynVarBarEnabled{};  // bars 1..4
  Editor closeEditor = Editor::None;    // closed while its dimension is shown
  Editor reopenEditor = Editor::None;   // shown again when the highlight ends
  bool hourglass = false;
  bool errorItemVisible = false;
  bool errorSound = false;   // "Error.wav"
  bool exhaustBeat = false;  // "Exhaust.wav" at exhaustVolume, cutting off one still playing
  int exhaustVolume = 0x8000;
  bool beep = false;  // a zero pixel height met, with the error beep on; once a frame
};

// Screen points of joints 0..25; X of joint 18 from RevArmX.
void CalcScreenPoints(AppState& a);
void CalcChestOutline(AppState& a);
void CalcPistonValve(AppState& a);

// Steps 1-3 of a tick: solve, valve events, screen points and outlines.
void SolveAndTransform(AppState& a);
// Steps 4-5: advance DrvAngle by DrvAngInc in GearDir and wrap it.
void AdvanceAngle(AppState& a);
// The rest of a tick, after the angle step: steam densities and beats, the
// captions (with `dateTime`, the date and time text), joint 18, the undo
// line, the error indicator, the cut-off read-outs, the dynamic-variable
// bars and the highlight's progress and view.
FrameEffects AdvanceDisplays(AppState& a, const std::string& dateTime);
// A whole tick as the running window makes it.
FrameEffects AdvanceFrame(AppState& a, const std::string& dateTime);

// Paints the frame the last tick left on `c` (a fresh 1280 x 1024 surface).
void PaintFrame(Canvas& c, const AppState& a);

// The part of the frame an exported or printed picture of the gear covers:
// the box of what PaintGear draws (steam, wheel, cylinder, links, the lines
// and circles over them) with a margin, inside the frame. The strip's
// labels, the readouts and the highlight stay in the window.
struct PictureBox {
  int x = 0, y = 0, width = FrameWidth, height = FrameHeight;
  bool operator==(const PictureBox&) const = default;
};
constexpr int GearPictureMargin = 16;
PictureBox GearPictureBox(const AppState& a);
// The gear of the frame the last tick left, with the box's top-left corner
// at (0, 0) of `c` (a fresh surface of the box's size).
void PaintGearPicture(Canvas& c, const AppState& a, const PictureBox& box);
// The line at the foot of a printed page: the gear's name, `dateTime`, and
// the setting drawn (reverse arm and driver angle).
std::string PictureFoot(const AppState& a, const std::string& dateTime);

// Base text position scaled by the text scale.
Pt TextPos(const ScreenState& s, int x, int y);

// Whether the error indicator shows: on frames 1 to 9 of a raised error.
bool ErrorItemShown(const ScreenState& s);

}  // namespace brevold

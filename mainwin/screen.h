// What the main window keeps between frames: display switches, the screen
// joints and outlines of the current frame, the cut-off and error-indicator
// counters, and the captions the frame sets. Plain data, no Qt.
#pragma once
#include <array>
#include <string>

#include "model/solver.h"
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
  // Dimension highlight: the dimension shown (0 none), its counters, and the
  // requests the frame makes of the window.
  int HiliteDim = 0;
  int HiliteTicks = 0, HiliteBlink = 0;
  bool HiliteFromFrame = false;
  enum class Editor { None, Frame, Cylinder };
  Editor HiliteCloseEditor = Editor::None;   // close this editor (repeated each frame)
  Editor HiliteReopenEditor = Editor::None;  // show this editor again, once
  bool HourglassCursor = false;

  std::array<int, JointCount> ScrX{}, ScrY{};
  ChestOutline chest;
  PistonValveOutline pv;

  // Steam display and exhaust beats.
  float SteamDenF = 20, SteamDenR = 20;
  int SteamDotsF = 0, SteamDotsR = 0;
  char SteamStateF = 0, SteamStateR = 0;  // 'E' admission seen, 'C' exhaust seen
  char ExhArmedF = 0, ExhArmedR = 0;      // '1' the next exhaust opening sounds
  float ExhLevelF = 0, ExhLevelR = 0;
  unsigned SteamFrame = 0;                // seeds each frame's dots
  int ExhaustSoundRequests = 0;           // the window plays "Exhaust.wav" when this grows
  int ExhaustVolume = 0x8000;             // at this level on both channels
  int BeepRequests = 0;                   // a zero pixel height met (with the error beep on)

  // Cut-off read-outs.
  float PrevSteamF = 0, PrevSteamR = 0, PrevPistonUnits = 0;
  int COFramesF = 0, COFramesR = 0;

  // Error indicator: the frame counter, and what the window shows for it.
  int ErrBlink = 0;
  bool ErrorItemVisible = false;
  int ErrorSoundRequests = 0;  // the window plays "Error.wav" when this grows

  // The undo button and dynamic-variable bars as the last frame left them.
  bool UnDoDnVisible = false;
  int UnDoDnTop = 72;
  std::array<bool, 5> DynVarBarEnabled{};  // bars 1..4

  // Captions set by every frame.
  std::string MainCaption, SineCaption, OvalCaption, SteamCaption, PortCaption, DataTableCaption;
};

}  // namespace brevold

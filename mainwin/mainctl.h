// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's rules apart from its widgets: the state of the control
// strip (running or stopped, where its bars stand, which buttons are
// enabled, the two-state menu items) and what each control does to the
// program's state. The window shows this state and forwards its handlers
// here; moving a bar in code runs the bar's rule only when its position
// really changes, as a scroll bar reports it.
#pragma once
#include "state/controls.h"
#include "model/dimfile.h"

namespace brevold {

struct AppState;

// Bar ranges the rules hold positions to.
constexpr int DrvAngBarMin = -4000, DrvAngBarMax = 40000, StepBarMax = 14613;
constexpr int PanBarLimit = 500;

// --- Run, driver angle and step ---
void RunClicked(AppState& a);
void SetDriverBar(AppState& a, int position);
void DriverBarMoved(AppState& a);
void DeadCentre(AppState& a, float angle);  // "0.0" or "180"
void SetStepBar(AppState& a, int position);
void StepBarMoved(AppState& a);
void StepButton(AppState& a, float step);  // "1.0", "10.0", "45.0"
// "Driver Angle": the driver stopped at `degrees`.
void SetDriverAngle(AppState& a, float degrees);
// "Step Angle": a typed step, the run state kept.
void SetTypedStep(AppState& a, float step);

// --- Reverse arm ---
void SetRevArmBar(AppState& a, int position);
void RevArmBarMoved(AppState& a);
// The bar's range follows RevArmMax; a position outside it is pulled in.
void FollowRevArmRange(AppState& a);
int RevArmBarMax(const AppState& a);  // as the bar holds it: never below its minimum
void NormalGear(AppState& a, bool forward);  // "Fwd" and "Rev"
void CentreGear(AppState& a);                // "Cen"
void FindCentre(AppState& a);                // "&CalcCentRevArm"

// --- Toggles and reset ---
void LargeFontClicked(AppState& a);
void LineWidthClicked(AppState& a);
void ErrorBeepClicked(AppState& a);
void SteamClicked(AppState& a);
void ScreenDataClicked(AppState& a);
void PanZoomClicked(AppState& a);
void DynVarsClicked(AppState& a);  // "D&ynamicVari" here and in the diagram windows
void UndoClicked(AppState& a);     // "&UnDo": the undo line and buttons shown or not
void ResetAll(AppState& a);

// --- The view ---
// A re-centring bar moved to p: its rule, then again for the bar set back to 0.
void PanVertMoved(AppState& a, int p);
void PanHorzMoved(AppState& a, int p);
void ZoomMoved(AppState& a, int p);
void NormView(AppState& a);
void Preset0Clicked(AppState& a);
void PresetClicked(AppState& a, int n);
void RefPointsClicked(AppState& a);
void PanToRefPoint(AppState& a, int joint);  // "RP1", "RP2"
// Reference-point bar `bar` (0: 1 vert, 1: 1 horz, 2: 2 vert, 3: 2 horz).
void RefPointBarMoved(AppState& a, int bar, int p);
void RefPointZeroClicked(AppState& a, int point);
void PivotDataClicked(AppState& a);

// --- Mouse ---
struct MousePick {
  bool reopenLines = false;  // the lines dialog comes back for its pivot pick
};
enum class MouseButton { Left, Right, Other };
MousePick MouseDown(AppState& a, MouseButton button, int x, int y);

// "&Save" and "Save&AsDimensions": the set as the user has it, as JSON to a
// ".json" path, else as a dimension file. During a dimension highlight the
// view saved is the one the highlight will give back, not its own framing
// of the dimension.
FileResult SaveGear(AppState& a, const std::string& path);

}  // namespace brevold

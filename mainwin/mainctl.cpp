// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's control rules on the program's state, without widgets.
#include "mainwin/mainctl.h"

#include "model/dimfile.h"
#include "model/dimjson.h"

#include <algorithm>
#include <cmath>

#include "state/appstate.h"
#include "mainwin/pivotdraw.h"
#include "overlay/linesctl.h"
#include "model/numfmt.h"

namespace brevold {

namespace {


// The step bar's sixteen bands: upper position, step, and the driver bar's
// small and large change.
struct StepBand {
  int upTo;
  float step;
  int small, large;
};
constexpr StepBand kStepBands[] = {
    {704, 0.01f, 1, 5},       {1591, 0.02f, 2, 10},      {2408, 0.03f, 3, 15},    {3612, 0.05f, 5, 25},
    {4704, 0.1f, 10, 50},     {5591, 0.2f, 20, 100},     {6408, 0.3f, 30, 150},   {7612, 0.5f, 50, 250},
    {8704, 1, 100, 500},      {9591, 2, 200, 1000},      {10408, 3, 300, 1500},   {11612, 5, 500, 2500},
    {12704, 10, 1000, 4500},  {13591, 20, 2000, 4500},   {14408, 30, 3000, 4500}, {14613, 45, 4500, 4500},
};

void EmptyCutOffTexts(ModelState& m) {
  m.FrontCOText.clear();
  m.RearCOText.clear();
}

// A bar's position set in code: held to its range, and the bar's rule runs
// only when the position changes.
template <class Rule>
void MoveBar(int& bar, int position, int lo, int hi, AppState& a, Rule rule) {
  position = std::clamp(position, lo, std::max(lo, hi));
  if (position == bar) return;
  bar = position;
  rule(a);
}

// A re-centring bar: its rule at p, then at 0 once it is set back.
template <class Rule>
void Recentre(int p, Rule rule) {
  rule(p);
  if (p != 0) rule(0);
}

}  // namespace

// --- Run, driver angle and step ---

void RunClicked(AppState& a) {
  MainControls& c = a.controls;
  ModelState& m = a.model;
  if (!c.Running) {
    m.DrvAngInc = m.StepAng;
    c.DrvAngBarEnabled = false;
    c.Running = true;
  } else {
    SetDriverBar(a, RoundEven(static_cast<LD>(m.mech.DrvAngle) * 100));
    m.DrvAngInc = 0;
    c.DrvAngBarEnabled = true;
    c.Running = false;
  }
  c.Deg00On = c.Deg180On = true;
}

void SetDriverBar(AppState& a, int position) {
  MoveBar(a.controls.DrvAngBar, position, DrvAngBarMin, DrvAngBarMax, a, DriverBarMoved);
}

void DriverBarMoved(AppState& a) {
  a.model.mech.DrvAngle = static_cast<float>(a.controls.DrvAngBar / 100.0L);
  a.controls.Deg00On = a.controls.Deg180On = true;
}

void DeadCentre(AppState& a, float angle) {
  MainControls& c = a.controls;
  a.model.mech.DrvAngle = angle;
  SetDriverBar(a, RoundEven(static_cast<LD>(angle) * 100));
  a.model.DrvAngInc = 0;
  c.DrvAngBarEnabled = true;
  c.Running = false;
  c.Deg00On = angle != 0;
  c.Deg180On = angle == 0;
}

void SetStepBar(AppState& a, int position) { MoveBar(a.controls.StepBar, position, 0, StepBarMax, a, StepBarMoved); }

void StepBarMoved(AppState& a) {
  MainControls& c = a.controls;
  ModelState& m = a.model;
  if (a.screen.StepSnapOn) {
    for (const StepBand& b : kStepBands) {
      if (c.StepBar <= b.upTo) {
        m.StepAng = b.step;
        c.DrvAngSmall = b.small;
        c.DrvAngLarge = b.large;
        break;
      }
    }
    if (c.Running) m.DrvAngInc = m.StepAng;
  } else {
    a.screen.StepSnapOn = true;
  }
  c.Step10On = m.StepAng != 10;
  c.Step45On = m.StepAng != 45;
  c.Step1On = m.StepAng != 1;
}

// The step, then the bar to its position, whose rule snaps to the same step
// and sets the buttons.
void StepButton(AppState& a, float step) {
  MainControls& c = a.controls;
  (step == 1 ? c.Step1On : step == 10 ? c.Step10On : c.Step45On) = false;
  a.model.StepAng = step;
  if (c.Running) a.model.DrvAngInc = step;
  SetStepBar(a, step == 1 ? 8000 : step == 10 ? 12000 : StepBarMax);
}

void SetDriverAngle(AppState& a, float degrees) {
  a.controls.Running = true;
  RunClicked(a);  // stops the driver where it is
  a.model.mech.DrvAngle = degrees;
  SetDriverBar(a, RoundEven(static_cast<LD>(degrees) * 100));
  a.model.DrvAngInc = 0;
  a.controls.DrvAngBarEnabled = true;
}

void SetTypedStep(AppState& a, float step) {
  MainControls& c = a.controls;
  a.screen.StepSnapOn = false;
  a.model.StepAng = step;
  // Run/Stop twice over keeps the run state and takes up the new step.
  c.Running = !c.Running;
  RunClicked(a);
  SetStepBar(a, RoundEven(4000 * std::log10(100.0L * step)));
  c.DrvAngSmall = RoundEven(100.0L * step);
  c.DrvAngLarge = RoundEven(500.0L * step);
}

// --- Reverse arm ---

int RevArmBarMax(const AppState& a) { return std::max(a.model.revArm.BarMin, a.model.revArm.BarMax); }

void SetRevArmBar(AppState& a, int position) {
  MoveBar(a.controls.RevArmBar, position, a.model.revArm.BarMin, a.model.revArm.BarMax, a, RevArmBarMoved);
}

void RevArmBarMoved(AppState& a) {
  MainControls& c = a.controls;
  ModelState& m = a.model;
  const int p = c.RevArmBar;
  const float mid = m.revArm.Positions[0];
  const LD norm = m.dims.frame.RevArmNorm;
  float& x = m.mech.RevArmX;
  x = RevArmFromBar(m, p);
  const float above = static_cast<float>(mid + norm), below = static_cast<float>(mid - norm);
  if (SensePositive(m.mech)) {
    a.screen.GearDir = x >= mid ? "Fwd" : "Rev";
    c.FwdOn = x != above;
    c.RevOn = x != below;
  } else {
    a.screen.GearDir = x > mid ? "Rev" : "Fwd";
    c.FwdOn = x != below;
    c.RevOn = x != above;
  }
  c.CenterOn = p != 0;
  EmptyCutOffTexts(m);
}

void FollowRevArmRange(AppState& a) { SetRevArmBar(a, a.controls.RevArmBar); }

void NormalGear(AppState& a, bool forward) {
  MainControls& c = a.controls;
  ModelState& m = a.model;
  const FrameDims& f = m.dims.frame;
  const LD norm = forward ? f.RevArmNorm : -static_cast<LD>(f.RevArmNorm);
  m.mech.RevArmX = static_cast<float>(static_cast<LD>(m.revArm.Positions[0]) + norm);
  const int end = forward ? RevArmBarMax(a) : m.revArm.BarMin;
  SetRevArmBar(a, RoundEven(static_cast<LD>(f.RevArmNorm) * end / f.RevArmMax));
  c.FwdOn = !forward;
  c.RevOn = forward;
  c.CenterOn = true;
  EmptyCutOffTexts(m);
}

void CentreGear(AppState& a) {
  MainControls& c = a.controls;
  SetRevArmBar(a, 0);
  a.model.mech.RevArmX = a.model.revArm.Positions[0];
  c.FwdOn = c.RevOn = true;
  c.CenterOn = false;
  EmptyCutOffTexts(a.model);
}

void FindCentre(AppState& a) {
  CalcCentre(a.model);
  CentreGear(a);
}

// --- Toggles and reset ---

void LargeFontClicked(AppState& a) {
  MainControls& c = a.controls;
  c.LargeFont = !c.LargeFont;
  a.screen.TextScaleX = c.LargeFont ? 1.27f : 1;
  a.screen.TextScaleY = c.LargeFont ? 1.22f : 1;
}

void LineWidthClicked(AppState& a) { a.screen.LineWidth = a.screen.LineWidth == 1 ? 2 : 1; }

void ErrorBeepClicked(AppState& a) { a.model.mech.BeepOnError = !a.model.mech.BeepOnError; }

void SteamClicked(AppState& a) { a.screen.SteamDisp = !a.screen.SteamDisp; }

void ScreenDataClicked(AppState& a) {
  const bool on = !a.screen.ScreenDataOn;
  a.screen.ScreenDataOn = on;
  if (on) {
    a.controls.PanZoomShown = false;
    a.controls.PanZoomRestored = true;
    a.controls.Panel9Left = true;
  } else {
    // The optional features go off without their usual rules.
    a.model.dyn.DynVarsOn = false;
    a.model.view.RefPointsOn = false;
    a.model.dyn.UndoOn = false;
    a.screen.PivotDataOn = false;
  }
}

void PanZoomClicked(AppState& a) {
  a.controls.PanZoomShown = !a.controls.PanZoomShown;
  a.controls.PanZoomRestored = false;
}

void DynVarsClicked(AppState& a) {
  a.model.dyn.DynVarsOn = !a.model.dyn.DynVarsOn;
  a.controls.Panel9Left = false;
}

void UndoClicked(AppState& a) { a.model.dyn.UndoOn = !a.model.dyn.UndoOn; }

void ResetAll(AppState& a) {
  ModelState& m = a.model;
  ResetFrameDimensions(m);
  FollowRevArmRange(a);
  ResetCylDimensions(m);
  CalcCentre(m);
  CentreGear(a);
  NormView(a);
  m.dims.DimFileName = "Nominal";
  m.revArm.VertScale = 1.5f;
  m.dyn.DynVarsOn = false;
  a.controls.Panel9Left = false;
  ClearUndo(m);
  m.dyn.UndoOn = false;
  // The set is the start-up set again and belongs to no file: nothing to
  // lose by leaving it, and "&Save" asks for a name.
  m.dims.DimFilePath.clear();
  MarkSaved(m);
}

// --- The view ---

void PanVertMoved(AppState& a, int p) {
  Recentre(p, [&a](int q) {
    const float inc = RecentreIncrement(a.controls.PanVert, q, 10, 10);
    a.controls.NormOn = true;
    PanVertical(a.model.view, inc);
  });
}

void PanHorzMoved(AppState& a, int p) {
  Recentre(p, [&a](int q) {
    const float inc = RecentreIncrement(a.controls.PanHorz, q, 10, 10);
    a.controls.NormOn = true;
    PanHorizontal(a.model.view, inc);
  });
}

void ZoomMoved(AppState& a, int p) {
  Recentre(p, [&a](int q) {
    const float inc = RecentreIncrement(a.controls.Zoom, q, 10, 10);
    a.controls.NormOn = true;
    Zoom(a.model.view, inc);
  });
}

void NormView(AppState& a) {
  ViewState& v = a.model.view;
  v.SavedScale = v.Scale;
  v.SavedOriginX = v.OriginX;
  v.SavedOriginY = v.OriginY;
  NormalView(v);
  a.controls.NormOn = false;
  a.controls.Preset0On = true;
}

void Preset0Clicked(AppState& a) {
  ViewState& v = a.model.view;
  v.ViewPreset[0] = {v.Scale, v.OriginX, v.OriginY};
  a.controls.Preset0On = false;
  a.controls.NormOn = true;
}

void PresetClicked(AppState& a, int n) {
  ViewState& v = a.model.view;
  if (!a.controls.Preset0On) v.ViewPreset[static_cast<size_t>(n)] = v.ViewPreset[0];
  const ViewPresetSlot& p = v.ViewPreset[static_cast<size_t>(n)];
  v.Scale = p.Scale;
  v.OriginX = p.OriginX;
  v.OriginY = p.OriginY;
  a.controls.NormOn = true;
  a.controls.Preset0On = true;
}

void RefPointsClicked(AppState& a) {
  const bool on = !a.model.view.RefPointsOn;
  a.model.view.RefPointsOn = on;
  a.controls.RefPtButtonsOn = on;
  if (!on) a.screen.PivotDataOn = false;
}

// Brings a reference point to the screen point (320, 240); the pan bars
// then take positions that pan a little further through their own rule.
void PanToRefPoint(AppState& a, int joint) {
  ViewState& v = a.model.view;
  CentreOn(v, a.model.mech.PtX[static_cast<size_t>(joint)], a.model.mech.PtY[static_cast<size_t>(joint)]);
  const int horz = std::clamp(
      RoundEven(-((static_cast<LD>(v.OriginX) - 320) * v.NormScale / v.Scale + 320 - v.NormOriginX) * 100 / v.NormOriginX),
      -PanBarLimit, PanBarLimit);
  if (horz != 0) PanHorzMoved(a, horz);
  const int vert = std::clamp(
      RoundEven(((static_cast<LD>(v.OriginY) - 240) * v.NormScale / v.Scale + 240 - v.NormOriginY) * 200 / v.NormOriginY),
      -PanBarLimit, PanBarLimit);
  if (vert != 0) PanVertMoved(a, vert);
}

// A reference-point bar moves one coordinate by 0.001 per arrow click and
// 0.025 per page.
void RefPointBarMoved(AppState& a, int bar, int p) {
  MainControls& c = a.controls;
  RecentreCells* cells[] = {&c.Ref1Vert, &c.Ref1Horz, &c.Ref2Vert, &c.Ref2Horz};
  auto& X = a.model.mech.PtX;
  auto& Y = a.model.mech.PtY;
  float* coords[] = {&Y[19], &X[19], &Y[20], &X[20]};
  if (bar < 0 || bar > 3) return;
  Recentre(p, [&](int q) {
    const float inc = RecentreIncrement(*cells[bar], q, 1000, 25);
    c.RefPtZeroOn[static_cast<size_t>(bar < 2 ? 1 : 2)] = true;
    *coords[bar] += inc;
  });
}

void RefPointZeroClicked(AppState& a, int point) {
  if (point != 1 && point != 2) return;
  const size_t j = point == 1 ? 19 : 20;
  a.model.mech.PtX[j] = a.model.mech.PtY[j] = 0;
  a.controls.RefPtZeroOn[static_cast<size_t>(point)] = false;
}

void PivotDataClicked(AppState& a) {
  if (a.screen.PivotDataOn) {
    a.screen.PivotDataOn = false;
  } else {
    a.screen.PivotDataOn = true;
    if (!a.model.view.RefPointsOn) RefPointsClicked(a);
  }
}

// --- Mouse ---

MousePick MouseDown(AppState& a, MouseButton button, int x, int y) {
  ScreenState& s = a.screen;
  ModelState& m = a.model;
  MousePick pick;
  const bool picture = y > 120 || (y >= 68 && x > 247);
  const bool left = button == MouseButton::Left, right = button == MouseButton::Right;
  const bool refOn = m.view.RefPointsOn;
  auto setRefPoint = [&](size_t j) {
    m.mech.PtX[j] = WorldX(m.view, x);
    m.mech.PtY[j] = WorldY(m.view, y);
  };
  if (refOn && picture && left) {
    setRefPoint(19);
    a.controls.RefPtZeroOn[1] = true;
  }
  if (refOn && picture && right) {
    setRefPoint(20);
    a.controls.RefPtZeroOn[2] = true;
  }
  if (refOn && left && PickReopensOnLeft(a.lines)) pick.reopenLines = true;
  if (left) s.LeftFirst = true;
  if (refOn && right && PickReopensOnRight(a.lines, s.LeftFirst)) {
    s.LeftFirst = false;
    pick.reopenLines = true;
  }
  // A row label armed before: this left click chooses its joint.
  if (s.PivotDataOn && s.PivotArmed && refOn && left) {
    setRefPoint(19);
    s.PivotSel[static_cast<size_t>(s.PivotRow)] = static_cast<float>(FindNearestJoint(a));
    s.PivotArmed = false;
  }
  if (s.PivotDataOn && refOn && !s.PivotArmed && left) {
    if (const int r = PivotRowAt(s, x, y)) {
      s.PivotRow = r;
      s.PivotRowSet[static_cast<size_t>(r)] = 1;
      s.PivotArmed = true;
    }
  }
  if (s.HiliteDim > 0) s.HiliteTicks = 1005;  // a click ends the highlight at the next frame
  return pick;
}

FileResult SaveGear(AppState& a, const std::string& path) {
  ViewState& v = a.model.view;
  const bool framed = a.screen.HiliteDim > 0 && a.screen.HiliteTicks > 0;
  if (!framed) return SaveSet(a.model, path);
  const float scale = v.Scale, ox = v.OriginX, oy = v.OriginY;
  v.Scale = v.SavedScale;
  v.OriginX = v.SavedOriginX;
  v.OriginY = v.SavedOriginY;
  const FileResult r = SaveSet(a.model, path);
  v.Scale = scale;
  v.OriginX = ox;
  v.OriginY = oy;
  return r;
}

}  // namespace brevold

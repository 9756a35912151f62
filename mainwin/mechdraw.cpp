// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's frame: the tick that advances it, returning its effects, and its painting.
#include "mainwin/mechdraw.h"

#include <algorithm>
#include <cmath>

#include "mainwin/highlightdraw.h"
#include "mainwin/pivotdraw.h"
#include "mainwin/steamdraw.h"
#include "model/numfmt.h"
#include "model/version.h"
#include "overlay/overlaydraw.h"

namespace brevold {

const char* const VersionText = "Version " BREVOLD_VERSION;

namespace {

constexpr LD kPi = 3.14159265358979323846264338327950288L;

const Font kPictureFont{FontFace::Sans, 8, false, false, clBlack};

// What the painting steps share: the canvas, the state, and the view the
// frame's joints were placed in.
struct Frame {
  Canvas& c;
  const AppState& a;
  const ModelState& m;
  const ScreenState& s;
  const ViewState& v;
};

Pt Screen(const Frame& f, int joint) { return {f.s.ScrX[static_cast<size_t>(joint)], f.s.ScrY[static_cast<size_t>(joint)]}; }

void Line(Canvas& c, Pt a, Pt b) {
  c.MoveTo(a.x, a.y);
  c.LineTo(b.x, b.y);
}

void Closed(Canvas& c, const Pt& p3, const std::array<Pt, 4>& p) {
  c.Polyline({p3, p[0], p[1], p[2], p3});
}

void Text(const Frame& f, int x, int y, const std::string& t) {
  const Pt p = TextPos(f.s, x, y);
  f.c.TextOut(p.x, p.y, t);
}

// A circle of world radius r about joint j, as the ellipse of its box.
// Joint 18 is circled where the frame before left it.
void Circle(const Frame& f, int j, LD r) {
  const LD x = j == 18 ? f.s.Joint18PinX : f.m.mech.PtX[static_cast<size_t>(j)];
  const LD y = f.m.mech.PtY[static_cast<size_t>(j)];
  f.c.Ellipse(ScreenX(f.v, x - r), ScreenY(f.v, y - r), ScreenX(f.v, x + r), ScreenY(f.v, y + r));
}

// While the lines dialog waits for a pivot pick.
void DrawPickPrompt(const Frame& f) {
  const LinesDialogState& d = f.a.lines;
  if (!d.PivotPickMode) return;
  Font font = f.c.CurrentFont();
  font.color = clRed;
  font.bold = true;
  f.c.SetFont(font);
  const bool two = d.Ref == 3;
  Text(f, 10, 130, two ? "STOP MOTION AND SELECT PIVOT 1 AND PIVOT 2" : "STOP MOTION AND SELECT PIVOT 1");
  Text(f, 10, 143, two ? "USE LEFT MOUSE BUTTON FIRST THEN RIGHT" : "USE LEFT MOUSE BUTTON");
  Text(f, 10, 156, two ? "MOVE MOTION IF NECESSARY TO CLEAR PIVOTS" : "MOVE MOTION IF NECESSARY TO CLEAR PIVOT");
  font.color = clBlack;
  font.bold = false;
  f.c.SetFont(font);
}

void DrawWheel(const Frame& f) {
  Canvas& c = f.c;
  const LD D = f.m.dims.frame.DriverDia;
  const LD S = f.v.Scale, ox = f.v.OriginX, oy = f.v.OriginY;
  c.SetPenColor(clBlack);
  Circle(f, 1, D / 2);
  // Counterweight: a 140-degree arc opposite the crank.
  const LD r = 0.35L * D * S;
  const LD a0 = (static_cast<LD>(f.m.mech.DrvAngle) - 110) * kPi / 180;
  const LD a1 = (static_cast<LD>(f.m.mech.DrvAngle) + 110) * kPi / 180;
  c.Arc(PixelRound(ox - r), PixelRound(oy + r), PixelRound(ox + r), PixelRound(oy - r),
        PixelRound(ox + D * S * std::cos(a0)), PixelRound(oy + D * S * std::sin(a0)),
        PixelRound(ox + D * S * std::cos(a1)), PixelRound(oy + D * S * std::sin(a1)));
  Circle(f, 1, 0.08L * D);
  Circle(f, 2, 0.05L * D);
  Circle(f, 3, 0.04L * D);
  for (int j : {4, 5, 6, 7, 8, 9, 11}) Circle(f, j, 0.02L * D);
  Circle(f, 12, 0.04L * D);
  for (int j : {14, 15, 16, 18, 22, 23, 24, 25}) Circle(f, j, 0.02L * D);
}

void DrawCylinder(const Frame& f) {
  Canvas& c = f.c;
  const ChestOutline& ch = f.s.chest;
  const PistonValveOutline& pv = f.s.pv;
  c.SetPenColor(clGray);
  c.Polyline(std::vector<Pt>(ch.A.begin(), ch.A.begin() + 10));
  Line(c, ch.A[10], ch.A[11]);
  Line(c, ch.A[12], ch.A[13]);
  c.Polyline({ch.B[3], ch.B[0], ch.B[1], ch.B[2], ch.B[3]});
  c.SetPenColor(clBlack);
  Line(c, Screen(f, 3), pv.PistonRodEnd);
  Closed(c, pv.P[3], pv.P);
  Line(c, Screen(f, 4), pv.SpindleEnd);
  Closed(c, pv.R[3], pv.R);
  Closed(c, pv.F[3], pv.F);
}

void Cross(Canvas& c, Pt p, int a, int b) {
  c.MoveTo(p.x + a, p.y + a);
  c.LineTo(p.x - b, p.y - b);
  c.MoveTo(p.x + a, p.y - a);
  c.LineTo(p.x - b, p.y + b);
}

void DrawLinks(const Frame& f) {
  Canvas& c = f.c;
  c.SetPenColor(clRed);
  Cross(c, Screen(f, 13), 1, 2);
  for (int j : {0, 9, 16}) Cross(c, Screen(f, j), 5, 6);

  auto move = [&](int j) { c.MoveTo(f.s.ScrX[static_cast<size_t>(j)], f.s.ScrY[static_cast<size_t>(j)]); };
  auto line = [&](int j) { c.LineTo(f.s.ScrX[static_cast<size_t>(j)], f.s.ScrY[static_cast<size_t>(j)]); };
  c.SetPenColor(clFuchsia); move(22); line(23);
  c.SetPenColor(clLime); line(24);
  c.SetPenColor(clFuchsia); line(25);
  c.SetPenColor(clLime); move(23); line(8); line(24);
  c.SetPenColor(clRed); move(22); line(25); line(11);
  c.SetPenColor(clBlue); line(12);
  c.SetPenColor(clLime); line(2);
  c.SetPenColor(clRed); line(3);
  c.SetPenColor(clAqua); line(6);
  c.SetPenColor(clLime); line(5);
  c.SetPenColor(clFuchsia); line(4); line(7);
  c.SetPenColor(clBlue); line(8); line(14);
  c.SetPenColor(clFuchsia); line(15);
  c.SetPenColor(clLime); line(16); line(18);
  c.SetPenColor(clBlack);
  c.LineTo(f.s.ScrX[1], f.s.ScrY[18]);  // the reach rod, level with joint 18
}

std::string Value(const char* label, LD v, int w, int d) { return label + Str(v, w, d) + "  "; }

void DrawReadouts(const Frame& f) {
  const Mechanism& me = f.m.mech;
  const ValveEvents& ve = f.m.valve;
  const auto& cyl = f.m.dims.CylValveDim;
  Text(f, 199, 25, "Pan Vert");
  Text(f, 199, 39, "Pan Horz");
  Text(f, 199, 53, "Zoom");
  Text(f, 459, 25, Value("Rev Arm ", me.RevArmX, 6, 3));
  Text(f, 459, 39, Value("Driv Ang ", me.DrvAngle, 6, 2));
  Text(f, 459, 53, Value("Step Ang", f.m.StepAng, 6, 2));
  Text(f, 545, 25, Value("Piston % ", ve.PistonUnits / 6.4L + 0.00001L, 6, 2));
  Text(f, 545, 37, Value("ValveCen", static_cast<LD>(me.PtX[4]) + cyl[ValveStemLen] - cyl[CylCtrToDrv], 7, 3));
  Text(f, 545, 49, Value("ValveFSt", ve.OpenSteamF, 7, 3));
  Text(f, 545, 61, Value("ValveFEx", ve.OpenExhF, 7, 3));
  Text(f, 545, 73, Value("ValveRSt", ve.OpenSteamR, 7, 3));
  Text(f, 545, 85, Value("ValveREx", ve.OpenExhR, 7, 3));
  Text(f, 545, 97, Value("ExpLkAng", static_cast<LD>(me.LinkAng) * 180 / kPi, 7, 2));
}

// One raised error shows the indicator for 9 frames, plays the sound once
// and stays quiet for 11 more before the flag is cleared.
void AdvanceErrorIndicator(AppState& a, FrameEffects& fx) {
  ScreenState& s = a.screen;
  if (!a.model.mech.ErrFlag) return;
  ++s.ErrBlink;
  if (s.ErrBlink == 10) fx.errorSound = true;
  if (s.ErrBlink > 20) {
    s.ErrBlink = 0;
    a.model.mech.ErrFlag = 0;
  }
}

// The piston position at which a steam opening crossed zero between the
// previous frame and this one (linear interpolation), kept for the other port.
LD CutOffPosition(ScreenState& s, float prevSteam, float steam, float piston) {
  const LD x0 = s.PrevPistonUnits - static_cast<LD>(prevSteam) * (static_cast<LD>(piston) - s.PrevPistonUnits) /
                                        (static_cast<LD>(steam) - prevSteam);
  s.PrevPistonUnits = static_cast<float>(x0);
  return x0;
}

bool CutOffShown(const ModelState& m) { return m.DrvAngInc != 0 && m.DrvAngInc < 23; }

// The cut-off of each end: where its steam opening closed, shown for some
// 400 degrees of the driver after (when the step is small enough to read it).
void AdvanceCutOff(AppState& a) {
  ScreenState& s = a.screen;
  ModelState& m = a.model;
  const ValveEvents& ve = m.valve;
  const LD inc = m.DrvAngInc;
  const bool shown = CutOffShown(m);
  auto show = [shown](int& frames) {
    const bool now = shown && frames > 0;
    if (now) --frames;
    return now;
  };
  if (s.PrevSteamF > 0 && ve.OpenSteamF < 0) {
    s.COFramesF = RoundEven(400 / (inc + 0.1L));
    m.FrontCOText = Str(CutOffPosition(s, s.PrevSteamF, ve.OpenSteamF, ve.PistonUnits) / 6.4L, 4, 1);
  }
  s.FrontCOShown = show(s.COFramesF);
  if (s.PrevSteamR > 0 && ve.OpenSteamR < 0) {
    s.COFramesR = RoundEven(400 / (inc + 0.1L));
    m.RearCOText = Str((640 - CutOffPosition(s, s.PrevSteamR, ve.OpenSteamR, ve.PistonUnits)) / 6.4L, 4, 1);
  }
  s.RearCOShown = show(s.COFramesR);
  s.PrevPistonUnits = ve.PistonUnits;
  s.PrevSteamF = ve.OpenSteamF;
  s.PrevSteamR = ve.OpenSteamR;
}

void DrawCutOff(const Frame& f) {
  if (!CutOffShown(f.m)) return;
  Text(f, 545, 109, "FrontCO% ");
  if (f.s.FrontCOShown) Text(f, 600, 109, f.m.FrontCOText);
  Text(f, 545, 121, "RearCO% ");
  if (f.s.RearCOShown) Text(f, 600, 121, f.m.RearCOText);
}

void DrawRefPoints(const Frame& f) {
  if (!f.m.view.RefPointsOn) return;
  Canvas& c = f.c;
  const auto& X = f.m.mech.PtX;
  const auto& Y = f.m.mech.PtY;
  for (int j : {20, 19}) {
    const Pt p = Screen(f, j);
    c.MoveTo(p.x, p.y - 10);
    c.LineTo(p.x, p.y + 10);
    c.MoveTo(p.x - 10, p.y);
    c.LineTo(p.x + 10, p.y);
    if (j == 20) {
      Text(f, 143, 95, "Pt2V " + Str(Y[20], 6, 3));
      Text(f, 143, 107, "Pt2H " + Str(X[20], 6, 3));
      c.TextOut(p.x + 3, p.y - 17, "2");
    } else {
      Text(f, 143, 71, "Pt1V " + Str(Y[19], 6, 3));
      Text(f, 143, 83, "Pt1H " + Str(X[19], 6, 3));
      c.TextOut(p.x + 3, p.y - 17, "1");
    }
  }
  const LD dy = static_cast<LD>(Y[19]) - Y[20], dx = static_cast<LD>(X[19]) - X[20];
  Text(f, 210, 71, Str(dy, 6, 3));
  Text(f, 210, 83, Str(dx, 6, 3));
  Text(f, 207, 95, "Pt1-Pt2");
  Text(f, 209, 107, Str(std::sqrt(dx * dx + dy * dy), 6, 3));
}

// The newest undo entry, beside the main window's "UnDo" button, when the
// screen data and the undo list are on. Both coordinates of its line scale
// with the x factor; the button's top follows it.
bool UndoLineShown(const AppState& a) { return a.screen.ScreenDataOn && a.model.dyn.UndoOn; }
int UndoLineY(const AppState& a) { return a.model.dyn.DynVarsOn ? 128 : 73; }

void DrawUndoLine(const Frame& f) {
  if (!UndoLineShown(f.a)) return;
  const UndoStack& u = f.m.undo;
  const std::string text = Str(u.UndoCount, 2, 0) + "- " + u.UndoName[1] + " " + Str(u.UndoNew[1], 6, 3) + " to " +
                           Str(u.UndoOld[1], 6, 3);
  const LD k = f.s.TextScaleX;
  f.c.TextOut(RoundEven(320 * k), RoundEven(UndoLineY(f.a) * k), text);
}

void DrawDynVarValues(const Frame& f) {
  if (!f.m.dyn.DynVarsOn) return;
  const DynVars& d = f.m.dyn;
  Canvas& c = f.c;
  if (d.DynVarName[1] != EmptyDynVarName) {
    for (int k = 1; k <= 4; ++k) {
      const int y = 71 + 12 * (k - 1);
      Text(f, 377, y, d.DynVarName[static_cast<size_t>(k)]);
      Text(f, 498, y, Str(d.DynVarVal[static_cast<size_t>(k)], 6, 3));
    }
  } else {
    Font red = c.CurrentFont();
    red.color = clRed;
    c.SetFont(red);
    Text(f, 377, 71, "*******************************");
    Text(f, 377, 81, "* First Select Dimensions *");
    Text(f, 377, 95, "*******************************");
    red.color = clBlack;
    c.SetFont(red);
  }
}

}  // namespace

FrameCaptions Captions(const ModelState& m, const std::string& dateTime) {
  const std::string T = dateTime + "   " + VersionText;
  const std::string N = m.dims.DimFileName;
  const std::string tail = N + "     " + T;
  return {"BREVOLD Inside Admission            " + tail,
          "BREVOLD Inside Admission      Sine Diagram    " + tail,
          "BREVOLD Inside Admission      Oval Diagram    " + tail,
          "BREVOLD Inside Admission      Steam Diagram    " + tail,
          "BREVOLD Inside Admission      Port Open/Closed    " + tail,
          "BREVOLD Inside Admission  Data Table " + tail,
          tail};
}

Pt TextPos(const ScreenState& s, int x, int y) {
  return {RoundEven(static_cast<LD>(x) * s.TextScaleX), RoundEven(static_cast<LD>(y) * s.TextScaleY)};
}

void CalcScreenPoints(AppState& a) {
  const ViewState& v = a.model.view;
  const Mechanism& m = a.model.mech;
  for (int j = 0; j <= 25; ++j) {
    a.screen.ScrX[static_cast<size_t>(j)] = ScreenX(v, m.PtX[static_cast<size_t>(j)]);
    a.screen.ScrY[static_cast<size_t>(j)] = ScreenY(v, m.PtY[static_cast<size_t>(j)]);
  }
  a.screen.ScrX[18] = ScreenX(v, m.RevArmX);
  a.screen.PointsView = v;
}

void CalcChestOutline(AppState& a) {
  const ViewState& v = a.model.view;
  const auto& d = a.model.dims.CylValveDim;
  const LD e = d[CylCtrToDrv], c = d[ValveBoreLen] / 2.0L;
  const LD yv = a.model.mech.PtY[4], yc = a.model.mech.PtY[3];
  auto X = [&](LD x) { return ScreenX(v, x); };
  auto Y = [&](LD y) { return ScreenY(v, y); };
  const int vtop = Y(yv + d[ValveBoreDia] / 2.0L), vbot = Y(yv - d[ValveBoreDia] / 2.0L);
  const int ctop = Y(yc + d[CylBoreDia] / 2.0L), cbot = Y(yc - d[CylBoreDia] / 2.0L);
  const LD half = d[CylBoreLen] / 2.0L;
  auto& A = a.screen.chest.A;
  auto& B = a.screen.chest.B;
  A[0] = {X(e - c), vtop};
  A[1] = {X(e - c), vbot};
  A[2] = {X(e - d[ValvePortCtr] - d[ValvePortWRear]), vbot};
  A[3] = {X(e - half), ctop};
  A[4] = {X(e - half), cbot};
  A[5] = {X(e + half), cbot};
  A[6] = {X(e + half), ctop};
  A[7] = {X(e + d[ValvePortCtr] + d[ValvePortWFront]), vbot};
  A[8] = {X(e + c), vbot};
  A[9] = {X(e + c), vtop};
  A[10] = {X(e + c - 2 * static_cast<LD>(d[ValvePortWFront])), vtop};
  A[11] = {X(e + d[ValvePortWRear]), vtop};
  A[12] = {X(e - c + 2 * static_cast<LD>(d[ValvePortWRear])), vtop};
  A[13] = {X(e - d[ValvePortWFront]), vtop};
  B[0] = {X(e - d[ValvePortCtr]), vbot};
  B[1] = {X(e - half + d[CylPortWidth]), ctop};
  B[2] = {X(e + half - d[CylPortWidth]), ctop};
  B[3] = {X(e + d[ValvePortCtr]), vbot};
}

void CalcPistonValve(AppState& a) {
  const ViewState& v = a.model.view;
  const auto& d = a.model.dims.CylValveDim;
  const Mechanism& m = a.model.mech;
  auto X = [&](LD x) { return ScreenX(v, x); };
  auto Y = [&](LD y) { return ScreenY(v, y); };
  const LD yv = m.PtY[4], yc = m.PtY[3];
  const int ctop = Y(yc + d[CylBoreDia] / 2.0L), cbot = Y(yc - d[CylBoreDia] / 2.0L);
  const int vtop = Y(yv + d[ValveBoreDia] / 2.0L), vbot = Y(yv - d[ValveBoreDia] / 2.0L);
  const LD xc = static_cast<LD>(m.PtX[3]) + d[PistonToXhead];
  const LD w = static_cast<LD>(m.PtX[4]) + d[ValveStemLen];
  const LD pw = d[PistonWidth] / 2.0L;
  PistonValveOutline& o = a.screen.pv;
  o.PistonRodEnd = {X(xc + pw), Y(yc)};
  o.P = {{{X(xc - pw), ctop}, {X(xc - pw), cbot}, {X(xc + pw), cbot}, {X(xc + pw), ctop}}};
  o.SpindleEnd = {X(w + d[ValveRingIn] + d[ValveEndWFront]), Y(yv)};
  const int r0 = X(w - d[ValveRingIn] - d[ValveEndWRear]), r1 = X(w - d[ValveRingIn]);
  o.R = {{{r0, vtop}, {r0, vbot}, {r1, vbot}, {r1, vtop}}};
  const int f0 = X(w + d[ValveRingIn]), f1 = X(w + d[ValveRingIn] + d[ValveEndWFront]);
  o.F = {{{f0, vtop}, {f0, vbot}, {f1, vbot}, {f1, vtop}}};
}

void SolveAndTransform(AppState& a) {
  Solve(a.model);
  PostCalc(a.model);
  CalcScreenPoints(a);
  CalcChestOutline(a);
  CalcPistonValve(a);
}

void AdvanceAngle(AppState& a) {
  Mechanism& m = a.model.mech;
  const LD inc = a.model.DrvAngInc;
  m.DrvAngle = static_cast<float>(a.screen.GearDir == "Fwd" ? m.DrvAngle + inc : m.DrvAngle - inc);
  if (m.DrvAngle > 360.1L) m.DrvAngle = static_cast<float>(m.DrvAngle - 360.0L);
  if (m.DrvAngle < 0) m.DrvAngle = static_cast<float>(m.DrvAngle + 360.0L);
}

FrameEffects AdvanceDisplays(AppState& a, const std::string& dateTime) {
  ScreenState& s = a.screen;
  ModelState& m = a.model;
  FrameEffects fx;
  if (s.SteamDisp) AdvanceSteam(a, fx);
  fx.captions = Captions(m, dateTime);
  // The wheel step circles joint 18 before the frame puts it at the
  // reverse-arm setting.
  s.Joint18PinX = m.mech.PtX[18];
  m.mech.PtX[18] = m.mech.RevArmX;
  fx.undoVisible = UndoLineShown(a);
  if (fx.undoVisible) s.UnDoDnTop = RoundEven((UndoLineY(a) - 1) * static_cast<LD>(s.TextScaleX));
  fx.undoTop = s.UnDoDnTop;
  if (s.ScreenDataOn) {
    AdvanceErrorIndicator(a, fx);
    AdvanceCutOff(a);
    if (m.dyn.DynVarsOn)
      for (size_t k = 1; k <= 4; ++k) s.DynVarBarEnabled[k] = m.dyn.DynVarName[k] != EmptyDynVarName;
  }
  fx.dynVarBarsShown = m.dyn.DynVarsOn;
  fx.dynVarBarEnabled = s.DynVarBarEnabled;
  fx.errorItemVisible = ErrorItemShown(s);
  AdvanceHighlight(a, fx);
  return fx;
}

FrameEffects AdvanceFrame(AppState& a, const std::string& dateTime) {
  SolveAndTransform(a);
  AdvanceAngle(a);
  return AdvanceDisplays(a, dateTime);
}

bool ErrorItemShown(const ScreenState& s) { return s.ErrBlink >= 1 && s.ErrBlink <= 9; }

namespace {
// The gear as a frame draws it, on a fresh white surface: steam, wheel,
// cylinder and valve, the links, and the lines and circles drawn over them.
void PaintGear(const Frame& f) {
  Canvas& c = f.c;
  const AppState& a = f.a;
  // A fresh frame: white, black pen of the line width, clear brush, picture font.
  c.Clear(clWhite);
  c.SetPen(clBlack, a.screen.LineWidth);
  c.SetBrushClear();
  c.SetFont(kPictureFont);
  if (a.screen.SteamDisp) PaintSteam(c, a);
  DrawWheel(f);
  DrawCylinder(f);
  DrawLinks(f);
  // In the view the frame's joints were placed in: the highlight may have
  // framed or given back the model's view since.
  DrawOverlay(c, a.model, f.v);
}
}  // namespace

PictureBox GearPictureBox(const AppState& a) {
  BoundsCanvas b;
  PaintGear(Frame{b, a, a.model, a.screen, a.screen.PointsView});
  PictureBox box{0, 0, FrameWidth, FrameHeight};
  if (b.Empty()) return box;
  box.x = std::max(0, b.left - GearPictureMargin);
  box.y = std::max(0, b.top - GearPictureMargin);
  const int right = std::min(FrameWidth, b.right + 1 + GearPictureMargin);
  const int bottom = std::min(FrameHeight, b.bottom + 1 + GearPictureMargin);
  if (right <= box.x || bottom <= box.y) return {0, 0, FrameWidth, FrameHeight};  // all of it off the frame
  box.width = right - box.x;
  box.height = bottom - box.y;
  return box;
}

void PaintGearPicture(Canvas& c, const AppState& a, const PictureBox& box) {
  OffsetCanvas o(c, -box.x, -box.y);
  PaintGear(Frame{o, a, a.model, a.screen, a.screen.PointsView});
}

std::string PictureFoot(const AppState& a, const std::string& dateTime) {
  const Mechanism& me = a.model.mech;
  return a.model.dims.DimFileName + "     " + dateTime + "     Rev Arm " + Str(me.RevArmX, 0, 3) + "   Driv Ang " +
         Str(me.DrvAngle, 0, 2);
}

void PaintFrame(Canvas& c, const AppState& a) {
  const Frame f{c, a, a.model, a.screen, a.screen.PointsView};
  PaintGear(f);
  DrawUndoLine(f);
  if (a.screen.ScreenDataOn) {
    c.SetFont(kPictureFont);
    DrawReadouts(f);
    if (a.screen.PivotDataOn) DrawPivotData(c, a);
    DrawPickPrompt(f);
    DrawCutOff(f);
    DrawRefPoints(f);
    DrawDynVarValues(f);
  }
  if (a.screen.HiliteShown > 0) PaintHighlight(c, a);
}

}  // namespace brevold

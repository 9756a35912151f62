// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dimension highlight: its framing and progress a frame at a time, and its mark painted.
#include "mainwin/highlightdraw.h"

#include <cmath>

#include "mainwin/mechdraw.h"
#include "model/dimensions.h"
#include "model/numfmt.h"

namespace brevold {

namespace {

struct HiliteView {
  int dim;
  // The name written beside the mark where it is not the dimension's short
  // name: the reverse arm's two travel limits, and the link levers without
  // "Len".
  const char* name;
  float k;
  bool origin;  // whether the framing sets the origin too
  float ox, oy;
};

const HiliteView kViews[] = {
    {1, nullptr, 30, true, 290, 212},
    {2, nullptr, 30, true, 290, 212},
    {3, nullptr, 18.9f, false, 0, 0},
    {4, nullptr, 62, true, -780, 212},
    {5, nullptr, 62, true, -780, 212},
    {6, nullptr, 62, true, -780, 212},
    {7, nullptr, 62, true, -872, 335},
    {8, nullptr, 62, true, -872, 335},
    {9, nullptr, 62, true, -872, 335},
    {10, nullptr, 33, true, -100, 320},
    {11, nullptr, 33, true, -100, 320},
    {12, nullptr, 33, true, -100, 320},
    {13, nullptr, 33, true, -100, 320},
    {14, nullptr, 30, true, 200, 250},
    {15, nullptr, 30, true, 290, 212},
    {16, nullptr, 30, true, 290, 212},
    {17, nullptr, 33, true, -100, 320},
    {18, nullptr, 62, true, -200, 650},
    {19, nullptr, 62, true, -200, 650},
    {20, nullptr, 62, true, -250, 650},
    {21, nullptr, 62, true, -250, 500},
    {22, nullptr, 28, true, 200, 270},
    {23, nullptr, 28, true, 200, 300},
    {24, nullptr, 28, true, 200, 300},
    {25, nullptr, 28, true, 200, 300},
    {26, "Rev Arm to Cent Norm", 28, true, 100, 400},
    {27, "Rev Arm to Cent Max", 28, true, 100, 400},
    {28, "Link Top Lever", 28, true, 200, 300},
    {29, "Link Middle Lever", 28, true, 200, 300},
    {30, "Link RadRod Lever", 28, true, 200, 300},
    {101, nullptr, 18.9f, false, 0, 0},
    {102, nullptr, 55, true, -1100, 295},
    {103, nullptr, 55, true, -1100, 295},
    {104, nullptr, 55, true, -1100, 295},
    {105, nullptr, 55, true, -1100, 295},
    {106, nullptr, 40, true, -500, 260},
    {107, nullptr, 55, true, -1100, 295},
    {108, nullptr, 55, true, -1100, 295},
    {109, nullptr, 55, true, -1100, 295},
    {110, nullptr, 55, true, -1100, 295},
    {111, nullptr, 55, true, -1100, 295},
    {112, nullptr, 55, true, -1100, 295},
    {113, nullptr, 55, true, -1100, 295},
    {114, nullptr, 55, true, -1100, 295},
    {115, nullptr, 55, true, -1100, 295},
    {116, nullptr, 55, true, -1100, 295},
    {117, nullptr, 55, true, -950, 375},
};

const HiliteView* Find(int dim) {
  for (const HiliteView& v : kViews)
    if (v.dim == dim) return &v;
  return nullptr;
}

// The view framed on a dimension: its scale at the highlight's zoom factor,
// and its origin where it has one.
void FrameOn(ViewState& v, const HiliteView& hv) {
  v.Scale = static_cast<float>(static_cast<LD>(hv.k) / v.GraphZoomFactor * 7.5L);
  if (hv.origin) {
    v.OriginX = hv.ox;
    v.OriginY = hv.oy;
  }
}

void Hourglass(Canvas& c) {
  c.SetPen(clBlack, 2);
  c.Polyline({{20, 100}, {44, 100}, {44, 104}, {20, 104}, {20, 100}});
  c.Polyline({{22, 100}, {22, 112}, {30, 120}, {30, 122}, {22, 130}, {22, 142}});
  c.Polyline({{42, 100}, {42, 112}, {34, 120}, {34, 122}, {42, 130}, {42, 142}});
  c.Polyline({{20, 142}, {44, 142}, {44, 138}, {20, 138}, {20, 142}});
  c.SetPen(clBlack, 1);
  c.Polyline({{24, 136}, {32, 127}});
  c.Polyline({{39, 136}, {31, 127}});
  c.Polyline({{31, 117}, {26, 111}, {37, 111}, {31, 118}});
}

// p + (p - q) * num / den, or p itself when den is 0.
LD Beyond(LD p, LD q, LD num, LD den) { return den == 0 ? p : p + (p - q) * num / den; }
LD Toward(LD p, LD q, LD num, LD den) { return den == 0 ? p : p + (q - p) * num / den; }

// The mark along dimension `dim`, in the framed view `v`.
void Mark(Canvas& c, const AppState& a, const ViewState& v, int dim) {
  const auto& X = a.model.mech.PtX;
  const auto& Y = a.model.mech.PtY;
  const FrameDims& f = a.model.dims.frame;
  const auto& cyl = a.model.dims.CylValveDim;
  const ChestOutline& ch = a.screen.chest;
  const PistonValveOutline& pv = a.screen.pv;
  auto sx = [&](LD x) { return ScreenX(v, x); };
  auto sy = [&](LD y) { return ScreenY(v, y); };
  auto J = [&](int j) { return Pt{sx(X[static_cast<size_t>(j)]), sy(Y[static_cast<size_t>(j)])}; };
  auto W = [&](LD x, LD y) { return Pt{sx(x), sy(y)}; };
  auto line = [&](Pt p, Pt q) {
    c.MoveTo(p.x, p.y);
    c.LineTo(q.x, q.y);
  };
  const LD cylX = static_cast<LD>(X[1]) + cyl[CylCtrToDrv];
  switch (dim) {
    case 1: line(W(X[1], Y[1] + f.DriverDia / 2.0L), W(X[1], Y[1] - f.DriverDia / 2.0L)); break;
    case 2: line(J(2), W(2.0L * X[1] - X[2], 2.0L * Y[1] - Y[2])); break;
    case 3: line(J(2), J(3)); break;
    case 4: line(J(3), W(X[3], Y[6])); break;
    case 5: line(W(X[3], Y[6]), J(6)); break;
    case 6: line(J(6), J(5)); break;
    case 7:
    case 8: {
      const Pt q7 = W(Beyond(X[4], X[5], f.CombLevUpper, f.CombLevLower), Beyond(Y[4], Y[5], f.CombLevUpper, f.CombLevLower));
      line(dim == 7 ? J(4) : J(7), q7);
      break;
    }
    case 9: line(J(5), J(4)); break;
    case 10: line(J(7), J(8)); break;
    case 11: line(J(9), J(22)); break;
    case 12:
    case 13: {
      const Pt q12 = W(Toward(X[9], X[25], f.LinkCrankVert, f.LinkUpLowLen), Toward(Y[9], Y[25], f.LinkCrankVert, f.LinkUpLowLen));
      line(dim == 12 ? J(9) : J(11), q12);
      break;
    }
    case 14: line(J(11), J(12)); break;
    case 15: line(J(12), W(2.0L * X[1] - X[12], 2.0L * Y[1] - Y[12])); break;
    case 16: line(J(2), J(12)); break;
    case 17: line(J(8), J(14)); break;
    case 18:
    case 19: {
      const LD r = f.LiftArmLen == 0 ? 0 : static_cast<LD>(f.RevArmVert) / f.LiftArmLen;
      const Pt q18 = W(X[16] - (static_cast<LD>(Y[15]) - Y[16]) * r, Y[16] + (static_cast<LD>(X[15]) - X[16]) * r);
      line(dim == 18 ? J(16) : J(18), q18);
      break;
    }
    case 20: line(J(15), J(16)); break;
    case 21: line(J(14), J(15)); break;
    case 22: line(W(X[16], Y[1]), J(16)); break;
    case 23: line(W(X[1], Y[16]), J(16)); break;
    case 24: line(W(X[9], Y[1]), J(9)); break;
    case 25: line(W(X[1], Y[9]), J(9)); break;
    case 26:
    case 27: {
      const LD mid = a.model.revArm.Positions[0];
      const LD t = dim == 26 ? f.RevArmNorm : f.RevArmMax;
      const int y = sy(Y[18]) + 5;
      c.Polyline({{sx(mid - t), y}, {sx(mid), y}, {sx(mid + t), y}});
      break;
    }
    case 28: line(J(22), J(23)); break;
    case 29: line(J(23), J(24)); break;
    case 30: line(J(23), J(8)); break;
    case 101: line(J(1), W(cylX, Y[1])); break;
    case 102: line(Pt{sx(cylX), sy(Y[1])}, Pt{sx(cylX), sy(Y[3])}); break;
    case 103: line(ch.A[3], ch.A[4]); break;
    case 104: line(ch.A[3], ch.A[6]); break;
    case 105: line(ch.A[3], ch.B[1]); break;
    case 106: line(J(3), W(static_cast<LD>(X[3]) + cyl[PistonToXhead], Y[3])); break;
    case 107: line(pv.P[0], pv.P[3]); break;
    case 108: line(Pt{ch.A[0].x - 5, sy(Y[4])}, Pt{ch.A[0].x - 5, sy(Y[3])}); break;
    case 109: line(ch.A[0], ch.A[1]); break;
    case 110: line(ch.A[1], ch.A[8]); break;
    case 111: line(ch.B[0], Pt{sx(cylX), ch.B[0].y}); break;
    case 112: line(ch.A[2], ch.B[0]); break;
    case 113: line(ch.B[3], ch.A[7]); break;
    case 114: line(Pt{pv.R[2].x, sy(Y[4])}, W(static_cast<LD>(X[4]) + cyl[ValveStemLen], Y[4])); break;
    case 115: line(pv.R[1], pv.R[2]); break;
    case 116: line(pv.F[1], pv.F[2]); break;
    case 117: line(J(4), W(static_cast<LD>(X[4]) + cyl[ValveStemLen], Y[4])); break;
    default: break;
  }
}

}  // namespace

const char* HighlightName(int dim) {
  const HiliteView* v = Find(dim);
  if (!v) return nullptr;
  if (v->name) return v->name;
  const DimInfo* d = FindDim(dim);
  return d ? d->shortName : nullptr;
}

void AdvanceHighlight(AppState& a, FrameEffects& fx) {
  ScreenState& s = a.screen;
  ViewState& v = a.model.view;
  s.HiliteShown = s.HiliteDim;
  s.HiliteEnded = false;
  if (s.HiliteDim <= 0) return;
  // 1. The editor that asked closes while its dimension is shown.
  const auto asking = s.HiliteDim <= 99 ? FrameEffects::Editor::Frame : FrameEffects::Editor::Cylinder;
  fx.closeEditor = asking;
  // 2-3. The hourglass cursor from the second frame on, and the view to
  // come back to.
  fx.hourglass = s.HiliteTicks > 0;
  if (s.HiliteTicks == 0) {
    v.SavedScale = v.Scale;
    v.SavedOriginX = v.OriginX;
    v.SavedOriginY = v.OriginY;
  }
  // 4. Three frames red, three black.
  ++s.HiliteTicks;
  ++s.HiliteBlink;
  s.HiliteRed = s.HiliteBlink < 4;
  // 5. The dimension's framing.
  if (const HiliteView* hv = Find(s.HiliteDim)) FrameOn(v, *hv);
  // 6.
  if (s.HiliteBlink > 5) s.HiliteBlink = 0;
  // 7. The end: the view back and the editor shown again.
  if (s.HiliteTicks > 1000) {
    fx.reopenEditor = asking;
    fx.closeEditor = FrameEffects::Editor::None;
    fx.hourglass = false;
    s.HiliteTicks = 0;
    s.HiliteBlink = 0;
    s.HiliteDim = 0;
    s.HiliteEnded = true;
    v.Scale = v.SavedScale;
    v.OriginX = v.SavedOriginX;
    v.OriginY = v.SavedOriginY;
  }
}

void PaintHighlight(Canvas& c, const AppState& a) {
  const ScreenState& s = a.screen;
  Hourglass(c);
  c.SetPen(s.HiliteRed ? clRed : clBlack, 3);
  Font big = c.CurrentFont();
  big.points = 14;
  c.SetFont(big);
  // The mark in the framing the tick gave the view: the joints' view framed
  // again (on the last frame the model's view is back already).
  if (const HiliteView* hv = Find(s.HiliteShown)) {
    ViewState framed = s.PointsView;
    FrameOn(framed, *hv);
    Mark(c, a, framed, s.HiliteShown);
    const Pt p = TextPos(s, 30, 75);
    c.TextOut(p.x, p.y, HighlightName(s.HiliteShown));
  }
  if (s.HiliteEnded) {
    big.points = 8;
    c.SetFont(big);
  }
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The die-slip diagram: where the die (the radius rod's end) rides along the
// expansion link through a turn of the driver, one curve per reverse-arm
// position, between the link's two ends. A die that slides far in the link
// wears it and the die block; one that reaches an end knocks. Each curve's
// slip (its travel along the link) and margin (what is left to the nearer
// end) are written beside the picture, or "?" where the turn cannot be
// trusted (a guard fired, a search gave up, the linkage left its closure).
//
// The turns are solved on a copy of the state: a redraw changes nothing but
// the undo line.
#include <algorithm>
#include <cmath>
#include <vector>

#include "diagrams/diagrampicture.h"
#include "model/numfmt.h"
#include "model/solver.h"

namespace brevold {

namespace {

constexpr int kStep = DieTurnStep, kSamples = DieTurnSamples;
constexpr int kLeft = 60, kRight = 490;     // the angle axis
constexpr int kMid = 215, kHalf = 110;      // the link's centre and half length on the picture

int X(LD angle) { return PixelRound(kLeft + angle * (kRight - kLeft) / 360); }

}  // namespace

DiagramRecords SweepDieSlipDia(const ModelState& m, const DiagramState&) {
  DiagramRecords r;
  r.turns = SweepDieTurns(m);
  return r;
}

DiagramControls PaintDieSlipDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r) {
  const ModelState& m = a.model;
  const std::vector<DieTurn>& turns = r.turns;
  BeginDiagram(c);
  const LD sx = a.screen.TextScaleX;
  const LD linkHalf = std::fabs(static_cast<LD>(m.dims.frame.LinkUpLowLen));
  // Pixels per unit along the link: its ends on the limit lines.
  const LD scale = linkHalf > 0 ? kHalf / linkHalf : kHalf;
  // Held inside the picture: the other closure puts the die a link away.
  auto y = [&](LD along) { return PixelRound(std::clamp<LD>(kMid - along * scale, 70, 350)); };
  auto text = [&](LD x, int ty, const std::string& t) { c.TextOut(PixelRound(x), ty, t); };

  // The angle axis and its ticks.
  c.SetPenColor(clBlack);
  c.MoveTo(kLeft, 346);
  c.LineTo(kRight, 346);
  for (int deg = 0; deg <= 360; deg += 30) {
    const int len = deg % 90 == 0 ? 10 : 5;
    c.MoveTo(X(deg), 346);
    c.LineTo(X(deg), 346 - len);
  }
  for (int deg = 0; deg <= 360; deg += 90) text(X(deg) - (deg == 0 ? 3 : 9), 353, Str(deg, 1, 0));
  text(kLeft, 367, "Driver Angle, Degrees --->");

  // The link: its ends as limits, its centre pivot between them.
  c.SetPenColor(clRed);
  for (const int end : {kMid - kHalf, kMid + kHalf}) {
    c.MoveTo(kLeft, end);
    c.LineTo(kRight, end);
  }
  c.SetPenColor(clGray);
  c.MoveTo(kLeft, kMid);
  c.LineTo(kRight, kMid);
  c.SetPenColor(clBlack);
  text(9, kMid - kHalf - 13, "Link Top");
  text(9, kMid - kHalf + 1, Str(linkHalf, 6, 3));
  text(9, kMid - 6, "Centre");
  text(9, kMid + kHalf - 13, "Link Bottom");
  text(9, kMid + kHalf + 1, Str(-linkHalf, 6, 3));

  // The legend and the curves, one per position.
  DrawLegendHeading(c, a);
  Font bold = c.CurrentFont();
  for (size_t row = 0; row < turns.size(); ++row) {
    const int k = static_cast<int>(row) + 1;
    DrawLegendRow(c, a, k, SensePositive(m.mech));
    const DieTurn& t = turns[row];
    std::vector<Pt> curve;
    for (int s = 0; s < kSamples; ++s) curve.push_back({X(s * kStep), y(t.along[static_cast<size_t>(s)])});
    c.SetPenColor(clBlack);
    c.Polyline(curve);
    bold.bold = true;
    c.SetFont(bold);
    text(kLeft - 15, curve.front().y - 6, Str(k, 2, 0));
    bold.bold = false;
    c.SetFont(bold);
  }

  // Each curve's slip and margin, or why they cannot be trusted.
  text(500 * sx, 140, "Die Slip in Link");
  text(500 * sx, 153, "Pos    Slip  Margin");
  size_t firstFault = turns.size();  // the first position whose turn is not sound
  for (size_t row = 0; row < turns.size(); ++row) {
    const Soundness& v = turns[row].verdict;
    const int ty = 166 + 12 * static_cast<int>(row);
    const int k = static_cast<int>(row) + 1;
    if (v.Sound()) {
      text(500 * sx, ty, Str(k, 2, 0) + "  " + Str(v.Slip(), 6, 3) + "  " + Str(v.Margin(), 6, 3));
    } else {
      text(500 * sx, ty, Str(k, 2, 0) + "       ?        ?");
      firstFault = std::min(firstFault, row);
    }
  }
  if (firstFault < turns.size()) {
    const Soundness& v = turns[firstFault].verdict;
    c.SetFont(Font{FontFace::Sans, 8, false, false, clRed});
    const int ty = 172 + 12 * static_cast<int>(turns.size());
    text(500 * sx, ty, "? not to be trusted:");
    text(500 * sx, ty + 12, Str(static_cast<int>(firstFault) + 1, 1, 0) + " " + FaultName(v.fault) + " at");
    text(500 * sx, ty + 24, Str(v.faultAngle, 1, 0) + " deg");
    c.SetFont(Font{FontFace::Sans, 8, false, false, clBlack});
  }
  return DrawStripAndUndo(c, a, d.UndoText);
}

}  // namespace brevold

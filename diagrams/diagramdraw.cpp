// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four valve diagrams painted from their sweeps' records.
#include "diagrams/diagramdraw.h"

#include <algorithm>
#include <cmath>

#include "model/events.h"
#include "model/numfmt.h"
#include "model/solver.h"

namespace brevold {

namespace {

constexpr Color clTeal2 = 0x808000;  // red 0, green 128, blue 128

int R(LD v) { return PixelRound(v); }

struct Ctx {
  Canvas& c;
  const AppState& a;
  const ModelState& m;
  LD sx, sy;
  void Text(LD x, LD y, const std::string& t) { c.TextOut(R(x), R(y), t); }
  void Line(LD x1, LD y1, LD x2, LD y2) {
    c.MoveTo(R(x1), R(y1));
    c.LineTo(R(x2), R(y2));
  }
  void FontColour(Color col, bool bold = false) {
    Font f = c.CurrentFont();
    f.color = col;
    f.bold = bold;
    c.SetFont(f);
  }
};

Ctx Make(Canvas& c, const AppState& a) {
  BeginDiagram(c);
  return Ctx{c, a, a.model, a.screen.TextScaleX, a.screen.TextScaleY};
}

void LegendHeading(Ctx& x) {
  x.Text(500 * x.sx, 0, "Reverse Arm Positions");
  x.Text(520 * x.sx, 13, "Center");
  x.Text(580 * x.sx, 13, Str(x.m.revArm.Positions[0], 6, 3));
}

void LegendRow(Ctx& x, int k, bool forwardAbove) {
  const LD y = R(k * x.sy * 12) + 12;
  const float pos = x.m.revArm.Positions[static_cast<size_t>(k)];
  x.Text(545 * x.sx, y, Str(k, 5, 0));
  x.Text(580 * x.sx, y, Str(pos, 6, 3));
  x.Text(533 * x.sx, y, PositionWord(x.m.revArm.Positions[0], forwardAbove, pos));
}

void TravelScale(Ctx& x, int labelX) {
  const LD vs = x.m.revArm.VertScale;
  x.Text(9, 18, "Scale =");
  x.Text(50, 18, Str(vs, 3, 1));
  x.Text(9, 32, "Units Travel");
  x.Text(9, 46, "Front");
  x.Text(9, 374, "Rear");
  // The tick count follows the scale; held to what the largest allowed
  // vertical scale gives, so that no stored value can overflow it or make
  // the scale take millions of ticks.
  const int g = std::min(RoundEven(4 * vs), RoundEven(4.0L * MaxVertScale));
  for (int h = -5 * g; h <= 5 * g; ++h) {
    if (!(h % 5 == 0 || vs <= 3.75L)) continue;
    const LD y = h * 7.5L / vs + 215;
    x.Line(39, y, 44, y);
  }
  for (int l = -g; l <= g; ++l) {
    if (!(l % 5 == 0 || vs <= 3.75L)) continue;
    const LD y = l * 37.5L / vs + 215;
    x.Line(36, y, 44, y);
    x.Text(labelX, 210 - l * 37.5L / vs, Str(l / 10.0L, 1, 1));
  }
}

// The six port lines; labels of the first three front-and-rear-exhaust
// texts at xa, the others at xb.
void PortLines(Ctx& x, LD x1, LD x2, LD xa, LD xb) {
  const LD vs = x.m.revArm.VertScale;
  const ValveEvents& v = x.m.valve;
  struct L {
    float value;
    bool front;
    const char* text;
    int dy;
    bool atA;
  };
  const L lines[] = {{v.LapF, true, "Front Steam Port Open", -16, true},   {v.LapPortF, true, "Front Steam Port Max", 1, true},
                     {v.ExhClrF, true, "Front Exhaust Port Open", 1, false}, {v.LapR, false, "Rear Steam Port Open", 1, false},
                     {v.LapPortR, false, "Rear Steam Port Max", -16, false}, {v.ExhClrR, false, "Rear Exhaust Port Open", -16, true}};
  for (const L& l : lines) {
    const LD y = l.front ? 215 - l.value * 375.0L / vs : 215 + l.value * 375.0L / vs;
    x.c.SetPenColor(l.front ? clLime : clRed);
    x.Line(x1, y, x2, y);
    x.Text(l.atA ? xa : xb, R(y) + l.dy, l.text);
  }
  x.c.SetPenColor(clBlack);
}

bool MidGearPosition(const ModelState& m, float revArm) {
  const LD c = m.revArm.Positions[0];
  return c - 0.05L < revArm && revArm < c + 0.05L;
}

// The valve's edges here are those after the row's last solve.
void MidGearReadout(Ctx& x, const CurveRow& row, LD travelMax, LD travelMin) {
  const std::array<float, 6>& e = row.edges;  // VlvEdge1..6
  x.Text(595, 153, "Lead");
  x.Text(595, 182, "Lap");
  x.Text(595, 211, "ExCl");
  x.Text(595, 253, "Lap");
  x.Text(595, 282, "Lead");
  const LD mid = (travelMax + travelMin) / 2;
  const bool plain = x.m.dims.CylValveDim[ValvePortWFront] > x.m.dims.CylValveDim[ValveRingIn];
  const LD corr = plain ? 0 : mid;
  x.Text(592, 166, Str(e[0] + travelMax, 6, 3));
  x.Text(592, 295, Str(e[1] - travelMin, 6, 3));
  x.Text(592, 195, Str(e[2] - corr, 6, 3));
  x.Text(592, 266, Str(e[3] + corr, 6, 3));
  x.Text(592, 224, Str(e[4] - corr, 6, 3));
  x.Text(592, 237, Str(e[5] + corr, 6, 3));
}

// The dynamic-variable strip and the undo line that end every drawing.
DiagramControls StripAndUndo(Ctx& x, const std::string& shown) {
  DiagramControls out;
  const DynVars& dv = x.m.dyn;
  if (dv.DynVarsOn) {
    out.barsVisible = true;
    if (dv.DynVarName[1] == EmptyDynVarName) {
      x.FontColour(clRed);
      x.Text(235 * x.sx, 2, "*******************************");
      x.Text(235 * x.sx, 12 * x.sy, "* First Select Dimensions *");
      x.Text(235 * x.sx, 26 * x.sy, "*******************************");
      x.FontColour(clBlack);
    } else {
      const LD ys[5] = {0, 2, 14 * x.sy, 26 * x.sy, 38 * x.sy};
      for (size_t k = 1; k <= 4; ++k) {
        x.Text(235 * x.sx, ys[k], dv.DynVarName[k]);
        x.Text(363 * x.sx, ys[k], Str(dv.DynVarVal[k], 6, 3));
      }
    }
    for (size_t k = 1; k <= 4; ++k) out.barEnabled[k] = dv.DynVarName[k] != EmptyDynVarName;
  }
  if (dv.UndoOn) {
    x.Text(150 * x.sx, 55 * x.sy, shown);
    out.undoVisible = true;
    if (dv.DynVarsOn) x.Text(150 * x.sx, 55 * x.sy, UndoLine(x.m.undo));
  }
  return out;
}

void TickRows(Ctx& x, int shortBase, int shortSpan, int longSpan, bool sine) {
  for (int m = 1; m <= 9; ++m) {
    if (sine) {
      for (int i = 6; i <= 58; ++i) x.Line(10 * i, 32 * m + 53, 10 * i, 32 * m + 57);
      for (int k = 1; k <= 6; ++k) x.Line(90 * k, 32 * m + 50, 90 * k, 32 * m + 60);
    } else {
      for (int i = 2; i <= 20; ++i) x.Line(27 * i + 17, 32 * m + shortBase, 27 * i + 17, 32 * m + shortBase + shortSpan);
      for (int j = 2; j <= 10; ++j) x.Line(54 * j - 10, 32 * m + 50, 54 * j - 10, 32 * m + 50 + longSpan);
    }
  }
}

void PercentLabels(Ctx& x, int y, int zeroY) {
  const char* labels[] = {"100", "90", "80", "70", "60", "50", "40", "30", "20", "10"};
  const int xs[] = {45, 91, 145, 199, 253, 307, 361, 415, 469, 523};
  for (int i = 0; i < 10; ++i) x.Text(xs[i], y, labels[i]);
  x.Text(577, zeroY, "0");
}

// --- The port open/close diagram ---

struct PortEvent {
  bool front;
  int anchor;  // 0 none, 1 admission, 2 cut-off, 3 release, 4 compression
  float pos = -1;
  bool found = false;
};

void PortOnce(Ctx& x, const PortGraphRecord& graph, bool labels) {
  const ModelState& m = x.m;
  Canvas& c = x.c;
  const bool fwd = graph.forward;
  const Color frontCol = fwd ? clTeal2 : clGreen, rearCol = fwd ? clRed : clMaroon;
  // 1. The fixed picture.
  c.SetPenColor(clBlack);
  x.Line(9, 42, 9, 353);
  x.Line(9, 343, 549, 343);
  x.Line(549, 353, 549, 42);
  for (int mm = 0; mm <= 9; ++mm) {
    const int b = 32 * mm;
    for (int j = 2; j <= 20; ++j) x.Line(27 * j - 18, b + 52, 27 * j - 18, b + 58);
    for (int k = 2; k <= 10; ++k) x.Line(54 * k - 45, b + 45, 54 * k - 45, b + 65);
    for (int l = 2; l <= 22; ++l) x.Line(27 * l - 49, b + 55, 27 * l - 40, b + 55);
  }
  x.FontColour(clRed);
  x.Text(420, 47, "Maximum");
  const LD yN = 343 - 288.0L * m.dims.frame.RevArmNorm / m.dims.frame.RevArmMax;
  c.SetPenColor(clBlue);
  x.Line(59, yN, 650, yN);
  x.FontColour(clBlue);
  x.Text(345, yN - 7, "Normal");
  c.SetPenColor(clBlack);
  x.FontColour(clBlack);
  const char* pct[] = {"0", "10", "20", "30", "40", "50", "60", "70", "80", "90"};
  for (int i = 0; i < 10; ++i) x.Text(i == 0 ? 10 : 56 + 54 * (i - 1), 353, pct[i]);
  x.Text(529, 350, "100");
  x.Text(200, 367, "Percent Piston Travel");
  x.Text(568, 350, "Center");
  const char* word = "REVERSEARMPOSITION";
  const int ys[] = {76, 90, 104, 118, 132, 146, 160, 178, 192, 206, 224, 238, 252, 266, 280, 294, 308, 322};
  for (int i = 0; i < 18; ++i) x.Text(word[i] == 'I' ? 537 : 535, ys[i], std::string(1, word[i]));
  if (fwd) {
    x.Text(415, 290, "Fwd.");
    x.FontColour(frontCol);
    x.Text(446, 284, "Front Port");
    x.FontColour(rearCol);
    x.Text(446, 296, "Rear Port");
  } else {
    x.Text(415, 321, "Rev.");
    x.FontColour(frontCol);
    x.Text(446, 315, "Front Port");
    x.FontColour(rearCol);
    x.Text(446, 327, "Rear Port");
  }
  x.FontColour(clBlack);

  // 2. Nineteen rows from the centre to the maximum travel. Each event's
  // curve runs from where it was on the row below.
  std::array<int, 5> anchors{};
  std::array<PortEvent, 8> ev = {{{true, 1}, {true, 3}, {false, 0}, {false, 0}, {true, 2}, {true, 4}, {false, 0}, {false, 0}}};
  auto xFront = [](LD p) { return 0.84375L * p + 9; };
  auto xRear = [](LD p) { return (540 - 0.84375L * p) + 9; };
  for (int i = 0; i < PortRows; ++i) {
    const PortRowRecord& row = graph.rows[static_cast<size_t>(i)];
    if (fwd) x.Text(554, 32, "Forward");
    else x.Text(605, 32, "Rev.");
    x.Text(fwd ? 556 : 596, 336 - 16 * i, Str(row.revArm, 7, 3));
    for (const PortCrossing& k : row.crossings) {
      PortEvent& E = ev[static_cast<size_t>(k.kind)];
      const LD P = k.piston;
      auto xm = [&](LD q) { return E.front ? xFront(q) : xRear(q); };
      if (E.found) {
        c.SetPenColor(E.front ? frontCol : rearCol);
        x.Line(xm(E.pos), 359 - 16 * i, xm(P), 343 - 16 * i);
      }
      E.pos = static_cast<float>(P);
      E.found = true;
      if (i == 13 && E.anchor) anchors[static_cast<size_t>(E.anchor)] = R(xm(P));
    }
  }

  // 3. The annotation of the four phases on row 13.
  if (labels) {
    const int a = anchors[1], co = anchors[2], r = anchors[3], k = anchors[4];
    x.FontColour(clBlack, true);
    c.Polyline({{co - 110, 101}, {co - 70, 101}, {co - 20, 135}, {co, 135}, {co - 12, 131}, {co - 12, 139}, {co, 135}});
    x.Text(co + 10, 129, "Exp");
    c.Polyline({{co + 40, 135}, {r, 135}, {r - 12, 131}, {r - 12, 139}, {r, 135}});
    c.Polyline({{r + 8, 135}, {549, 135}, {529, 169}, {r - 160, 169}});
    x.Text(r - 190, 163, "Exh");
    c.Polyline({{r - 200, 169}, {k + 100, 169}, {k + 50, 135}, {k, 135}, {k + 12, 131}, {k + 12, 139}, {k, 135}});
    x.Text(k - 25, 129, "Com");
    c.Polyline({{k - 30, 135}, {a, 135}, {a + 12, 139}, {a + 12, 131}, {a, 135}, {9, 135}, {27, 101}, {co - 150, 101}});
    x.Text(co - 140, 95, "Adm");
    x.FontColour(clBlack, false);
  }
}

// Where a redraw leaves the state: the linkage as the sweeps on the working
// copy left it, and the last curve's reverse-arm setting.
RedrawEffects LeftBy(const ModelState& work, bool curves) {
  RedrawEffects e;
  e.solved.emplace();
  e.solved->Take(work);
  const int rows = std::clamp(work.revArm.RevArmCount, 0, 9);
  if (curves && rows > 0) e.lastRevArm = work.revArm.Positions[static_cast<size_t>(rows)];
  return e;
}

// The oval's and the sine diagram's rows: the legend, each sample after its
// solve (draw(w, j, sample)), and the readout of a row at mid gear.
template <typename Draw>
void ValveCurves(Ctx& x, const CurveRecord& rec, int first, Draw draw) {
  for (size_t row = 0; row < rec.rows.size(); ++row) {
    const CurveRow& r = rec.rows[row];
    const int w = static_cast<int>(row) + 1;
    LegendRow(x, w, r.forwardAbove);
    const bool mid = MidGearPosition(x.m, r.revArm);
    LD travelMax = 0, travelMin = 1000;
    for (size_t n = 0; n < r.samples.size(); ++n) {
      const CurveSample& at = r.samples[n];
      if (mid) {
        travelMax = std::max<LD>(travelMax, at.valveX);
        travelMin = std::min<LD>(travelMin, at.valveX);
      }
      draw(w, first + static_cast<int>(n), at);
    }
    if (mid) MidGearReadout(x, r, travelMax, travelMin);
  }
}

}  // namespace

const char* PositionWord(float centre, bool forwardAbove, float position) {
  if (position == centre) return "Cen";
  return (position > centre) == forwardAbove ? "Fwd" : "Rev";
}

std::string UndoLine(const UndoStack& u) {
  return Str(u.UndoCount, 2, 0) + "- " + u.UndoName[1] + " " + Str(u.UndoNew[1], 6, 3) + " to " + Str(u.UndoOld[1], 6, 3) +
         std::string(46, ' ');
}

DiagramRecords SweepPortDia(const ModelState& m, const DiagramState& d) {
  DiagramRecords r;
  ModelState work = m;
  const int threads = SweepThreads();
  // Both graphs: the forward one, then the reverse one from where it left off.
  if (d.PortGraphMode != PortGraphs::Reverse) r.graphs.push_back(SweepPortGraph(work, true, threads));
  if (d.PortGraphMode != PortGraphs::Forward) r.graphs.push_back(SweepPortGraph(work, false, threads));
  r.effects = LeftBy(work, false);
  return r;
}

DiagramControls PaintPortDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r) {
  DiagramControls out;
  std::string shown = d.UndoText;
  // The event labels go on the first graph alone.
  bool labels = d.PortEventLabels;
  for (const PortGraphRecord& g : r.graphs) {
    Ctx x = Make(c, a);
    PortOnce(x, g, labels);
    out = StripAndUndo(x, shown);
    if (a.model.dyn.UndoOn) shown = UndoLine(a.model.undo);
    labels = false;
  }
  return out;
}

DiagramRecords SweepSteamDia(const ModelState& m, const DiagramState&) {
  DiagramRecords r;
  ModelState work = m;
  r.curves = SweepSteamCurves(work, SweepThreads());
  r.card = RunSteamCard(r.curves);
  if (!r.curves.rows.empty()) {
    // The model's reading of the last openings stays in the state.
    work.valve.OpenSteamF = r.card.lastSteamF;
    work.valve.OpenSteamR = r.card.lastSteamR;
  }
  r.effects = LeftBy(work, true);
  return r;
}

DiagramControls PaintSteamDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r) {
  Ctx x = Make(c, a);
  // Fixed picture.
  TickRows(x, 52, 6, 10, false);
  x.Line(44, 70, 44, 346);
  x.Line(584, 70, 584, 346);
  x.Line(45, 343, 585, 343);
  // The pressure axis's arrow, built of four characters that overlap: on a
  // clear brush, or each one's white cell would rub out part of the last.
  c.SetBrushClear();
  x.Text(24, 77, "/");
  x.Text(29, 77, "\\");
  x.Text(28, 81, "|");
  x.Text(28, 94, "|");
  c.SetBrushSolid(clWhite);
  const int ys[] = {108, 123, 136, 149, 162, 175, 188, 201};
  const char* cyl = "CYLINDER";
  const char* prs = "PRESSURE";
  for (int i = 0; i < 8; ++i) {
    x.Text(cyl[i] == 'I' ? 22 : 20, ys[i], std::string(1, cyl[i]));
    x.Text(32, ys[i], std::string(1, prs[i]));
  }
  PercentLabels(x, 350, 348);
  x.Text(186, 364, "Percent Piston Travel");
  x.Text(386, 364, "Forward End --->");
  LegendHeading(x);

  // The card's curves, one per position, the front end's and the rear's.
  auto px = [](LD p) { return 584 - 0.84375L * p; };
  auto py = [](LD p) { return 343 - 0.9L * p; };
  for (size_t row = 0; row < r.curves.rows.size(); ++row) {
    const CurveRow& curve = r.curves.rows[row];
    const int w = static_cast<int>(row) + 1;
    LegendRow(x, w, curve.forwardAbove);
    for (size_t sample = 0; sample < curve.samples.size(); ++sample) {
      const SteamStep& step = r.card.rows[row][sample];
      if (!step.drawn) continue;
      const int n = static_cast<int>(sample) + 1;
      const float piston = curve.samples[sample].piston;
      for (size_t k = 0; k < 2; ++k) {
        const SteamMark& e = step.ends[k];
        const bool front = k == 0;
        const Color col = front ? clGreen : clRed;
        c.SetPenColor(col);
        if (e.cutOff) {
          if (n > 60) x.Line(px(e.fromBeforeCutOff), py(e.fromPress), px(e.cutOffAt), py(e.fromPress));
          x.FontColour(col);
          x.Text(front ? 587 : 2, 231, "%CutOff");
          x.FontColour(clBlack);
          const int ty = 13 * w + 233;
          x.Text(front ? 588 : 3, ty, Str(w, 1, 0));
          x.Text(front ? 600 : 15, ty, Str(front ? e.from / 6.4L : (640 - e.from) / 6.4L, 4, 1));
        }
        if (n > 60) x.Line(px(e.from), py(e.fromPress), px(piston), py(e.press));
        if (e.numbered) {
          x.FontColour(clBlack, true);
          x.Text(front ? 568 - 0.84L * e.from : 600 - 0.84L * e.from, front ? 122 : 135, Str(w, 1, 0));
          x.FontColour(clBlack, false);
        }
      }
      c.SetPenColor(clBlack);
    }
  }
  return StripAndUndo(x, d.UndoText);
}

DiagramRecords SweepOvalDia(const ModelState& m, const DiagramState&) {
  DiagramRecords r;
  ModelState work = m;
  r.curves = SweepValveCurves(work, 7, 52, &OvalAngle, SweepThreads());
  if (!r.curves.rows.empty()) {
    // The oval places the piston by the stroke, guarded as the solver guards
    // a divisor; the guard's value and any error it raised stay.
    work.mech.CalcDen = work.dims.frame.Stroke;
    GuardDivisor(work.mech);
  }
  r.effects = LeftBy(work, true);
  return r;
}

DiagramControls PaintOvalDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r) {
  Ctx x = Make(c, a);
  const ModelState& m = a.model;
  TickRows(x, 52, 6, 10, false);
  x.Line(44, 84, 44, 346);
  x.Line(584, 84, 584, 346);
  PercentLabels(x, 353, 348);
  x.Text(186, 367, "Percent Piston Travel");
  x.Text(386, 367, "Forward End --->");
  TravelScale(x, 15);
  LegendHeading(x);
  PortLines(x, 15, 584, 430, 75);
  const LD vs = m.revArm.VertScale;
  Mechanism guarded;
  guarded.BeepOnError = false;
  guarded.CalcDen = m.dims.frame.Stroke;
  GuardDivisor(guarded);
  const LD den = guarded.CalcDen;
  auto xAt = [&](LD angle) {
    const LD a0 = angle * 3.14159265358979323846L / 180, S = m.dims.frame.Stroke, L = m.dims.frame.MainRodLen;
    LD under = L * L - std::pow(S * std::sin(a0) / 2, 2);
    if (under < 0) under = 0;  // a main rod shorter than the crank throw: draw at its end
    const LD u = std::cos(a0) + 2 * (std::sqrt(under) - L) / den;
    return 270.5L * u + 314;
  };
  auto yAt = [&](LD v) { return 215 - 375 * v / vs; };
  float prevDisp = 0, prevAngle = 0;
  const bool swap = m.dims.CylValveDim[ValvePortWFront] > m.dims.CylValveDim[ValveRingIn];
  ValveCurves(x, r.curves, 7, [&](int w, int j, const CurveSample& at) {
    if (j > 7) {
      if (j == 22 || j == 46) {
        const int off = (j == 22) != swap ? 213 : 204;
        x.FontColour(clBlack, true);
        x.Text(j == 22 ? 300 : 334, off - 375 * prevDisp / vs, Str(w, 2, 0));
        x.FontColour(clBlack, false);
      }
      c.SetPenColor(clBlack);
      x.Line(xAt(prevAngle), yAt(prevDisp), xAt(at.angle), yAt(at.valveDisp));
    }
    prevDisp = at.valveDisp;
    prevAngle = at.angle;
  });
  return StripAndUndo(x, d.UndoText);
}

DiagramRecords SweepSineDia(const ModelState& m, const DiagramState&) {
  DiagramRecords r;
  ModelState work = m;
  r.curves = SweepValveCurves(work, 7, 73, &SineAngle, SweepThreads());
  r.effects = LeftBy(work, true);
  return r;
}

DiagramControls PaintSineDia(Canvas& c, const AppState& a, const DiagramState& d, const DiagramRecords& r) {
  Ctx x = Make(c, a);
  const ModelState& m = a.model;
  TickRows(x, 0, 0, 0, true);
  const char* labels[] = {"0", "90", "180", "270", "0", "90"};
  const int xs[] = {86, 173, 260, 350, 446, 533};
  for (int i = 0; i < 6; ++i) x.Text(xs[i], 353, labels[i]);
  x.Text(86, 367, "Driver Clockwise Rotation --->");
  TravelScale(x, 14);
  LegendHeading(x);
  PortLines(x, 15, 583, 60, 230);
  const LD vs = m.revArm.VertScale;
  auto yAt = [&](LD v) { return 215 - 375 * v / vs; };
  float prevDisp = 0;
  ValveCurves(x, r.curves, 7, [&](int w, int j, const CurveSample& at) {
    if (j > 7) {
      if (j == 8) {
        x.FontColour(clBlack, true);
        x.Text(45, yAt(prevDisp), Str(w, 2, 0));
        x.FontColour(clBlack, false);
      }
      c.SetPenColor(clBlack);
      x.Line(8 * j - 6, yAt(prevDisp), 8 * j + 2, yAt(at.valveDisp));
    }
    prevDisp = at.valveDisp;
  });
  return StripAndUndo(x, d.UndoText);
}

void BeginDiagram(Canvas& c) {
  c.SetPen(clBlack, 1);
  // A window's canvas: a solid white brush, so every text is written on a
  // white cell and a readout written again in place replaces the old one.
  c.SetBrushSolid(clWhite);
  c.SetFont(Font{FontFace::Sans, 8, false, false, clBlack});
}

void DrawLegendHeading(Canvas& c, const AppState& a) {
  Ctx x{c, a, a.model, a.screen.TextScaleX, a.screen.TextScaleY};
  LegendHeading(x);
}

void DrawLegendRow(Canvas& c, const AppState& a, int k, bool forwardAbove) {
  Ctx x{c, a, a.model, a.screen.TextScaleX, a.screen.TextScaleY};
  LegendRow(x, k, forwardAbove);
}

DiagramControls DrawStripAndUndo(Canvas& c, const AppState& a, const std::string& shown) {
  Ctx x{c, a, a.model, a.screen.TextScaleX, a.screen.TextScaleY};
  return StripAndUndo(x, shown);
}

}  // namespace brevold

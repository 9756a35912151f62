// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four valve diagrams drawn on a canvas by sweeping the driver angle through the solver.
#include "diagrams/diagramdraw.h"

#include <algorithm>
#include <cmath>

#include "model/events.h"
#include "model/numfmt.h"
#include "model/parallel.h"

namespace brevold {

namespace {

constexpr Color clTeal2 = 0x808000;  // red 0, green 128, blue 128

int R(LD v) { return PixelRound(v); }

struct Ctx {
  Canvas& c;
  AppState& a;
  ModelState& m;
  DiagramState& d;
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

Ctx Make(Canvas& c, AppState& a, DiagramState& d) {
  BeginDiagram(c);
  return Ctx{c, a, a.model, d, a.screen.TextScaleX, a.screen.TextScaleY};
}

float Wrap(LD angle) {
  while (angle > 360) angle -= 360;
  while (angle < 0) angle += 360;
  return static_cast<float>(angle);
}

// Forward side of the centre by the gear's sense.
bool SameSign(const Mechanism& m) { return SensePositive(m); }

void LegendHeading(Ctx& x) {
  x.Text(500 * x.sx, 0, "Reverse Arm Positions");
  x.Text(520 * x.sx, 13, "Center");
  x.Text(580 * x.sx, 13, Str(x.m.revArm.Positions[0], 6, 3));
}

void LegendRow(Ctx& x, int k) {
  const LD y = R(k * x.sy * 12) + 12;
  const float pos = x.m.revArm.Positions[static_cast<size_t>(k)];
  x.Text(545 * x.sx, y, Str(k, 5, 0));
  x.Text(580 * x.sx, y, Str(pos, 6, 3));
  x.Text(533 * x.sx, y, PositionWord(x.m, pos));
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

bool MidGearPosition(const ModelState& m) {
  const LD c = m.revArm.Positions[0];
  return c - 0.05L < m.mech.RevArmX && m.mech.RevArmX < c + 0.05L;
}

void MidGearReadout(Ctx& x, LD travelMax, LD travelMin) {
  const ValveEvents& v = x.m.valve;
  x.Text(595, 153, "Lead");
  x.Text(595, 182, "Lap");
  x.Text(595, 211, "ExCl");
  x.Text(595, 253, "Lap");
  x.Text(595, 282, "Lead");
  const LD mid = (travelMax + travelMin) / 2;
  const bool plain = x.m.dims.CylValveDim[ValvePortWFront] > x.m.dims.CylValveDim[ValveRingIn];
  const LD corr = plain ? 0 : mid;
  x.Text(592, 166, Str(v.VlvEdge1 + travelMax, 6, 3));
  x.Text(592, 295, Str(v.VlvEdge2 - travelMin, 6, 3));
  x.Text(592, 195, Str(v.VlvEdge3 - corr, 6, 3));
  x.Text(592, 266, Str(v.VlvEdge4 + corr, 6, 3));
  x.Text(592, 224, Str(v.VlvEdge5 - corr, 6, 3));
  x.Text(592, 237, Str(v.VlvEdge6 + corr, 6, 3));
}

// The dynamic-variable strip and the undo line that end every drawing.
DiagramControls StripAndUndo(Ctx& x) {
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
    x.Text(150 * x.sx, 55 * x.sy, x.d.UndoText);
    out.undoVisible = true;
    const UndoStack& u = x.m.undo;
    x.d.UndoText = Str(u.UndoCount, 2, 0) + "- " + u.UndoName[1] + " " + Str(u.UndoNew[1], 6, 3) + " to " +
                   Str(u.UndoOld[1], 6, 3) + std::string(46, ' ');
    if (dv.DynVarsOn) x.Text(150 * x.sx, 55 * x.sy, x.d.UndoText);
  }
  return out;
}

// Saves and restores the driver angle and reverse arm around a drawing.
struct SavedSetting {
  explicit SavedSetting(Mechanism& m) : m_(m), revArm(m.RevArmX), angle(m.DrvAngle) {}
  ~SavedSetting() {
    m_.RevArmX = revArm;
    m_.DrvAngle = angle;
  }
  Mechanism& m_;
  float revArm, angle;
};

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

void PortOnce(Ctx& x, std::array<int, 5>& anchors) {
  ModelState& m = x.m;
  Canvas& c = x.c;
  const PortGraphs mode = x.d.PortGraphMode;
  const bool fwd = mode == PortGraphs::Forward;
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

  // 2. Nineteen rows from the centre to the maximum travel.
  std::array<PortEvent, 8> ev = {{{true, 1}, {true, 3}, {false, 0}, {false, 0}, {true, 2}, {true, 4}, {false, 0}, {false, 0}}};
  auto xFront = [](LD p) { return 0.84375L * p + 9; };
  auto xRear = [](LD p) { return (540 - 0.84375L * p) + 9; };
  const float step = fwd ? PortRowStep : -PortRowStep;
  auto setRow = [fwd](ModelState& s, int i) { s.mech.RevArmX = PortRowRevArm(s, fwd, i); };
  auto rowStart = [&](int i) {
    if (fwd) x.Text(554, 32, "Forward");
    else x.Text(605, 32, "Rev.");
    x.Text(mode == PortGraphs::Reverse ? 596 : 556, 336 - 16 * i, Str(m.mech.RevArmX, 7, 3));
  };
  // Each event's curve runs from where it was on the row below. The curves
  // are drawn from the crossings alone.
  auto crossing = [&](int i, const PortCrossing& k) {
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
  };
  const int threads = SweepThreads();
  if (threads <= 1) {
    for (int i = 0; i <= 18; ++i) {
      setRow(m, i);
      rowStart(i);
      SweepPortRow(m, step, PortRowSamples, [&](const PortCrossing& k) { crossing(i, k); });
    }
  } else {
    // The rows' sweeps on the pool, each row's crossings recorded; then the
    // rows drawn in order from the records.
    struct Row {
      SolvedState start;
      std::vector<PortCrossing> crossings;
    };
    std::array<Row, 19> rows;
    UnitSweep units;
    units.units = 19;
    units.run = [&](ModelState& s, int i) {
      Row& row = rows[static_cast<size_t>(i)];
      row.crossings.clear();
      setRow(s, i);
      row.start.Take(s);
      SweepPortRow(s, step, PortRowSamples, [&](const PortCrossing& k) { row.crossings.push_back(k); });
    };
    units.guessEnd = [&](ModelState& s, int i) {
      setRow(s, i);
      s.mech.DrvAngle = SweepPortRowEndAngle(step, PortRowSamples);
      Solve(s);
      PostCalc(s);
    };
    const UnitRun run = RunUnits(m, units, threads);
    for (int i = 0; i <= 18; ++i) {
      const Row& row = rows[static_cast<size_t>(i)];
      Restore(m, row.start);
      rowStart(i);
      for (const PortCrossing& k : row.crossings) crossing(i, k);
      Restore(m, run.end[static_cast<size_t>(i)]);
    }
  }

  // 3. The annotation of the four phases on row 13.
  if (x.d.PortEventLabels) {
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

// The steam card's phase model of one cylinder end: exhaust ('1'),
// compression ('2'), admission ('3') and expansion ('4'), each changing the
// pressure by its own rule per step. x and x' are the piston's distance from
// this end now and a step before (0..640).
struct SteamEnd {
  char phase;
  LD press = 0, rel = 0;  // pressure now, and when the exhaust opened
  char label = '1';       // '1': the curve number may be printed this cycle

  void Exhaust() { press = std::max<LD>(press - rel / 15, 5); }
  void Compress(LD x, LD xPrev) { press += std::pow(xPrev / (x + 1) + 0.3L, 4); }
  void Admit(LD x, float& steam) {
    if (steam < 0.005f) steam = 0.005f;  // a port barely open admits as if open 0.005
    press = std::min<LD>(press + 100000.0L * steam / (x + 45), 303);
  }
  void Expand(LD x, LD xPrev) { press = 0.96L * press * (xPrev + 100) / (x + 100); }

  void Step(LD x, LD xPrev, float& steam, float exh) {
    switch (phase) {
      case '1':
        if (exh > 0) {
          Exhaust();
        } else {
          Compress(x, xPrev);
          phase = '2';
        }
        break;
      case '2':
        if (steam > 0) {
          Admit(x, steam);
          phase = '3';
        } else {
          Compress(x, xPrev);
        }
        if (xPrev < x) phase = '3';  // the piston has passed this end's dead centre
        break;
      case '3':
        if (steam > 0) {
          Admit(x, steam);
        } else {
          Expand(x, xPrev);
          phase = '4';
        }
        if (label == '2') label = '1';
        break;
      case '4':
        if (exh > 0) {
          rel = press;
          Exhaust();
          phase = '1';
        } else {
          Expand(x, xPrev);
        }
        if (steam > 0) phase = '3';
        break;
    }
  }
};

// One step of the steam card's driver: 4 degrees in the direction the gear
// drives at this reverse-arm position, by the sense of the last solve.
void SteamTurn(ModelState& m) {
  const Mechanism& me = m.mech;
  const bool above = me.RevArmX >= m.revArm.Positions[0];
  const bool same = SensePositive(me);
  const bool differ = (me.LiftArmSgn > 0 && me.EccDiaSolved < 0) || (me.LiftArmSgn < 0 && me.EccDiaSolved > 0);
  const bool forwards = (above && same) || (!above && differ);
  m.mech.DrvAngle = Wrap(static_cast<LD>(m.mech.DrvAngle) + (forwards ? 4 : -4));
}

}  // namespace

const char* PositionWord(const ModelState& m, float position) {
  const float c = m.revArm.Positions[0];
  if (position == c) return "Cen";
  const bool forwardAbove = SameSign(m.mech);
  return (position > c) == forwardAbove ? "Fwd" : "Rev";
}

DiagramControls DrawPortDia(Canvas& c, AppState& a, DiagramState& d) {
  Ctx x = Make(c, a, d);
  SavedSetting saved(a.model.mech);
  std::array<int, 5> anchors{};
  PortOnce(x, anchors);
  return StripAndUndo(x);
}

DiagramControls DrawSteamDia(Canvas& c, AppState& a, DiagramState& d) {
  Ctx x = Make(c, a, d);
  ModelState& m = a.model;
  SavedSetting saved(m.mech);
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

  // The phase model of each cylinder end.
  SteamEnd front{'1'}, rear{'3'};
  LD& frontPress = front.press;
  LD& rearPress = rear.press;
  LD prevFront = 0, prevRear = 0;
  int curveNo = 0;
  float prevPiston = 0, prevSteamF = 0, prevSteamR = 0;
  m.valve.PistonUnits = 0;
  m.mech.DrvAngle = 96;
  auto px = [](LD p) { return 584 - 0.84375L * p; };
  auto py = [](LD p) { return 343 - 0.9L * p; };

  // Rows w = 1.. of the positions, 150 samples each, the driver turning on
  // from where the last row left it.
  CurveSweep sweep;
  sweep.rows = std::clamp(m.revArm.RevArmCount, 0, 9);
  sweep.samples = 150;
  sweep.setRow = [](ModelState& s, int row) { s.mech.RevArmX = s.revArm.Positions[static_cast<size_t>(row + 1)]; };
  sweep.solve = [](ModelState& s, int, int) {
    SteamTurn(s);
    Solve(s);
    PostCalc(s);
  };
  sweep.position = [&sweep](ModelState& s, int row, int sample) {
    for (int r = 0; r <= row; ++r) {
      sweep.setRow(s, r);
      for (int n = 0; n < (r < row ? sweep.samples : sample); ++n) SteamTurn(s);
    }
  };
  sweep.rowStart = [&](int row) {
    const int w = row + 1;
    m.DiagLastRevArm = m.mech.RevArmX;
    ++curveNo;
    if (front.label == '2') front.label = '1';
    if (rear.label == '2') rear.label = '1';
    LegendRow(x, w);
  };
  sweep.sampleDone = [&](int r, int sample) {
    const int w = r + 1, n = sample + 1;
    ValveEvents& v = m.valve;
    const LD xp = v.PistonUnits, xq = prevPiston;
    // The rear end runs the front's rules with the piston measured from its end.
    front.Step(xp, xq, v.OpenSteamF, v.OpenExhF);
    rear.Step(640 - xp, 640 - xq, v.OpenSteamR, v.OpenExhR);
    if (prevFront != 0) {
      struct End {
        bool front;
        Color col;
        float& prevSteam;
        float steam;
        LD& press;
        LD prevPress;
        char phase;
        char& label;
      };
      End ends[2] = {{true, clGreen, prevSteamF, v.OpenSteamF, frontPress, prevFront, front.phase, front.label},
                     {false, clRed, prevSteamR, v.OpenSteamR, rearPress, prevRear, rear.phase, rear.label}};
      for (End& e : ends) {
        c.SetPenColor(e.col);
        if (e.prevSteam > 0 && e.steam <= 0) {
          const LD f = static_cast<LD>(e.prevSteam) / (static_cast<LD>(e.prevSteam) - e.steam);
          const LD co = prevPiston + f * (static_cast<LD>(v.PistonUnits) - prevPiston);
          if (n > 60) x.Line(px(prevPiston), py(e.prevPress), px(co), py(e.prevPress));
          prevPiston = static_cast<float>(co);
          e.press = e.press - f * (e.press - e.prevPress);
          x.FontColour(e.col);
          x.Text(e.front ? 587 : 2, 231, "%CutOff");
          x.FontColour(clBlack);
          const int row = 13 * w + 233;
          x.Text(e.front ? 588 : 3, row, Str(w, 1, 0));
          x.Text(e.front ? 600 : 15, row, Str(e.front ? prevPiston / 6.4L : (640 - prevPiston) / 6.4L, 4, 1));
        }
        if (n > 60) x.Line(px(prevPiston), py(e.prevPress), px(v.PistonUnits), py(e.press));
        if (e.phase == '4' && e.press > 150 && e.press < 250 && e.label == '1') {
          e.label = '2';
          x.FontColour(clBlack, true);
          x.Text(e.front ? 568 - 0.84L * prevPiston : 600 - 0.84L * prevPiston, e.front ? 122 : 135, Str(curveNo, 1, 0));
          x.FontColour(clBlack, false);
        }
      }
      c.SetPenColor(clBlack);
    }
    prevPiston = v.PistonUnits;
    prevFront = frontPress;
    prevRear = rearPress;
    prevSteamF = v.OpenSteamF;
    prevSteamR = v.OpenSteamR;
  };
  SweepCurves(m, sweep, SweepThreads());
  return StripAndUndo(x);
}

namespace {

// Oval and sine: one sweep per position of the valve's displacement, the
// driver set to angle(j) for j = first..last; draw(w, j) follows each solve.
template <typename Angle, typename Draw>
void ValveCurves(Ctx& x, int first, int last, Angle angle, Draw draw) {
  ModelState& m = x.m;
  LD travelMax = 0, travelMin = 1000;
  bool mid = false;
  CurveSweep sweep;
  sweep.rows = std::clamp(m.revArm.RevArmCount, 0, 9);
  sweep.samples = last - first + 1;
  sweep.setRow = [](ModelState& s, int row) { s.mech.RevArmX = s.revArm.Positions[static_cast<size_t>(row + 1)]; };
  sweep.solve = [first, angle](ModelState& s, int, int sample) {
    s.mech.DrvAngle = angle(first + sample);
    Solve(s);
  };
  sweep.rowStart = [&](int row) {
    m.DiagLastRevArm = m.mech.RevArmX;
    LegendRow(x, row + 1);
    travelMax = 0, travelMin = 1000;
    mid = MidGearPosition(m);
  };
  sweep.sampleDone = [&](int row, int sample) {
    if (mid) {
      travelMax = std::max<LD>(travelMax, m.mech.PtX[4]);
      travelMin = std::min<LD>(travelMin, m.mech.PtX[4]);
    }
    draw(row + 1, first + sample);
  };
  sweep.rowEnd = [&](int) {
    if (mid) MidGearReadout(x, travelMax, travelMin);
  };
  SweepCurves(m, sweep, SweepThreads());
}

}  // namespace

DiagramControls DrawOvalDia(Canvas& c, AppState& a, DiagramState& d) {
  Ctx x = Make(c, a, d);
  ModelState& m = a.model;
  SavedSetting saved(m.mech);
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
  auto xAt = [&](LD angle) {
    m.mech.CalcDen = m.dims.frame.Stroke;
    GuardDivisor(m.mech);
    const LD a0 = angle * 3.14159265358979323846L / 180, S = m.dims.frame.Stroke, L = m.dims.frame.MainRodLen;
    LD under = L * L - std::pow(S * std::sin(a0) / 2, 2);
    if (under < 0) under = 0;  // a main rod shorter than the crank throw: draw at its end
    const LD u = std::cos(a0) + 2 * (std::sqrt(under) - L) / m.mech.CalcDen;
    return 270.5L * u + 314;
  };
  auto yAt = [&](LD v) { return 215 - 375 * v / vs; };
  float prevDisp = 0, prevAngle = 0;
  auto angle = [](int j) {
    LD ang = 88 - 8 * j;
    while (ang < 0) ang += 360;
    return static_cast<float>(ang);
  };
  ValveCurves(x, 7, 52, angle, [&](int w, int j) {
    if (j > 7) {
      const bool swap = m.dims.CylValveDim[ValvePortWFront] > m.dims.CylValveDim[ValveRingIn];
      if (j == 22 || j == 46) {
        const int off = (j == 22) != swap ? 213 : 204;
        x.FontColour(clBlack, true);
        x.Text(j == 22 ? 300 : 334, off - 375 * prevDisp / vs, Str(w, 2, 0));
        x.FontColour(clBlack, false);
      }
      c.SetPenColor(clBlack);
      x.Line(xAt(prevAngle), yAt(prevDisp), xAt(m.mech.DrvAngle), yAt(m.valve.ValveDisp));
    }
    prevDisp = m.valve.ValveDisp;
    prevAngle = m.mech.DrvAngle;
  });
  return StripAndUndo(x);
}

void BeginDiagram(Canvas& c) {
  c.SetPen(clBlack, 1);
  // A window's canvas: a solid white brush, so every text is written on a
  // white cell and a readout written again in place replaces the old one.
  c.SetBrushSolid(clWhite);
  c.SetFont(Font{FontFace::Sans, 8, false, false, clBlack});
}

void DrawLegendHeading(Canvas& c, AppState& a, DiagramState& d) {
  Ctx x{c, a, a.model, d, a.screen.TextScaleX, a.screen.TextScaleY};
  LegendHeading(x);
}

void DrawLegendRow(Canvas& c, AppState& a, DiagramState& d, int k) {
  Ctx x{c, a, a.model, d, a.screen.TextScaleX, a.screen.TextScaleY};
  LegendRow(x, k);
}

DiagramControls DrawStripAndUndo(Canvas& c, AppState& a, DiagramState& d) {
  Ctx x{c, a, a.model, d, a.screen.TextScaleX, a.screen.TextScaleY};
  return StripAndUndo(x);
}

DiagramControls DrawSineDia(Canvas& c, AppState& a, DiagramState& d) {
  Ctx x = Make(c, a, d);
  ModelState& m = a.model;
  SavedSetting saved(m.mech);
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
  auto angle = [](int j) {
    LD ang = 8 * j + 272;
    while (ang > 360) ang -= 360;
    return static_cast<float>(ang);
  };
  ValveCurves(x, 7, 73, angle, [&](int w, int j) {
    if (j > 7) {
      if (j == 8) {
        x.FontColour(clBlack, true);
        x.Text(45, yAt(prevDisp), Str(w, 2, 0));
        x.FontColour(clBlack, false);
      }
      c.SetPenColor(clBlack);
      x.Line(8 * j - 6, yAt(prevDisp), 8 * j + 2, yAt(m.valve.ValveDisp));
    }
    prevDisp = m.valve.ValveDisp;
  });
  return StripAndUndo(x);
}

}  // namespace brevold

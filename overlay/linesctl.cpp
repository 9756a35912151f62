// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lines-and-circles dialog's rules, apart from its widgets.
#include "overlay/linesctl.h"

#include <cmath>

#include "model/numfmt.h"
#include "model/state.h"

namespace brevold {

const char* const LineColorNames[6] = {"Black", "Red", "Green", "Yellow", "Blue", "Gray"};
const float LineColorNumbers[6] = {0, 255, 32768, 65535, 16711680, 8421504};

namespace {

bool AllChosen(const LinesDialogState& d) { return d.Type >= 0 && d.Color >= 0 && d.Ref >= 0; }

std::string Fmt(float v) { return Str(v, 7, 3).substr(0, 10); }

// The joint nearest to joint `ref` (19 or 20), as the pick chooses it.
void PickPivot(ModelState& m, int ref, float& pivNo, float& vert, float& horz) {
  const auto& X = m.mech.PtX;
  const auto& Y = m.mech.PtY;
  long double best = 10000;
  for (int j = 1; j <= 26; ++j) {
    if (j == 19 || j == 20) continue;
    const long double d = std::fabs(static_cast<long double>(Y[static_cast<size_t>(ref)]) - Y[static_cast<size_t>(j)]) +
                          std::fabs(static_cast<long double>(X[static_cast<size_t>(ref)]) - X[static_cast<size_t>(j)]);
    if (d < best) {
      best = d;
      pivNo = static_cast<float>(j);
    }
  }
  int p = RoundEven(pivNo);
  if (p < 0 || p >= JointCount) p = 0;
  vert = Y[static_cast<size_t>(p)];
  horz = X[static_cast<size_t>(p)];
}

}  // namespace

void ResetLineChoices(LinesDialogState& d) {
  d.Type = d.Color = d.Ref = -1;
  d.DrawButEnabled = false;
}

LinesStep LinesFormActivate(ModelState& m, LinesDialogState& d) {
  OverlayTable& t = m.overlay;
  if (d.Ref < 0) {
    t.Line1Horz[0] = m.mech.PtX[19];
    t.Line1Vert[0] = m.mech.PtY[19];
  }
  if (d.Ref >= 1 && d.Ref <= 3) {
    // Back from a pivot pick: the row the pick was for.
    t.LineNo = std::min(OverlayRows, t.LineNo + 1);
    const size_t n = static_cast<size_t>(t.LineNo);
    PickPivot(m, 19, t.Piv1No[n], t.Piv1Vert[n], t.Piv1Horz[n]);
    if (d.Ref == 3) PickPivot(m, 20, t.Piv2No[n], t.Piv2Vert[n], t.Piv2Horz[n]);
  }
  return {};
}

LinesStep TypeChosen(ModelState& m, LinesDialogState& d, int choice) {
  const auto& X = m.mech.PtX;
  const auto& Y = m.mech.PtY;
  d.Type = choice;
  if (X[19] == 0 && Y[19] == 0 && X[20] == 0 && Y[20] == 0) {
    d.Type = -1;
    return {true, true};  // no reference points set yet
  }
  d.TypeText[static_cast<size_t>(m.overlay.LineNo)] = choice == 0 ? "Line" : "Circle";
  if (AllChosen(d)) d.DrawButEnabled = true;
  return {};
}

LinesStep ColorChosen(ModelState& m, LinesDialogState& d, int choice) {
  if (d.Type < 0) {
    d.Color = -1;
    return {true, false};
  }
  d.Color = choice;
  d.ColorText[static_cast<size_t>(m.overlay.LineNo)] = LineColorNames[choice];
  if (AllChosen(d)) d.DrawButEnabled = true;
  return {};
}

LinesStep RefChosen(ModelState& m, LinesDialogState& d, int choice) {
  if (d.Type < 0 || d.Color < 0) {
    d.Ref = -1;
    return {true, false};
  }
  d.Ref = choice;
  OverlayTable& t = m.overlay;
  const size_t n = static_cast<size_t>(t.LineNo);
  t.Line1Vert[n] = m.mech.PtY[19];
  t.Line1Horz[n] = m.mech.PtX[19];
  t.Line2Vert[n] = m.mech.PtY[20];
  t.Line2Horz[n] = m.mech.PtX[20];
  const bool line = d.Type == 0;
  switch (choice) {
    case 0: d.RefText[n] = "0 , 0"; t.LineRef[n] = 0; break;
    case 1: d.PivotPickMode = true; d.RefText[n] = "Pivot1"; t.LineRef[n] = 1; break;
    case 2:
      if (line) {
        d.PivotPickMode = true;
        d.RefText[n] = "Piv1/0,0";
        t.LineRef[n] = 2;
      }
      break;
    case 3: d.PivotPickMode = true; d.RefText[n] = "Piv1/P2"; t.LineRef[n] = 3; break;
    default: break;
  }
  if (AllChosen(d)) d.DrawButEnabled = true;
  LinesStep step;
  if ((choice == 2 || choice == 3) && !line) {
    ClearLine(m, d);  // circles take only "0,0" and "Pivot1"
    step.beep = true;
    return step;
  }
  if (choice == 1 || ((choice == 2 || choice == 3) && line)) {
    step.close = true;
    t.LineNo -= 1;  // the pick's return adds it back
  }
  return step;
}

LinesStep DrawClose(ModelState& m, LinesDialogState& d) {
  OverlayTable& t = m.overlay;
  const size_t n = static_cast<size_t>(t.LineNo);
  LinesStep step{false, true};
  if (d.Color >= 0) t.LineColor[n] = LineColorNumbers[d.Color];
  t.LineType[n] = static_cast<float>(d.Type);
  if (AllChosen(d)) {
    d.Fields[n] = StoreLineRow(t, t.LineNo, d.Type, d.Ref, false);
    d.DrawButEnabled = true;
  }
  t.LineNo += 1;
  if (t.LineNo > OverlayRows) {
    t.LineNo = OverlayRows;
    step.beep = true;
  }
  d.DrawButEnabled = false;
  d.PivotPickMode = false;
  d.Type = d.Color = d.Ref = -1;
  return step;
}

void ClearLine(ModelState& m, LinesDialogState& d) {
  OverlayTable& t = m.overlay;
  const size_t n = static_cast<size_t>(t.LineNo);
  d.Fields[n] = StoreLineRow(t, t.LineNo, d.Type, d.Ref, true);
  d.TypeText[n].clear();
  d.ColorText[n].clear();
  d.RefText[n].clear();
  t.LineType[n] = t.LineColor[n] = t.LineRef[n] = -1;
  ResetLineChoices(d);
  d.PivotPickMode = false;
}

void CloseLines(LinesDialogState& d) {
  // Nothing chosen survives the close: "Draw Close" would otherwise draw a
  // stale row next time, and a pick still armed would reopen the dialog.
  ResetLineChoices(d);
  d.PivotPickMode = false;
}

void RowNumberClicked(ModelState& m, LinesDialogState& d, int row) {
  if (row < 1 || row > OverlayRows) return;
  m.overlay.LineNo = row;
  ResetLineChoices(d);
}

void StoreLineField(ModelState& m, LinesDialogState& d, int n, int k, const std::string& text) {
  if (n < 1 || n > OverlayRows || k < 0 || k > 3) return;
  OverlayTable& t = m.overlay;
  std::array<float, OverlayRows + 1>* arrays[4] = {&t.Line1Vert, &t.Line1Horz, &t.Line2Vert, &t.Line2Horz};
  float v = 0;
  float& cell = (*arrays[k])[static_cast<size_t>(n)];
  if (!ReadNumber(text, v)) v = cell;  // as the editors: text that is no number keeps the value
  cell = v;
  d.Fields[static_cast<size_t>(n)][static_cast<size_t>(k)] = text;
}

void LinesDataClick(const ModelState& m, LinesDialogState& d) {
  const OverlayTable& t = m.overlay;
  for (size_t i = 1; i <= OverlayRows; ++i) {
    if (t.LineType[i] > -1) d.Fields[i] = {Fmt(t.Line1Vert[i]), Fmt(t.Line1Horz[i]), Fmt(t.Line2Vert[i]), Fmt(t.Line2Horz[i])};
    else d.Fields[i] = {};
    const int type = RoundEven(t.LineType[i]);
    if (type == 0 || type == 1) d.TypeText[i] = type == 0 ? "Line" : "Circle";
    const int col = RoundEven(t.LineColor[i]);
    for (int c = 0; c < 6; ++c)
      if (col == static_cast<int>(LineColorNumbers[c])) d.ColorText[i] = LineColorNames[c];
    const int ref = RoundEven(t.LineRef[i]);
    const char* refs[4] = {"0 , 0", "Pivot1", "Piv1/0,0", "Piv1/P2"};
    if (ref >= 0 && ref <= 3) d.RefText[i] = refs[ref];
  }
}

void EmptyLineTexts(LinesDialogState& d) {
  for (size_t i = 1; i <= OverlayRows; ++i) {
    d.TypeText[i].clear();
    d.ColorText[i].clear();
    d.RefText[i].clear();
  }
}

bool LineFieldKeyAllowed(const LinesDialogState& d, int n, int k, char key, const std::string& text) {
  if (n >= 1 && n <= OverlayRows && k == 2 && d.TypeText[static_cast<size_t>(n)] == "Circle") return false;
  if (key == '\b' || (key >= '0' && key <= '9')) return true;
  if (key == '-' || key == '.') return text.find(key) == std::string::npos;
  return false;
}

bool PickReopensOnLeft(const LinesDialogState& d) { return d.Type >= 0 && d.Color >= 0 && d.Ref >= 0 && d.Ref <= 2; }

bool PickReopensOnRight(const LinesDialogState& d, bool leftFirst) {
  return d.Type >= 0 && d.Color >= 0 && d.Ref == 3 && leftFirst;
}

}  // namespace brevold

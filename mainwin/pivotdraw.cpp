// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pivot data: the joint nearest a pick, the row a click arms, and the rows painted.
#include "mainwin/pivotdraw.h"

#include <cmath>

#include "mainwin/mechdraw.h"
#include "model/numfmt.h"

namespace brevold {

int FindNearestJoint(AppState& a) {
  const auto& X = a.model.mech.PtX;
  const auto& Y = a.model.mech.PtY;
  LD best = 10000;
  for (int j = 1; j <= 25; ++j) {
    if (j == 19 || j == 20) continue;
    const LD d = std::fabs(static_cast<LD>(Y[19]) - Y[static_cast<size_t>(j)]) +
                 std::fabs(static_cast<LD>(X[19]) - X[static_cast<size_t>(j)]);
    if (d < best) {
      best = d;
      a.screen.LastNearestJoint = j;
    }
  }
  return a.screen.LastNearestJoint;
}

int PivotRowAt(const ScreenState& s, int x, int y) {
  if (!(x > 0 && x < RoundEven(20.0L * s.TextScaleX))) return 0;
  for (int r = 1; r <= 6; ++r)
    if (RoundEven((142.0L + 10 * r) * s.TextScaleY) < y && y < RoundEven((151.0L + 10 * r) * s.TextScaleY)) return r;
  return 0;
}

void DrawPivotData(Canvas& c, const AppState& a) {
  const ScreenState& s = a.screen;
  const ViewState& v = s.PointsView;
  const auto& X = a.model.mech.PtX;
  const auto& Y = a.model.mech.PtY;
  Font font = c.CurrentFont();
  auto colour = [&](Color col) {
    font.color = col;
    c.SetFont(font);
  };
  auto text = [&](int x, int y, const std::string& t) {
    const Pt p = TextPos(s, x, y);
    c.TextOut(p.x, p.y, t);
  };
  auto joint = [&](int r) {
    const int j = RoundEven(s.PivotSel[static_cast<size_t>(r)]);
    return j < 0 || j >= JointCount ? 0 : j;
  };
  colour(clBlack);
  text(1, 128, "    Pivot Data");
  text(1, 138, "No.  Vert     Horz");
  for (int r = 1; r <= 6; ++r) {
    const int y = 140 + 10 * r;
    const std::string label = std::to_string(r);
    colour(clRed);
    text(3, y, label);
    if (s.PivotRowSet[static_cast<size_t>(r)] == 1) {
      const size_t j = static_cast<size_t>(joint(r));
      colour(clBlack);
      text(12, y, Str(Y[j], 7, 3));
      text(50, y, Str(X[j], 7, 3));
      colour(clRed);
      c.TextOut(PixelRound(X[j] * static_cast<LD>(v.Scale) + v.OriginX + 4),
                PixelRound(-Y[j] * static_cast<LD>(v.Scale) + v.OriginY - 12), label);
    }
    if (r % 2 == 1 && s.PivotRowSet[static_cast<size_t>(r)] == 1 && s.PivotRowSet[static_cast<size_t>(r + 1)] == 1) {
      const size_t j1 = static_cast<size_t>(joint(r)), j2 = static_cast<size_t>(joint(r + 1));
      const LD dy = static_cast<LD>(Y[j1]) - Y[j2], dx = static_cast<LD>(X[j1]) - X[j2];
      colour(clBlack);
      text(90, 155 + 10 * (r - 1), Str(std::sqrt(dy * dy + dx * dx), 7, 3));
    }
  }
  colour(clBlack);
}

}  // namespace brevold

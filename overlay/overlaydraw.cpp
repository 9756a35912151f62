// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lines and circles drawn over the picture.
#include "overlay/overlaydraw.h"

#include "model/numfmt.h"

namespace brevold {

Color OverlayColor(float stored) {
  const int v = RoundEven(stored);
  return v < 0 || v > 0xFFFFFF ? clBlack : static_cast<Color>(v);
}

void DrawOverlay(Canvas& c, const ModelState& m, const ViewState& v) {
  const OverlayTable& t = m.overlay;
  const auto& X = m.mech.PtX;
  const auto& Y = m.mech.PtY;
  // A pivot outside the joints (a damaged file) is not drawn.
  auto joint = [](int j) { return j >= 1 && j <= 26; };
  for (size_t i = 1; i <= OverlayRows; ++i) {
    c.SetPenColor(OverlayColor(t.LineColor[i]));
    const int p = RoundEven(t.Piv1No[i]), q = RoundEven(t.Piv2No[i]);
    const float type = t.LineType[i], kind = t.LineRef[i];
    const LD px = joint(p) ? X[static_cast<size_t>(p)] : 0, py = joint(p) ? Y[static_cast<size_t>(p)] : 0;
    const LD qx = joint(q) ? X[static_cast<size_t>(q)] : 0, qy = joint(q) ? Y[static_cast<size_t>(q)] : 0;
    auto line = [&](LD x1, LD y1, LD x2, LD y2) {
      c.MoveTo(ScreenX(v, x1), ScreenY(v, y1));
      c.LineTo(ScreenX(v, x2), ScreenY(v, y2));
    };
    auto circle = [&](LD cx, LD cy) {
      const LD r = t.Line2Horz[i];
      c.Ellipse(PixelRound((cx - r) * v.Scale + v.OriginX), PixelRound(-(cy - r) * v.Scale + v.OriginY + 1),
                PixelRound((cx + r) * v.Scale + v.OriginX + 1), PixelRound(-(cy + r) * v.Scale + v.OriginY));
    };
    if (type == 0) {
      if (kind == 0) line(t.Line1Horz[i], t.Line1Vert[i], t.Line2Horz[i], t.Line2Vert[i]);
      else if (kind == 1 && joint(p)) line(px + t.Line1Horz[i], py + t.Line1Vert[i], px + t.Line2Horz[i], py + t.Line2Vert[i]);
      else if (kind == 2 && joint(p)) line(px + t.Line1Horz[i], py + t.Line1Vert[i], t.Line2Horz[i], t.Line2Vert[i]);
      else if (kind == 3 && joint(p) && joint(q))
        line(px + t.Line1Horz[i], py + t.Line1Vert[i], qx + t.Line2Horz[i], qy + t.Line2Vert[i]);
    } else if (type == 1) {
      if (kind == 0) circle(t.Line1Horz[i], t.Line1Vert[i]);
      else if (kind == 1 && joint(p)) circle(px + t.Line1Horz[i], py + t.Line1Vert[i]);
    }
  }
}

}  // namespace brevold

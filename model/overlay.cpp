// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lines-and-circles table and the storing of a row from the reference points.
#include "model/overlay.h"

#include <cmath>

#include "model/numfmt.h"

namespace brevold {

void SetOverlayDefaults(OverlayTable& t) {
  t = OverlayTable{};
  for (size_t i = 1; i <= OverlayRows; ++i) t.LineType[i] = t.LineColor[i] = t.LineRef[i] = -1;
  t.LineNo = 1;
}

namespace {

std::string Fmt(long double v) { return Str(v, 7, 3).substr(0, 10); }

// Stores v as its three-decimal text reads back, and gives that text.
std::string Re(float& cell, long double v) {
  const std::string text = Fmt(v);
  float back = 0;
  ReadNumber(text, back);
  cell = back;
  return text;
}

}  // namespace

std::array<std::string, 4> StoreLineRow(OverlayTable& t, int n, int type, int kind, bool clear) {
  std::array<std::string, 4> txt;
  if (n < 1 || n > OverlayRows) return txt;
  const size_t i = static_cast<size_t>(n);
  auto end1FromPivot1 = [&] {
    txt[0] = Re(t.Line1Vert[i], static_cast<long double>(t.Line1Vert[i]) - t.Piv1Vert[i]);
    txt[1] = Re(t.Line1Horz[i], static_cast<long double>(t.Line1Horz[i]) - t.Piv1Horz[i]);
  };
  auto radiusFrom = [&](long double cx, long double cy) {
    const long double r = std::sqrt(std::pow(t.Line2Horz[i] - cx, 2) + std::pow(t.Line2Vert[i] - cy, 2));
    txt[2].clear();
    txt[3] = Re(t.Line2Horz[i], r);
  };
  if (type == 0 && kind == 0) {
    txt = {Fmt(t.Line1Vert[i]), Fmt(t.Line1Horz[i]), Fmt(t.Line2Vert[i]), Fmt(t.Line2Horz[i])};
  } else if (type == 0 && kind == 1) {
    end1FromPivot1();
    txt[2] = Re(t.Line2Vert[i], static_cast<long double>(t.Line2Vert[i]) - t.Piv1Vert[i]);
    txt[3] = Re(t.Line2Horz[i], static_cast<long double>(t.Line2Horz[i]) - t.Piv1Horz[i]);
  } else if (type == 0 && kind == 2) {
    end1FromPivot1();
    txt[2] = Fmt(t.Line2Vert[i]);
    txt[3] = Fmt(t.Line2Horz[i]);
  } else if (type == 0 && kind == 3) {
    end1FromPivot1();
    txt[2] = Re(t.Line2Vert[i], static_cast<long double>(t.Line2Vert[i]) - t.Piv2Vert[i]);
    txt[3] = Re(t.Line2Horz[i], static_cast<long double>(t.Line2Horz[i]) - t.Piv2Horz[i]);
  } else if (type == 1 && kind == 0) {
    txt[0] = Fmt(t.Line1Vert[i]);
    txt[1] = Fmt(t.Line1Horz[i]);
    radiusFrom(t.Line1Horz[i], t.Line1Vert[i]);
  } else if (type == 1 && kind == 1) {
    end1FromPivot1();
    radiusFrom(t.Line1Horz[0], t.Line1Vert[0]);
  }
  if (clear) {
    txt = {};
    t.Line1Vert[i] = t.Line1Horz[i] = t.Line2Vert[i] = t.Line2Horz[i] = 0;
    t.Piv1Vert[i] = t.Piv1Horz[i] = t.Piv2Vert[i] = t.Piv2Horz[i] = 0;
  }
  return txt;
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The view transform and the rules of the pan, zoom and re-centring bars.
#include "model/view.h"

#include <cstdlib>

#include "model/numfmt.h"

namespace brevold {


void SetViewDefaults(ViewState& v) {
  v = ViewState{};
  v.ViewPreset = {{{0, 0, 0},
                   {62, 315, 237},
                   {62, -289, 395},
                   {62, -872, 335},
                   {59, -1170, 322},
                   {427, -9764, 1282},
                   {427, -11360, 1282}}};
}

int ScreenX(const ViewState& v, LD x) { return PixelRound(x * v.Scale + v.OriginX); }
int ScreenY(const ViewState& v, LD y) { return PixelRound(-y * v.Scale + v.OriginY); }
float WorldX(const ViewState& v, LD mx) { return static_cast<float>((mx - v.OriginX) / v.Scale); }
float WorldY(const ViewState& v, LD my) { return static_cast<float>(-(my - v.OriginY) / v.Scale); }

float RecentreIncrement(RecentreCells& c, int p, float u, int pageStep) {
  LD inc = 0;
  if (p > 0 && p > c.Prev) inc = p / static_cast<LD>(u);
  if (p < 0 && p > c.Prev) inc = -p / static_cast<LD>(u);
  if (p < 0 && p < c.Prev) inc = p / static_cast<LD>(u);
  if (p > 0 && p < c.Prev) inc = -p / static_cast<LD>(u);
  const int jump = std::abs(p - c.Last);
  if (jump == 1 || jump == pageStep) inc = p / static_cast<LD>(u);
  c.Prev = c.Last;
  c.Last = p;
  return static_cast<float>(inc);
}

namespace {
void TakeZoomBase(ViewState& v) {
  v.ZoomBaseScale = v.Scale;
  v.ZoomBaseOriginX = v.OriginX;
  v.ZoomBaseOriginY = v.OriginY;
}
}  // namespace

void PanVertical(ViewState& v, float inc) {
  v.OriginY = static_cast<float>(static_cast<LD>(v.OriginY) - inc);
  TakeZoomBase(v);
}

void PanHorizontal(ViewState& v, float inc) {
  v.OriginX = static_cast<float>(static_cast<LD>(v.OriginX) + inc);
  TakeZoomBase(v);
}

void Zoom(ViewState& v, float inc) {
  TakeZoomBase(v);
  v.Scale = static_cast<float>(v.Scale + static_cast<LD>(v.Scale) * inc * 0.01L);
  if (v.Scale > MaxViewScale) v.Scale = MaxViewScale;
  if (v.Scale < MinViewScale) v.Scale = MinViewScale;
  v.OriginX = static_cast<float>((static_cast<LD>(v.ZoomBaseOriginX) - 320) * v.Scale / v.ZoomBaseScale + 320);
  v.OriginY = static_cast<float>((static_cast<LD>(v.ZoomBaseOriginY) - 240) * v.Scale / v.ZoomBaseScale + 240);
}

void NormalView(ViewState& v) {
  v.OriginY = v.NormOriginY;
  v.OriginX = v.NormOriginX;
  v.Scale = v.NormScale;
  v.ZoomBaseScale = v.NormScale;
  v.ZoomBaseOriginX = v.NormOriginX;
  v.ZoomBaseOriginY = v.NormOriginY;
}

void CentreOn(ViewState& v, float x, float y) {
  v.OriginX = static_cast<float>(320 - static_cast<LD>(x) * v.Scale);
  v.OriginY = static_cast<float>(240 + static_cast<LD>(y) * v.Scale);
}

}  // namespace brevold

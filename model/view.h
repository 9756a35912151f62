// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The view transform of the main window (a scale and a screen origin) with
// the normal, saved and zoom-base views, the seven view presets and the
// increment rule of the re-centring scroll bars.
#pragma once
#include <array>

namespace brevold {

// The scale the view's controls keep to, in pixels per unit, and the range of
// the dimension highlight's zoom factor.
constexpr float MinViewScale = 0.5f, MaxViewScale = 3000;
constexpr float MinGraphZoomFactor = 0.5f, MaxGraphZoomFactor = 2000;

struct ViewPresetSlot {
  float Scale = 0, OriginX = 0, OriginY = 0;
};

struct ViewState {
  float Scale = 18.9f, OriginX = 81, OriginY = 280;
  float NormScale = 18.9f, NormOriginX = 81, NormOriginY = 280;
  float SavedScale = 18.9f, SavedOriginX = 81, SavedOriginY = 280;
  float ZoomBaseScale = 18.9f, ZoomBaseOriginX = 81, ZoomBaseOriginY = 280;
  std::array<ViewPresetSlot, 7> ViewPreset{};
  float GraphZoomFactor = 7.5f;
  bool RefPointsOn = false;
};

void SetViewDefaults(ViewState& v);

// World to screen, each coordinate rounded to a pixel (ties to even, clamped).
int ScreenX(const ViewState& v, long double x);
int ScreenY(const ViewState& v, long double y);
// Screen to world, for a mouse point.
float WorldX(const ViewState& v, long double mx);
float WorldY(const ViewState& v, long double my);

// Last and Prev positions of one re-centring bar.
struct RecentreCells {
  int Last = 0, Prev = 0;
};

// The increment a re-centring bar's change at position p applies, with
// divisor u and page step L; shifts Prev and Last. The caller then puts the
// bar back to 0.
float RecentreIncrement(RecentreCells& cells, int p, float u, int pageStep);

void PanVertical(ViewState& v, float inc);    // OriginY -= inc
void PanHorizontal(ViewState& v, float inc);  // OriginX += inc
// Zoom by (1 + inc/100) keeping the screen point (320, 240) in place; the
// scale is held to 0.5..3000 first, so that a click at a limit leaves the
// picture where it is.
void Zoom(ViewState& v, float inc);
// The normal view, which also becomes the zoom base.
void NormalView(ViewState& v);
// The view that puts world point (x, y) at the screen point (320, 240).
void CentreOn(ViewState& v, float x, float y);

}  // namespace brevold

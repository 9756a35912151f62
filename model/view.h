// The view transform of the main window (a scale and a screen origin) with
// the normal, saved and zoom-base views and the seven view presets.
#pragma once
#include <array>

namespace brevold {

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

}  // namespace brevold

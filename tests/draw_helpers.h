// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up for the drawing tests: a fresh program state and one
// animation tick, advanced and then painted on a recording canvas.
#pragma once
#include "mainwin/mechdraw.h"

namespace brevold {

inline AppState Fresh() {
  AppState a;
  StartUp(a.model);
  return a;
}

constexpr const char* kTickDateTime = "12/8/26   3:04:05 PM";

// One tick as the window runs it; `effects` gets what the window would do.
inline RecordingCanvas Tick(AppState& a, FrameEffects& effects, const char* dateTime = kTickDateTime) {
  effects = AdvanceFrame(a, dateTime);
  RecordingCanvas c;
  PaintFrame(c, a);
  return c;
}

inline RecordingCanvas Tick(AppState& a) {
  FrameEffects effects;
  return Tick(a, effects);
}

}  // namespace brevold

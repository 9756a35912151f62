// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The steam display: coloured dots for live steam, expansion, exhaust and
// compression in the cylinder, passages and chest, and an exhaust beat each
// time a cylinder end starts to exhaust.
#pragma once
#include "state/appstate.h"
#include "platform/canvas.h"

namespace brevold {

struct FrameEffects;

// A frame's steam: each end's phase, density and dots, the zero-height beep
// and the exhaust beats; counts the frame for its dots.
void AdvanceSteam(AppState& a, FrameEffects& fx);
// The dots and the legend of the frame AdvanceSteam left.
void PaintSteam(Canvas& c, const AppState& a);

// The wave volume of an exhaust beat recorded at steam density v, or -1 to
// leave the volume as it is.
int ExhaustVolumeFor(int v);

}  // namespace brevold

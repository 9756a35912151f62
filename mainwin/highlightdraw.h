// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dimension highlight: zooms the main window's view to one dimension,
// draws a blinking mark along it with its name for 1000 frames, then restores
// the view and asks for the editor that requested it to be shown again.
#pragma once
#include "state/appstate.h"
#include "platform/canvas.h"

namespace brevold {

struct FrameEffects;

// The name drawn for a highlighted dimension (1..30, 101..117), or nullptr.
const char* HighlightName(int dim);
// A frame of the highlight while HiliteDim > 0, as the tick's last step: its
// counters, the view framed on the dimension (given back at the end) and the
// editors to close and reopen.
void AdvanceHighlight(AppState& a, FrameEffects& fx);
// The hourglass, the mark and the name of the frame AdvanceHighlight left,
// as the picture's last drawing step.
void PaintHighlight(Canvas& c, const AppState& a);

}  // namespace brevold

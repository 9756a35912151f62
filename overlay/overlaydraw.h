// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// DrawOverlay: the twenty lines and circles over the mechanism picture.
#pragma once
#include "model/state.h"
#include "platform/canvas.h"

namespace brevold {

// Draws every item with the pen width and clear brush in force, in the view
// given (the model's own by default); leaves the pen in the colour of item
// 20 (black for an empty item).
void DrawOverlay(Canvas& c, const ModelState& m, const ViewState& v);
inline void DrawOverlay(Canvas& c, const ModelState& m) { DrawOverlay(c, m, m.view); }

// An item's stored colour as a pen colour: black for an empty item or a
// number that is no colour.
Color OverlayColor(float stored);

}  // namespace brevold

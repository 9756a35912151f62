// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Pivot data: up to six joints chosen by mouse, listed with their current
// coordinates and the distances of the pairs 1-2, 3-4 and 5-6.
#pragma once
#include "state/appstate.h"
#include "platform/canvas.h"

namespace brevold {

// The joint (1..25, not the reference points) nearest to reference point 1
// by the sum of the coordinate differences; the lowest number on a tie; the
// previous answer when none lies within 10000.
int FindNearestJoint(AppState& a);

// Row r (1..6) whose label the point (x, y) hits, or 0.
int PivotRowAt(const ScreenState& s, int x, int y);

void DrawPivotData(Canvas& c, const AppState& a);

}  // namespace brevold

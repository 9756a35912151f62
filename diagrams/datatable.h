// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pivot data table: the six chosen joints' coordinates over one turn of
// the driver at the current reverse-arm setting, as text for the clipboard.
#pragma once
#include <string>
#include <vector>

#include "state/appstate.h"

namespace brevold {

// The table's lines: four heading lines, then a row every StepAng degrees
// from 0 to 360. DrvAngle and DrvAngInc are left as they were.
std::vector<std::string> BuildDataTable(AppState& a, const std::string& dateTime);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pivot data table's text: chosen joints over a revolution, one line per step.
#include "diagrams/datatable.h"

#include "model/numfmt.h"

namespace brevold {

std::vector<std::string> BuildDataTable(AppState& a, const std::string& dateTime) {
  ModelState& m = a.model;
  std::vector<std::string> lines;
  lines.push_back("Pivot Data   " + m.dims.DimFileName + "     " + dateTime);
  lines.push_back("       Reverse Arm " + Str(m.mech.RevArmX, 7, 3) + "      Step Angle " + Str(m.StepAng, 7, 3));
  lines.push_back(
      "  Driver         No.1                   No.2                   No.3                  No.4                   "
      "No.5                  No.6");
  lines.push_back(
      "  Angle     Vert   Horz         Vert   Horz          Vert   Horz         Vert   Horz          Vert   Horz    "
      "     Vert   Horz");
  const float savedAngle = m.mech.DrvAngle, savedInc = m.DrvAngInc;
  m.mech.DrvAngle = 0;
  m.DrvAngInc = 0;
  // The step is kept to 0.01..45 by its controls; a step that is no step
  // would never reach 360.
  const float step = m.StepAng >= 0.01f && m.StepAng <= 360 ? m.StepAng : 10.0f;
  do {
    std::string row = Str(m.mech.DrvAngle, 7, 2);
    Solve(m);
    for (size_t k = 1; k <= 6; ++k) {
      int n = RoundEven(a.screen.PivotSel[k]);
      if (n < 0 || n >= JointCount) n = 0;
      row += "   " + Str(m.mech.PtY[static_cast<size_t>(n)], k == 1 ? 7 : 9, 3) + "  " +
             Str(m.mech.PtX[static_cast<size_t>(n)], 7, 3);
    }
    lines.push_back(row);
    m.mech.DrvAngle = static_cast<float>(static_cast<long double>(m.mech.DrvAngle) + step);
  } while (!(m.mech.DrvAngle > 360));
  m.mech.DrvAngle = savedAngle;
  m.DrvAngInc = savedInc;
  return lines;
}

}  // namespace brevold

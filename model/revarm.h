// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Mid gear and the reverse-arm positions: the centre calculation, the two
// travel limits, and the list of up to nine positions the diagrams draw.
#pragma once
#include <array>
#include <cstdint>

namespace brevold {

struct ModelState;

struct RevArmState {
  std::array<float, 10> Positions{};  // 0 = calculated centre, 1..9 user positions
  int RevArmCount = 0;
  float VertScale = 1.5f;
  std::uint8_t RedrawPending = 0;
  // Range of the main window's reverse-arm bar, +-round(1000 * RevArmMax).
  int BarMin = 0, BarMax = 0;
};

// The centre ("CalcCentRevArm"): finds the reverse-arm setting that holds the
// radius rod in its mid-gear line, puts RevArmX there and writes positions
// 0..3 in the sense of the last solve. Keeps everything as it was when the
// lift point lies straight above or below the reverse-arm pivot.
void CalcCentre(ModelState& s);
// A gear as the analyses start it: the driver at 0, solved afresh and its
// centre found (RevArmX at mid gear).
void SolveAtMidGear(ModelState& s);

// Length of the unbroken run of non-zero positions from position 1.
int RunOfPositions(const RevArmState& r);

void SetRevArmBarRange(ModelState& s);   // from RevArmMax
// RevArmX for the reverse-arm bar at `position` thousandths from mid gear,
// forward being the bar's positive side in either gear sense.
float RevArmFromBar(const ModelState& s, int position);
void SetNormalTravel(ModelState& s, float v);
void SetMaximumTravel(ModelState& s, float v);

}  // namespace brevold

namespace brevold {

// The positions list as the positions dialog shows it: every position after
// the first empty one is emptied, and RevArmCount becomes the run's length
// (left as it was when position 1 is empty).
void TidyPositions(RevArmState& r);
// Position k (1..9) as typed: a non-zero value is held within mid gear +-
// RevArmMax; position 1 is never empty (0 becomes 0.001).
void StorePosition(ModelState& s, int k, float value);
// The diagrams' "Vertical Scale" is kept to 0.1..100: no gear needs more,
// and a larger one would crowd the travel scale with millions of ticks.
constexpr float MinVertScale = 0.1f, MaxVertScale = 100;
// "Vertical Scale" as typed or loaded, held to that range (NaN gives 0.1).
void StoreVertScale(ModelState& s, float value);

}  // namespace brevold

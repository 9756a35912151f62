// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The lines-and-circles overlay: up to twenty construction lines and
// circles over the mechanism, fixed to the drawing or attached to one or two
// joints so that they move with the gear.
#pragma once
#include <array>
#include <string>

namespace brevold {

constexpr int OverlayRows = 20;

struct OverlayTable {
  // Element 0 of Line1Vert/Line1Horz holds a copy of reference point 1;
  // items are rows 1..20 of every array.
  std::array<float, OverlayRows + 1> LineType{}, LineColor{}, LineRef{};
  std::array<float, OverlayRows + 1> Line1Vert{}, Line1Horz{}, Line2Vert{}, Line2Horz{};
  std::array<float, OverlayRows + 1> Piv1No{}, Piv2No{};
  std::array<float, OverlayRows + 1> Piv1Vert{}, Piv1Horz{}, Piv2Vert{}, Piv2Horz{};
  int LineNo = 1;
};

// All rows empty (type, colour and kind -1), every position 0, row 1 current.
void SetOverlayDefaults(OverlayTable& t);

// Converts row n for the dialog's Type and "Referenced to" choices (picked
// world points become offsets from the joints as they stood) and returns the
// row's four texts; `clear` empties the row.
std::array<std::string, 4> StoreLineRow(OverlayTable& t, int n, int type, int kind, bool clear);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the lines-and-circles dialog keeps between showings: the three
// choices, the pick, and the texts and values of its twenty rows.
#pragma once
#include <array>
#include <string>

namespace brevold {

struct LinesDialogState {
  int Type = -1, Color = -1, Ref = -1;  // -1: nothing chosen
  bool PivotPickMode = false;           // the main window prompts for a pivot
  bool DrawButEnabled = false;
  std::array<std::string, 21> TypeText, ColorText, RefText;  // rows 1..20
  std::array<std::array<std::string, 4>, 21> Fields;         // the four values of each row
};

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the four diagram windows share between redraws: the undo line last
// built, and the port window's graphs.
#pragma once
#include <string>

namespace brevold {

enum class PortGraphs { Forward, Reverse, Both };

struct DiagramState {
  std::string UndoText;
  PortGraphs PortGraphMode = PortGraphs::Forward;
  bool PortEventLabels = true;
};

}  // namespace brevold

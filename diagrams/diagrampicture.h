// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A valve diagram's whole picture as its window shows it after a redraw, for
// pictures written to files: the port diagram in both-graphs mode is the
// forward graph with the reverse graph drawn over it, without event labels.
#pragma once
#include <string>

#include "diagrams/diagramdraw.h"

namespace brevold {

enum class DiagramPicture { Port, Steam, Oval, Sine };

constexpr int DiagramPictureWidth = 632;
// 414 logical pixels high, the oval 426.
int DiagramPictureHeight(DiagramPicture kind);
// "port", "steam", "oval" or "sine"; false for anything else.
bool DiagramPictureNamed(const std::string& name, DiagramPicture& kind);

// Draws on a white picture of the diagram's size; returns what the last
// drawing tells its window (in both-graphs mode, the reverse graph's).
DiagramControls DrawDiagramPicture(Canvas& c, AppState& a, DiagramPicture kind);

}  // namespace brevold

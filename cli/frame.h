// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// brevold-cli frame: the main window's picture for one driver angle, drawn
// by the window's own PaintFrame (1280 x 1024); diagram: a valve diagram as
// its window draws it. Both write PNG, SVG or PDF.
#pragma once
#include "cli/cli.h"
#include "diagrams/diagrampicture.h"

namespace brevold {

int FrameCommandMain(const Options& o, std::ostream& out, std::ostream& err);
// The program state a diagram is drawn from: start-up, the file and the
// changes, the tick the running window has made before any diagram opens,
// then the positions, vertical scale and mode asked for. Returns the kind.
DiagramPicture PrepareDiagram(AppState& a, const Options& o);
int DiagramCommandMain(const Options& o, std::ostream& out, std::ostream& err);

}  // namespace brevold

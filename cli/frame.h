// brevold-cli frame: the main window's picture for one driver angle, drawn
// by the window's own PaintFrame (1280 x 1024); diagram: a valve diagram as
// its window draws it. Both write PNG, SVG or PDF.
#pragma once
#include "cli/cli.h"

namespace brevold {

int FrameCommandMain(const Options& o, std::ostream& out, std::ostream& err);
int DiagramCommandMain(const Options& o, std::ostream& out, std::ostream& err);

}  // namespace brevold

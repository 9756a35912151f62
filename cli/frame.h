// brevold-cli frame: the main window's picture for one driver angle, drawn
// by the window's own PaintFrame into a 1280 x 1024 PNG.
#pragma once
#include "cli/cli.h"

namespace brevold {

int FrameCommandMain(const Options& o, std::ostream& out, std::ostream& err);

}  // namespace brevold

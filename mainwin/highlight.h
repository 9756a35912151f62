// The dimension highlight: zooms the main window's view to one dimension,
// draws a blinking mark along it with its name for 1000 frames, then restores
// the view and asks for the editor that requested it to be shown again.
#pragma once
#include "mainwin/appstate.h"
#include "platform/canvas.h"

namespace brevold {

// The name drawn for a highlighted dimension (1..30, 101..117), or nullptr.
const char* HighlightName(int dim);
// Called by the frame while HiliteDim > 0, as its last drawing step.
void DrawHighlight(Canvas& c, AppState& a);

}  // namespace brevold

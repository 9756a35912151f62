// The one object that holds all of the program's state; start-up creates it
// once and every window works on it by reference.
#pragma once
#include "model/state.h"
#include "state/controls.h"
#include "state/diagramstate.h"
#include "state/linesstate.h"
#include "state/screen.h"

namespace brevold {

struct AppState {
  ModelState model;
  ScreenState screen;
  LinesDialogState lines;
  MainControls controls;  // the main window's strip and two-state items
  DiagramState diagrams;  // shared by the four diagram windows
};

}  // namespace brevold

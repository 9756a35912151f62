// Shared set-up for the drawing tests: a fresh program state and one
// animation tick drawn on a recording canvas.
#pragma once
#include "mainwin/mechdraw.h"

namespace brevold {

inline AppState Fresh() {
  AppState a;
  StartUp(a.model);
  return a;
}

// One tick as the window runs it.
inline RecordingCanvas Tick(AppState& a) {
  SolveAndTransform(a);
  AdvanceAngle(a);
  RecordingCanvas c;
  DrawMechanism(c, a, "12/8/26   3:04:05 PM");
  return c;
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A gear at rest: the frame's key (what a tick starts from, to the byte) and
// the rule that passes over the ticks that would solve and paint the frame on
// show again. Plain data, no Qt.
#pragma once
#include <string>

#include "mainwin/mechdraw.h"
#include "state/appstate.h"

namespace brevold {

// What a frame is painted on and shown in: the client area's size in logical
// pixels and its device pixel ratio (the frame bitmap follows the ratio).
struct FrameSurface {
  int width = 0, height = 0;
  double ratio = 1;
};

// Everything a tick and its painting start from, but for the captions' date
// and time, as bytes, into `key` (emptied first): the model, the screen
// state, the lines dialog's state, the strip's controls and the diagrams'
// shared state, each whole and then the texts each holds (not the captions
// the last tick gave, which no tick reads); the surface. Two ticks from equal
// keys at one date and time are equal, and at another differ only in their
// captions. A key can differ with nothing changed (a text moved to new
// storage), never the other way round.
void FrameKey(std::string& key, const AppState& a, const FrameSurface& surface);

// What a tick has to do. A tick that leaves everything as it found it (the
// key after it, its effects applied, equal to the key before it) and has
// nothing to sound, beep or open was a fixed point: a tick after it, from the
// same key, would solve and paint the same frame again, and only its captions
// can be new. So it gives the captions of a new date and time and nothing
// more, until the key changes or a redraw is asked for. A running gear never
// comes to rest (each tick turns the driver), nor does a stopped one with
// the steam display on (each tick throws new dots).
class StillFrames {
 public:
  enum class Work { Frame, Captions, None };
  // At the start of a tick: the whole frame, the new captions, or nothing.
  Work Needed(const AppState& a, const std::string& dateTime, const FrameSurface& surface);
  // After the tick was made, painted and its effects applied, with what it
  // started from.
  void Made(const AppState& a, const std::string& dateTime, const FrameSurface& surface, const FrameEffects& fx);
  // The next tick is made whatever the key says.
  void Redraw() { still_ = false; }

 private:
  std::string before_, after_;  // the key at the start of the tick, after the last one made
  std::string time_;            // the date and time the captions show
  bool still_ = false;          // the last tick made was a fixed point
};

}  // namespace brevold

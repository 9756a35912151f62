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

// Everything a tick and its painting start from, as bytes, into `key`
// (emptied first): the model, the screen state, the lines dialog's state,
// the strip's controls and the diagrams' shared state, each whole and then
// the texts each holds; `dateTime`, the captions' date and time; the surface.
// Two equal keys start two equal ticks. A key can differ with nothing
// changed (a text moved to new storage), never the other way round.
void FrameKey(std::string& key, const AppState& a, const std::string& dateTime, const FrameSurface& surface);

// Whether a tick would make again the frame on show. A tick that leaves
// everything as it found it (the key after it, its effects applied, equal to
// the key before it) and has nothing to sound, beep or open was a fixed
// point: a tick after it, from the same key, would solve, paint and apply
// the same frame. So it is passed over, until the key changes or a redraw is
// asked for. A running gear never comes to rest (each tick turns the
// driver), nor does a stopped one with the steam display on (each tick
// throws new dots).
class StillFrames {
 public:
  // At the start of a tick: true when the tick can be passed over.
  bool Still(const AppState& a, const std::string& dateTime, const FrameSurface& surface);
  // After the tick was made, painted and its effects applied, with what it
  // started from.
  void Made(const AppState& a, const std::string& dateTime, const FrameSurface& surface, const FrameEffects& fx);
  // The next tick is made whatever the key says.
  void Redraw() { still_ = false; }

 private:
  std::string before_, after_;  // the key at the start of the tick, after the last one made
  bool still_ = false;          // the last tick made was a fixed point
};

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The frame's key and the ticks of a gear at rest.
#include "mainwin/stillframe.h"

namespace brevold {

namespace {

// An object as the bytes it is stored in. Of a structure that holds texts,
// their storage's place and length, not what they say: Text adds that.
template <class T>
void Bytes(std::string& key, const T& v) {
  key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

void Text(std::string& key, const std::string& t) {
  Bytes(key, t.size());
  key.append(t);
}

template <class List>
void Texts(std::string& key, const List& ts) {
  for (const std::string& t : ts) Text(key, t);
}

void ModelTexts(std::string& key, const ModelState& m) {
  Text(key, m.dims.DimFileName);
  Text(key, m.dims.DimFilePath);
  Texts(key, m.dyn.DynVarName);
  Texts(key, m.undo.UndoName);
  Bytes(key, m.undo.redo.size());
  for (const UndoStack::RedoEntry& r : m.undo.redo) {
    Bytes(key, r);
    Text(key, r.name);
  }
  Text(key, m.FrontCOText);
  Text(key, m.RearCOText);
}

void LinesTexts(std::string& key, const LinesDialogState& l) {
  Texts(key, l.TypeText);
  Texts(key, l.ColorText);
  Texts(key, l.RefText);
  for (const auto& row : l.Fields) Texts(key, row);
}

// Effects a tick gives once, which a tick passed over would give again.
bool Quiet(const FrameEffects& fx) {
  return !fx.errorSound && !fx.exhaustBeat && !fx.beep && fx.closeEditor == FrameEffects::Editor::None &&
         fx.reopenEditor == FrameEffects::Editor::None;
}

}  // namespace

void FrameKey(std::string& key, const AppState& a, const FrameSurface& surface) {
  key.clear();
  Bytes(key, a.model);
  ModelTexts(key, a.model);
  // The captions' texts are passed over; their storage is the same while
  // they are only written again.
  Bytes(key, a.screen);
  Text(key, a.screen.GearDir);
  Bytes(key, a.lines);
  LinesTexts(key, a.lines);
  Bytes(key, a.controls);
  Bytes(key, a.diagrams);
  Text(key, a.diagrams.UndoText);
  Bytes(key, surface.width);
  Bytes(key, surface.height);
  Bytes(key, surface.ratio);
}

namespace {

// A gear the animation turns: each tick moves the driver, so no tick can be
// a fixed point and its key need not be built.
bool Turning(const AppState& a) { return a.controls.Running && a.model.DrvAngInc != 0; }

}  // namespace

StillFrames::Work StillFrames::Needed(const AppState& a, const std::string& dateTime, const FrameSurface& surface) {
  if (Turning(a)) {
    still_ = false;
    return Work::Frame;
  }
  FrameKey(before_, a, surface);
  if (!still_ || before_ != after_) return Work::Frame;
  if (dateTime == time_) return Work::None;
  time_ = dateTime;
  return Work::Captions;
}

void StillFrames::Made(const AppState& a, const std::string& dateTime, const FrameSurface& surface,
                       const FrameEffects& fx) {
  if (Turning(a)) {
    still_ = false;
    return;
  }
  FrameKey(after_, a, surface);
  time_ = dateTime;
  still_ = Quiet(fx) && before_ == after_;
}

}  // namespace brevold

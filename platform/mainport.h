// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the other windows may ask of the main window: the session they
// change the state through (and follow), its window as their parent and the
// animation's timer. The main window implements it; tests of the dialogs
// use a small fake.
#pragma once
#include "state/session.h"

class QWidget;

namespace brevold {

class MainPort {
 public:
  virtual ~MainPort() = default;
  // The session every change to the state goes through, and its state.
  virtual Session& State() = 0;
  AppState& App() { return State().App(); }
  virtual QWidget* Window() = 0;
  // A diagram window stops the animation while it is open.
  virtual void StopAnimation() = 0;
  virtual void RestartAnimation() = 0;
};

}  // namespace brevold

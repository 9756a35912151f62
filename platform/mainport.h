// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the other windows may ask of the main window: its state, its window
// as their parent, the animation's timer, showing its controls afresh after
// they changed the state, and the joining of every "UnDo" button. The main
// window implements it; tests of the dialogs use a small fake.
#pragma once

class QPushButton;
class QWidget;

namespace brevold {

struct AppState;

class MainPort {
 public:
  virtual ~MainPort() = default;
  virtual AppState& App() = 0;
  virtual QWidget* Window() = 0;
  // A diagram window stops the animation while it is open.
  virtual void StopAnimation() = 0;
  virtual void RestartAnimation() = 0;
  // The main window's controls, menus and reverse-arm bar range shown from
  // the state again (after a rule of mainctl.h changed it).
  virtual void ShowState() = 0;
  // Every window's "UnDo" button follows the undo stack.
  virtual void JoinUndoButtons(QPushButton* b) = 0;
};

}  // namespace brevold

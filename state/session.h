// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The session: the one program state and the windows that follow it. A
// window changes the state through Change, which runs the change and then
// tells every follower once; the main window follows it and shows its
// controls, menus and reverse-arm bar afresh. The "UnDo" buttons of every
// window follow the undo stack through it too, the moment the stack turns
// them on or off. Start-up makes one session beside the state; the windows
// reach it through their port.
#pragma once
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "state/appstate.h"

namespace brevold {

class Session;

// A follower's place in its session: the follower leaves when it goes (a
// window keeps one as a member), or at Leave. The session outlives it.
class Following {
 public:
  Following() = default;
  Following(Following&& other) noexcept;
  Following& operator=(Following&& other) noexcept;
  Following(const Following&) = delete;
  Following& operator=(const Following&) = delete;
  ~Following() { Leave(); }
  void Leave();

 private:
  friend class Session;
  Following(Session* session, int id) : session_(session), id_(id) {}
  Session* session_ = nullptr;
  int id_ = 0;
};

class Session {
 public:
  // Takes the undo stack's hook of `app`'s model for the "UnDo" buttons,
  // and gives it back empty at its end.
  explicit Session(AppState& app);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  AppState& App() { return app_; }

  // Runs `change` on the state, then tells every follower once.
  template <class F>
  void Change(F&& change) {
    std::forward<F>(change)(app_);
    Changed();
  }
  // Tells every follower once of what was changed in place: the steps of a
  // window's bars that go straight to the gear, taken in as it closes.
  void Changed();

  // `shown` is told after every change.
  [[nodiscard]] Following Follow(std::function<void()> shown);
  // `enabled` is told at once whether the "UnDo" buttons are on, and again
  // each time the undo stack turns them on or off.
  [[nodiscard]] Following FollowUndoButtons(std::function<void(bool)> enabled);

 private:
  friend class Following;
  struct Follower {
    int id = 0;
    std::function<void()> shown;
    std::function<void(bool)> undoButtons;
  };
  int Join(Follower f);
  void Leave(int id);
  void UndoButtonsTurned(bool enabled);
  template <class Tell>
  void TellEach(Tell tell);
  // Followers that leave while others are being told are dropped afterwards.
  void DropLeavers();

  AppState& app_;
  std::vector<Follower> followers_;
  int lastId_ = 0;
  int telling_ = 0;
};

}  // namespace brevold

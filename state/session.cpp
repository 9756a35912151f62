// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The session's followers: told in the order they joined, each once.
#include "state/session.h"

#include <algorithm>

namespace brevold {

Following::Following(Following&& other) noexcept
    : session_(std::exchange(other.session_, nullptr)), id_(other.id_) {}

Following& Following::operator=(Following&& other) noexcept {
  if (this != &other) {
    Leave();
    session_ = std::exchange(other.session_, nullptr);
    id_ = other.id_;
  }
  return *this;
}

void Following::Leave() {
  if (Session* s = std::exchange(session_, nullptr)) s->Leave(id_);
}

Session::Session(AppState& app) : app_(app) {
  app_.model.undo.onButtons = [this](bool enabled) { UndoButtonsTurned(enabled); };
}

Session::~Session() { app_.model.undo.onButtons = nullptr; }

// Each is called through a copy: a follower that joins meanwhile may move
// the list, and one that leaves is only marked until the round is over.
template <class Tell>
void Session::TellEach(Tell tell) {
  ++telling_;
  for (size_t i = 0; i < followers_.size(); ++i) tell(followers_[i]);
  --telling_;
  DropLeavers();
}

void Session::Changed() {
  TellEach([](const Follower& f) {
    if (std::function<void()> shown = f.shown) shown();
  });
}

void Session::UndoButtonsTurned(bool enabled) {
  TellEach([enabled](const Follower& f) {
    if (std::function<void(bool)> follow = f.undoButtons) follow(enabled);
  });
}

Following Session::Follow(std::function<void()> shown) {
  return Following(this, Join({0, std::move(shown), nullptr}));
}

Following Session::FollowUndoButtons(std::function<void(bool)> enabled) {
  enabled(app_.model.undo.ButtonsEnabled);
  return Following(this, Join({0, nullptr, std::move(enabled)}));
}

int Session::Join(Follower f) {
  f.id = ++lastId_;
  followers_.push_back(std::move(f));
  return lastId_;
}

void Session::Leave(int id) {
  for (Follower& f : followers_)
    if (f.id == id) f = Follower{};
  DropLeavers();
}

void Session::DropLeavers() {
  if (telling_ == 0) std::erase_if(followers_, [](const Follower& f) { return f.id == 0; });
}

}  // namespace brevold

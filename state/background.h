// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Searches whose window has closed. A window that closes during a search
// raises the search's cancel flag and leaves its thread here instead of
// waiting for it, so that closing never waits on a computation; the search
// ends on its own at its next look at the flag, and whatever is still
// running when the program ends is joined then.
#pragma once
#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace brevold {

class BackgroundThreads {
 public:
  BackgroundThreads() = default;
  // A copy of the program's state has no threads of its own.
  BackgroundThreads(const BackgroundThreads&) {}
  BackgroundThreads& operator=(const BackgroundThreads&) { return *this; }
  ~BackgroundThreads() {
    for (Left& l : left_) l.thread.join();
  }

  // Takes a thread already told to stop; `ended` goes up as its work ends.
  // Threads that have ended since the last call are joined now.
  void Leave(std::thread thread, std::shared_ptr<const std::atomic<bool>> ended) {
    Reap();
    if (thread.joinable()) left_.push_back({std::move(thread), std::move(ended)});
  }
  // Threads left and not yet seen to end.
  size_t Running() {
    Reap();
    return left_.size();
  }

 private:
  struct Left {
    std::thread thread;
    std::shared_ptr<const std::atomic<bool>> ended;
  };
  void Reap() {
    auto done = std::remove_if(left_.begin(), left_.end(), [](Left& l) {
      if (!l.ended->load()) return false;
      l.thread.join();
      return true;
    });
    left_.erase(done, left_.end());
  }
  std::vector<Left> left_;
};

}  // namespace brevold

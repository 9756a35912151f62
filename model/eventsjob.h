// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A valve-events table worked out away from the window that shows it: on the
// job's own copy of the gear, so the gear may change meanwhile, with the
// settings done so far readable from any thread and a flag that stops it
// between two settings. The window starts a fresh job for each change of the
// gear and drops the old one, which ends on its own once it sees the flag.
#pragma once
#include <atomic>
#include <cfenv>
#include <string>

#include "model/events.h"
#include "model/state.h"

namespace brevold {

class EventsJob {
 public:
  // Copies the gear (reaching no window: the undo buttons' hook is left
  // behind) and the caller's floating-point environment, so that the table
  // is the one the caller's thread would work out.
  EventsJob(const ModelState& s, const EventRequest& request);
  // Works the table out on the thread that calls it; a second call does nothing.
  void Run();
  void Cancel() { cancel_.store(true); }
  bool CancelAsked() const { return cancel_.load(); }
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Settings done and their number, as the table last reported them (0 of 0
  // before the first).
  int Done() const { return done_.load(); }
  int Total() const { return total_.load(); }
  // Once Finished: the table (cancelled: the settings done before the flag
  // was seen), or the reason it could not be worked out.
  const EventTable& Table() const { return table_; }
  const std::string& Failure() const { return failure_; }

 private:
  ModelState state_;
  EventRequest request_;
  std::fenv_t env_{};  // the caller's
  std::atomic<bool> started_{false}, cancel_{false}, finished_{false};
  std::atomic<int> done_{0}, total_{0};
  EventTable table_{EventMethod::Bisection, PortRowStep, {}, false, {}};
  std::string failure_;
};

// A column title for a narrow heading: over 12 characters it takes two lines,
// broken at the space that leaves the longer line shortest, never inside
// parentheses (a unit stays whole).
std::string HeadingLines(const std::string& title);

}  // namespace brevold

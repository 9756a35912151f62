// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The events table as a job for another thread, and the table's headings in lines.
#include "model/eventsjob.h"

#include <algorithm>
#include <exception>

namespace brevold {

EventsJob::EventsJob(const ModelState& s, const EventRequest& request)
    : state_(s), request_(request) {
  state_.undo.onButtons = nullptr;
  std::fegetenv(&env_);
}

void EventsJob::Run() {
  if (started_.exchange(true)) return;
  std::fesetenv(&env_);
  EventRequest r = request_;
  r.cancel = &cancel_;
  // Reported from several threads at once, not always in order: the count
  // only rises.
  r.progress = [this](int done, int total) {
    total_.store(total);
    int seen = done_.load();
    while (done > seen && !done_.compare_exchange_weak(seen, done)) {
    }
  };
  try {
    table_ = ValveEventsTable(state_, r);
  } catch (const std::exception& e) {
    failure_ = e.what();
  }
  finished_.store(true, std::memory_order_release);
}

std::string HeadingLines(const std::string& title) {
  constexpr size_t OneLine = 12;
  if (title.size() <= OneLine) return title;
  size_t best = std::string::npos, longest = title.size();
  int depth = 0;
  for (size_t i = 0; i < title.size(); ++i) {
    if (title[i] == '(') ++depth;
    if (title[i] == ')') --depth;
    if (title[i] != ' ' || depth > 0) continue;
    const size_t l = std::max(i, title.size() - i - 1);
    if (l < longest) {
      longest = l;
      best = i;
    }
  }
  if (best == std::string::npos) return title;
  std::string two = title;
  two[best] = '\n';
  return two;
}

}  // namespace brevold

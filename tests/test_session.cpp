// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The session without a window: changes told to its followers, and the
// "UnDo" buttons following the undo stack.
#include <gtest/gtest.h>

#include <vector>

#include "draw_helpers.h"
#include "mainwin/mainctl.h"
#include "state/session.h"

namespace brevold {

// Each follower finds the change made, is told once a change, and is not
// told again once it has left, even in the middle of a round.
TEST(Session, FollowersAreToldOnceAfterEachChangeUntilTheyLeave) {
  AppState a = Fresh();
  Session session(a);
  std::vector<int> told;  // the reverse-arm bar as each follower found it
  Following second;
  Following first = session.Follow([&] {
    told.push_back(a.controls.RevArmBar);
    if (a.controls.RevArmBar == 200) second.Leave();
  });
  second = session.Follow([&] { told.push_back(-a.controls.RevArmBar); });
  session.Change([](AppState& s) { SetRevArmBar(s, 100); });
  EXPECT_EQ(told, (std::vector<int>{100, -100}));
  told.clear();
  session.Change([](AppState& s) { SetRevArmBar(s, 200); });
  EXPECT_EQ(told, std::vector<int>{200});
  told.clear();
  { Following gone = session.Follow([&] { told.push_back(0); }); }  // a window that closed
  first.Leave();
  session.Changed();
  EXPECT_TRUE(told.empty());
}

// The buttons hear of the stack at once, also from a step outside any
// change (an editor field left, an undo); the state, which outlives the
// session, calls into it no more.
TEST(Session, UndoButtonsFollowTheStackAtOnceWhileTheSessionLasts) {
  AppState a = Fresh();
  std::vector<bool> seen;
  {
    Session session(a);
    Following button = session.FollowUndoButtons([&](bool on) { seen.push_back(on); });
    a.model.undo.EditDirty = 1;
    EditorFieldExit(a.model, 3, 17, "Main Rod Length");
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
    Undo(a.model);
    EXPECT_EQ(seen, (std::vector<bool>{false, true, false}));
  }
  EXPECT_FALSE(a.model.undo.onButtons);
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The session without a window: changes told to its followers.
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

}  // namespace brevold

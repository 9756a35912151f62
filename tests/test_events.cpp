// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve-events table: bisection against the 4-degree grid, figures
// worked out by hand, absent events, and the state left as it was found.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model/events.h"
#include "model/state.h"
#include "helpers.h"

namespace brevold {
namespace {

using test::Nominal;

TEST(EventsTable, BisectionAgreesWithTheGridWithinItsStep) {
  ModelState s = Nominal();
  EventRequest r;
  r.method = EventMethod::Step;
  const EventTable grid = ValveEventsTable(s, r);
  r.method = EventMethod::Bisection;
  const EventTable fine = ValveEventsTable(s, r);
  ASSERT_EQ(grid.rows.size(), 38u);
  ASSERT_EQ(fine.rows.size(), 38u);
  int compared = 0;
  for (size_t i = 0; i < grid.rows.size(); ++i) {
    const EventRow &g = grid.rows[i], &f = fine.rows[i];
    EXPECT_EQ(g.setting.revArmX, f.setting.revArmX);
    for (int end = 0; end < 2; ++end) {
      const EndEvents &ge = end ? g.rear : g.front, &fe = end ? f.rear : f.front;
      for (auto m : {&EndEvents::admission, &EndEvents::cutOff, &EndEvents::release, &EndEvents::compression}) {
        ASSERT_EQ((ge.*m).has_value(), (fe.*m).has_value()) << i;
        if (!(ge.*m)) continue;
        // A chord across 4 degrees of a port opening misplaces its zero by
        // well under a degree, and the piston by under 1.5 % of its stroke.
        const double da = std::fabs(std::remainder((ge.*m)->angle - (fe.*m)->angle, 360.0));
        EXPECT_LT(da, 1.0) << i;
        EXPECT_LT(std::fabs((ge.*m)->percent - (fe.*m)->percent), 1.5) << i;
        ++compared;
      }
      EXPECT_EQ(ge.lead, fe.lead);
      ASSERT_EQ(ge.maxOpening.has_value(), fe.maxOpening.has_value());
      if (ge.maxOpening) {
        EXPECT_GE(*fe.maxOpening, *ge.maxOpening);
      }
    }
    EXPECT_GE(f.valveTravel, g.valveTravel);
    EXPECT_LT(f.valveTravel - g.valveTravel, 0.01);
  }
  EXPECT_GT(compared, 250);
}

// At a bisected event the port is on the point of opening or closing, and
// the piston stands where the crank-and-rod formula puts it for that angle.
TEST(EventsTable, BisectedEventsByHand) {
  ModelState s = Nominal();
  EventRequest r;
  r.values = {0.3f};
  r.side = EventRequest::Forward;
  const EventTable t = ValveEventsTable(s, r);
  ASSERT_EQ(t.rows.size(), 1u);
  const EventRow& row = t.rows[0];
  EXPECT_FLOAT_EQ(row.setting.revArmX, s.revArm.Positions[0] + 0.3f);
  const EventPoint cut = *row.front.cutOff;
  const double L = s.dims.frame.MainRodLen, S = s.dims.frame.Stroke, a = cut.angle * M_PI / 180;
  const double x = S / 2 * (1 - std::cos(a)) + L - std::sqrt(L * L - std::pow(S / 2 * std::sin(a), 2));
  EXPECT_NEAR(cut.percent, 100 * x / S, 1e-4);
  // Either side of it by 1e-3 degrees the front steam port is open, then shut.
  ModelState probe = s;
  probe.mech.RevArmX = row.setting.revArmX;
  auto openAt = [&](double angle) {
    probe.mech.DrvAngle = static_cast<float>(angle);
    Solve(probe);
    PostCalc(probe);
    return probe.valve.OpenSteamF;
  };
  EXPECT_GT(openAt(cut.angle - 1e-3), 0);
  EXPECT_LE(openAt(cut.angle + 1e-3), 0);
  // The lead is the opening at front dead centre; the rear's at 180 degrees.
  EXPECT_EQ(row.front.lead, openAt(0));
  openAt(180);
  EXPECT_EQ(row.rear.lead, probe.valve.OpenSteamR);
  const EventDifference d = FrontMinusRear(row);
  EXPECT_DOUBLE_EQ(*d.cutOff, row.front.cutOff->percent - row.rear.cutOff->percent);
}

TEST(EventsTable, EventsThatNeverHappenAreAbsentAndTheStateIsKept) {
  ModelState s = Nominal();
  // Valve ends so wide that the front exhaust port never opens.
  s.dims.CylValveDim[ValveEndWFront] += 5;
  s.mech.DrvAngle = 37;
  const Mechanism before = s.mech;
  const ValveEvents valveBefore = s.valve;
  EventRequest r;
  r.values = {0.2f, -0.2f};
  for (EventMethod m : {EventMethod::Step, EventMethod::Bisection}) {
    r.method = m;
    const EventTable t = ValveEventsTable(s, r);
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_TRUE(t.rows[0].setting.forward);
    EXPECT_FALSE(t.rows[1].setting.forward);
    for (const EventRow& row : t.rows) {
      EXPECT_FALSE(row.front.release || row.front.compression);
      EXPECT_TRUE(row.front.admission && row.rear.release);
      EXPECT_FALSE(FrontMinusRear(row).release);
    }
    EXPECT_EQ(std::memcmp(&before, &s.mech, sizeof before), 0);
    EXPECT_EQ(std::memcmp(&valveBefore, &s.valve, sizeof valveBefore), 0);
  }
}

}  // namespace
}  // namespace brevold

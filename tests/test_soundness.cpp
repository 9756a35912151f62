// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a setting can be trusted, and the quantities the events table adds
// for a designer: the die in the link, the true dead centres and the lead
// there, the crank angles of the events, the opening held to the port, rows by
// cut-off, and a table that can be cancelled.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <cmath>
#include <sstream>

#include "model/dimensions.h"
#include "model/events.h"
#include "model/revarm.h"
#include "model/soundness.h"
#include "model/state.h"
#include "helpers.h"

namespace brevold {
namespace {

using test::Nominal;

constexpr double kDeg = M_PI / 180;

// The gear the balance example of an earlier README wrote: the link-crank
// back set a fifth too long, then the lift point and the reverse-arm pivot
// moved by the search. It flips to the other closure of the link's levers in
// reverse from a travel of about 0.52.
ModelState FlippingGear() {
  ModelState s = test::Started();
  SetDim(s, 13, 0.5868f);
  SetDim(s, 17, 1.6712337f);
  SetDim(s, 22, 6.2394924f);
  SetDim(s, 23, 8.895167f);
  CalcCentre(s);
  return s;
}

EventTable BothSides(ModelState s, EventMethod method = EventMethod::Bisection) {
  EventRequest r;
  r.method = method;
  return ValveEventsTable(s, r);
}

// The piston stops where the crank and the main rod are in line: at the
// front with the crank pin on the line from the axle to the crosshead, at
// the rear with it on the far side. With the cylinder line h above the axle
// the crank then leans by asin(h / (L + S/2)) and asin(h / (L - S/2)).
TEST(DeadCentres, CrankAndRodInLine) {
  for (const float h : {0.25f, 1.0f, -0.6f}) {
    for (const float L : {16.5f, 9.0f}) {
      ModelState s = Nominal();
      s.mech.PtY[3] = h;
      s.dims.frame.MainRodLen = L;
      const double S = s.dims.frame.Stroke;
      const DeadCentres dc = PistonDeadCentres(s);
      ASSERT_TRUE(dc.front && dc.rear);
      EXPECT_NEAR(static_cast<double>(*dc.front), -std::asin(h / (L + S / 2)) / kDeg, 1e-9) << h << " " << L;
      EXPECT_NEAR(static_cast<double>(*dc.rear), 180 - std::asin(h / (L - S / 2)) / kDeg, 1e-9) << h << " " << L;
    }
  }
  // The nominal gear: about -0.77 and 179.01 degrees, not 0 and 180.
  const DeadCentres dc = PistonDeadCentres(Nominal());
  EXPECT_NEAR(static_cast<double>(*dc.front), -0.774, 1e-3);
  EXPECT_NEAR(static_cast<double>(*dc.rear), 179.012, 1e-3);
  // A rod that cannot reach the cylinder line all the way round has none.
  ModelState shortRod = Nominal();
  shortRod.dims.frame.MainRodLen = 2.1f;
  EXPECT_FALSE(PistonDeadCentres(shortRod).front);
}

// The table's lead is the opening where the piston stops, and each event's
// crank angle is counted from that end's dead centre the way the driver
// turns: admission before it (negative) with a positive lead, after it with
// a blind port.
TEST(EventsTable, LeadAtTheDeadCentresAndCrankAngles) {
  const EventTable t = BothSides(Nominal());
  ASSERT_EQ(t.rows.size(), 38u);
  ModelState probe = Nominal();
  const DeadCentres dc = PistonDeadCentres(probe);
  for (const EventRow& row : t.rows) {
    EXPECT_DOUBLE_EQ(*row.front.deadCentre, static_cast<double>(*dc.front));
    EXPECT_DOUBLE_EQ(*row.rear.deadCentre, static_cast<double>(*dc.rear));
    probe.mech.RevArmX = row.setting.revArmX;
    test::SolveAt(probe, static_cast<float>(360 + *dc.front));
    EXPECT_NEAR(*row.front.deadCentreLead, probe.valve.OpenSteamF, 1e-5);
    for (const EndEvents* e : {&row.front, &row.rear}) {
      ASSERT_TRUE(e->admission && e->cutOff);
      // Up to the normal travel the gear has lead at both ends; toward full
      // forward gear the front port goes blind at the true dead centre
      // although it is open at crank 0.
      if (std::fabs(row.setting.travel) <= 0.7) {
        EXPECT_GT(*e->deadCentreLead, 0.005);
      }
      if (std::fabs(*e->deadCentreLead) > 1e-4) {
        EXPECT_EQ(e->admission->crank < 0, *e->deadCentreLead > 0) << row.setting.travel;
      }
      EXPECT_GT(e->cutOff->crank, 0);
      // The crank angle and the driver angle differ by the dead centre, with
      // the sign of the running direction.
      const double turned = row.setting.forward ? e->cutOff->angle - *e->deadCentre : *e->deadCentre - e->cutOff->angle;
      EXPECT_NEAR(std::remainder(turned - e->cutOff->crank, 360.0), 0, 1e-9);
    }
  }
  // More lap than the valve's lead: the port opens after the dead centre.
  ModelState blind = Nominal();
  blind.dims.CylValveDim[ValveRingIn] -= 0.06f;
  const EventTable b = BothSides(blind);
  int opened = 0;
  for (const EventRow& row : b.rows) {
    for (const EndEvents* e : {&row.front, &row.rear}) {
      EXPECT_LT(*e->deadCentreLead, 0);
      // Near mid gear the valve no longer opens at all.
      if (!e->admission) continue;
      EXPECT_GT(e->admission->crank, 0);
      ++opened;
    }
  }
  EXPECT_GT(opened, 40);
}

// The nominal gear is sound at every travel on both sides, and the die slips
// further in the link toward full gear; the flipping gear is reported
// unsound in reverse from about 0.52, where its die leaves the link.
TEST(Soundness, NominalSoundFlippingGearNot) {
  const EventTable t = BothSides(Nominal());
  for (int side = 0; side < 2; ++side) {
    const EventRow& mid = t.rows[static_cast<size_t>(side * 19)];
    const EventRow& full = t.rows[static_cast<size_t>(side * 19 + 18)];
    for (int k = 0; k < 19; ++k) {
      const EventRow& row = t.rows[static_cast<size_t>(side * 19 + k)];
      EXPECT_TRUE(row.sound.Sound()) << side << " " << k << " " << FaultName(row.sound.fault);
      EXPECT_FALSE(row.solveFailed);
      EXPECT_GT(row.sound.Margin(), 0.1);
      EXPECT_LT(row.sound.dieOffMax, 0.15);
    }
    EXPECT_GT(full.sound.Slip(), 10 * mid.sound.Slip()) << side;
    for (int k = 2; k < 14; ++k)
      EXPECT_GT(t.rows[static_cast<size_t>(side * 19 + k + 1)].sound.Slip(), t.rows[static_cast<size_t>(side * 19 + k)].sound.Slip());
  }

  const EventTable f = BothSides(FlippingGear(), EventMethod::Step);
  for (const EventRow& row : f.rows) {
    const bool broken = !row.setting.forward && row.setting.travel < -0.52;
    EXPECT_EQ(!row.sound.Sound(), broken) << row.setting.travel;
    if (broken) {
      EXPECT_TRUE(row.sound.fault == Fault::DieBeyondLinkEnd || row.sound.fault == Fault::DieOffLinkLine);
      EXPECT_LT(row.sound.Margin(), 0);
    }
  }
  // The flip on its own, at one sample: the die a link length away.
  ModelState s = FlippingGear();
  test::SolveAt(s, 0);
  s.mech.RevArmX = PortRowRevArm(s, false, 18);
  float worst = 0;
  for (int a = 0; a < 360; a += 2) {
    test::SolveAt(s, static_cast<float>(a));
    const DiePlace d = DieInLink(s);
    worst = std::max(worst, static_cast<float>(std::fabs(d.along)));
    // Along and off the line make up the die's distance from the pivot.
    const double r = std::hypot(s.mech.PtX[8] - s.mech.PtX[9], s.mech.PtY[8] - s.mech.PtY[9]);
    EXPECT_NEAR(std::hypot(static_cast<double>(d.along), static_cast<double>(d.off)), r, 1e-5);
  }
  EXPECT_GT(worst, 2.0);
}

// A guard that fires is a fault even with the error beep off, and the
// failure column says so.
TEST(Soundness, GuardsAreSeenWhateverTheBeep) {
  for (const bool beep : {true, false}) {
    ModelState s = Nominal();
    SetDim(s, 23, 10.4f);
    CalcCentre(s);
    s.mech.BeepOnError = beep;
    EventRequest r;
    r.side = EventRequest::Reverse;
    r.method = EventMethod::Step;
    const EventTable t = ValveEventsTable(s, r);
    EXPECT_EQ(s.mech.BeepOnError, beep);
    EXPECT_EQ(s.mech.ErrFlag, 0);
    int fired = 0;
    for (const EventRow& row : t.rows) {
      if (row.sound.fault == Fault::GuardFired) {
        ++fired;
        EXPECT_TRUE(row.solveFailed);
      }
    }
    EXPECT_GE(fired, 6) << beep;
    EXPECT_NE(FormatEvents(t, "csv").find(",1,,guard fired,"), std::string::npos);
  }
}

// A guard window that falls between two samples of the sweep but is met
// while an event is located: the row is not sound, at that event.
TEST(Soundness, AGuardMetLocatingAnEventIsAFault) {
  ModelState s = Nominal();
  SetDim(s, 23, 10.2f);
  CalcCentre(s);
  EventRequest r;
  r.side = EventRequest::Reverse;
  r.values = {-0.85f};
  r.step = 30;
  const EventRow row = ValveEventsTable(s, r).rows.at(0);
  EXPECT_EQ(row.sound.fault, Fault::GuardFired);
  EXPECT_TRUE(row.solveFailed);
  EXPECT_GT(std::fabs(std::remainder(row.sound.faultAngle, 30.0)), 1.0);  // not at a sample
}

// The jump rule on its own: a turn whose valve moves smoothly but once by far
// more than at its other samples.
TEST(Soundness, ValveJumpBetweenSamples) {
  ModelState s = Nominal();
  for (const bool jump : {false, true}) {
    TurnWatch w;
    w.Start(s);
    ModelState m = s;
    for (int k = 0; k < 91; ++k) {
      test::SolveAt(m, static_cast<float>(4 * k % 360));
      if (jump && k >= 40 && k < 44) m.valve.ValveDisp += 1.5f;
      w.Sample(m);
    }
    const Soundness v = w.Finish(m);
    EXPECT_EQ(v.fault, jump ? Fault::ValveJump : Fault::None);
    if (jump) {
      EXPECT_FLOAT_EQ(static_cast<float>(v.faultAngle), 160);
    }
  }
}

// The largest opening is the port's width at most: at full gear the valve
// edge runs past the port's far edge, by as much as a fine scan of the
// opening finds beyond the width.
TEST(EventsTable, OpeningHeldToThePortWidth) {
  ModelState s = Nominal();
  EventRequest r;
  r.side = EventRequest::Forward;
  r.values = {0.9f};
  const EventTable t = ValveEventsTable(s, r);
  const EventRow& row = t.rows.at(0);
  const float width = s.dims.CylValveDim[ValvePortWFront];
  EXPECT_DOUBLE_EQ(*row.front.maxOpening, width);
  ModelState scan = s;
  scan.mech.RevArmX = row.setting.revArmX;
  float widest = -1;
  for (int k = 0; k < 3600; ++k) {
    test::SolveAt(scan, static_cast<float>(k) / 10);
    widest = std::max(widest, scan.valve.OpenSteamF);
  }
  EXPECT_GT(widest, width + 0.01f);
  EXPECT_NEAR(row.front.overTravel, widest - width, 2e-5);
  // At mid gear the port never opens fully.
  r.values = {0};
  const EventRow mid = ValveEventsTable(s, r).rows.at(0);
  EXPECT_LT(*mid.front.maxOpening, width);
  EXPECT_EQ(mid.front.overTravel, 0);
}

// Rows by cut-off: the mean cut-off found is the one asked for, a cut-off
// the gear cannot give is named in a note, and such a table reads back.
TEST(EventsTable, RowsByCutOff) {
  ModelState s = Nominal();
  EventRequest r;
  r.cutOffs = {25, 40, 99};
  const EventTable t = ValveEventsTable(s, r);
  ASSERT_EQ(t.rows.size(), 4u);
  for (const EventRow& row : t.rows) {
    EXPECT_NEAR(MeanCutOff(row), *row.targetCutOff, 1e-3);
    EXPECT_GT(std::fabs(row.setting.travel), 0.1);
  }
  EXPECT_TRUE(t.rows[0].setting.forward);
  EXPECT_FALSE(t.rows[3].setting.forward);
  ASSERT_EQ(t.notes.size(), 2u);
  EXPECT_NE(t.notes[0].find("99.0 % is beyond full gear"), std::string::npos);
  // Every CSV line has the header's fields; every JSON line parses.
  const std::string csv = FormatEvents(t, "csv");
  std::istringstream lines(csv);
  std::string line;
  while (std::getline(lines, line)) EXPECT_EQ(std::count(line.begin(), line.end(), ','), 28) << line;
  std::istringstream json(FormatEvents(t, "json"));
  int objects = 0;
  while (std::getline(json, line)) {
    const auto o = nlohmann::json::parse(line);
    EXPECT_EQ(o.size(), EventColumns().size());
    EXPECT_EQ(o["verdict"], "sound");
    ++objects;
  }
  EXPECT_EQ(objects, 12);
}

// A raised flag ends the table early; progress counts to the whole.
TEST(EventsTable, CancelAndProgress) {
  ModelState s = Nominal();
  std::atomic<bool> cancel{false};
  std::atomic<int> last{0}, calls{0};
  EventRequest r;
  r.method = EventMethod::Step;
  r.cancel = &cancel;
  r.progress = [&](int done, int total) {
    EXPECT_EQ(total, 38);
    last = std::max(last.load(), done);
    if (++calls == 5) cancel = true;
  };
  const EventTable t = ValveEventsTable(s, r);
  EXPECT_TRUE(t.cancelled);
  EXPECT_LT(t.rows.size(), 38u);
  cancel = false;
  calls = -1000;
  last = 0;
  const EventTable whole = ValveEventsTable(s, r);
  EXPECT_FALSE(whole.cancelled);
  EXPECT_EQ(whole.rows.size(), 38u);
  EXPECT_EQ(last, 38);
}

}  // namespace
}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sweeps on several threads draw, tabulate and leave behind exactly what the
// plain sweep does: the four diagrams' recorded drawing and the state each
// leaves, and the valve-events table, on gears whose searches always
// succeed, always give up, or give up at some angles only (there the guessed
// start of a row is wrong and the row runs again), and on gears that raise
// the geometry error or have the solver replace a dimension.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "cli/cli.h"
#include "diagrams/diagrampicture.h"
#include "diagram_gears.h"
#include "record_hash.h"
#include "model/balance.h"
#include "model/events.h"
#include "model/parallel.h"

namespace brevold {
namespace {

struct Threads {
  explicit Threads(int n) { SetSweepThreads(n); }
  ~Threads() { SetSweepThreads(0); }
};

TEST(ParallelSweeps, DiagramsDrawAndLeaveWhatThePlainSweepDoes) {
  const struct {
    const char* name;
    DiagramPicture kind;
    PortGraphs mode;
  } drawings[] = {{"port forward", DiagramPicture::Port, PortGraphs::Forward},
                  {"port reverse", DiagramPicture::Port, PortGraphs::Reverse},
                  {"steam", DiagramPicture::Steam, PortGraphs::Forward},
                  {"oval", DiagramPicture::Oval, PortGraphs::Forward},
                  {"sine", DiagramPicture::Sine, PortGraphs::Forward}};
  for (const Gear& g : kGears) {
    const long againBefore = UnitsRunAgain();
    for (const auto& dr : drawings) {
      std::uint64_t drawn[5], left[5];
      const int counts[] = {1, 2, 4};
      for (int k = 0; k < 3; ++k) {
        Threads t(counts[k]);
        AppState a = GearState(g);
        DiagramState d;
        d.PortGraphMode = dr.mode;
        RecordingCanvas c;
        DrawDiagram(c, a, d, dr.kind);
        drawn[k] = Drawn(c);
        left[k] = Left(a.model);
      }
      for (int k = 1; k < 3; ++k) {
        EXPECT_EQ(drawn[k], drawn[0]) << g.name << ", " << dr.name << ", " << counts[k] << " threads";
        EXPECT_EQ(left[k], left[0]) << g.name << ", " << dr.name << ", " << counts[k] << " threads";
      }
    }
    // A row runs again only where its guessed start was wrong.
    EXPECT_EQ(UnitsRunAgain() > againBefore, g.rowsRunAgain) << g.name;
  }
}

TEST(ParallelSweeps, EventsTablesAreThoseOfThePlainSweep) {
  auto table = [](const Gear& g, const EventRequest& r, int threads, std::uint64_t& left) {
    Threads t(threads);
    AppState a = GearState(g);
    a.model.mech.DrvAngle = 37;
    const std::string text = FormatEvents(ValveEventsTable(a.model, r), "json");
    left = Left(a.model);
    return text;
  };
  EventRequest grid;
  grid.method = EventMethod::Step;
  EventRequest values;  // settings of both sides given, on either side in turn
  values.values = {0.3f, -0.2f, 0.6f, -0.5f, 0.1f};
  values.method = EventMethod::Bisection;
  EventRequest arms = values;  // the same as RevArmX values, reverse side only
  arms.method = EventMethod::Step;
  arms.valuesAreRevArm = true;
  arms.side = EventRequest::Reverse;
  for (float& v : arms.values) v += GearState(kGears[0]).model.revArm.Positions[0];
  EventRequest byCut;  // a search for each side's travel, then their rows
  byCut.side = EventRequest::Both;
  byCut.cutOffs = {25};
  byCut.method = EventMethod::Step;
  for (const Gear& g : kGears) {
    const long againBefore = UnitsRunAgain();
    for (const EventRequest* r : {&grid, &values, &arms, &byCut}) {
      std::uint64_t left1 = 0, left2 = 0;
      const std::string one = table(g, *r, 1, left1);
      EXPECT_EQ(table(g, *r, 2, left2), one) << g.name;
      EXPECT_EQ(left2, left1) << g.name;
    }
    EXPECT_EQ(UnitsRunAgain() > againBefore, g.rowsRunAgain) << g.name;
  }
}

// The full travel's check and a balance's objective (the check, then each
// balanced setting's row from one state) on the pool: the verdicts, the
// figures and the state left are those of the plain sweep, and a turn runs
// again only where its guessed start was wrong.
TEST(ParallelSweeps, TravelChecksAndBalanceObjectivesAreThoseOfThePlainSweep) {
  auto check = [](const Gear& g, int threads, std::uint64_t& left) {
    Threads t(threads);
    AppState a = GearState(g);
    const TravelCheck c = FullTravelCheck(a.model, PortRowStep);
    left = Left(a.model);
    std::string text = c.Describe() + " " + std::to_string(c.settings) + " " + std::to_string(c.unsound);
    if (c.first) text += " " + ShortestText(c.first->first) + " " + ShortestText(c.first->second.faultAngle);
    return text;
  };
  BalanceRequest r;
  r.side = EventRequest::Both;
  r.notches = {0.3f, -0.4f};
  r.method = EventMethod::Step;
  auto objective = [&](const Gear& g, int threads) {
    Threads t(threads);
    const BalanceScore sc = BalanceObjective(GearState(g).model, r);
    return ShortestText(sc.objective) + " " + ShortestText(sc.spread.cutOff.value_or(-1)) + " " +
           ShortestText(sc.spread.lead.value_or(-1)) + " " + std::to_string(sc.sweepErrors) + " " +
           std::to_string(sc.errorSettings) + " " + std::to_string(sc.absentEvents);
  };
  for (const Gear& g : kGears) {
    const long againBefore = UnitsRunAgain();
    std::uint64_t left1 = 0, left = 0;
    const std::string plain = check(g, 1, left1);
    for (int threads : {2, 4}) {
      EXPECT_EQ(check(g, threads, left), plain) << g.name << ", " << threads << " threads";
      EXPECT_EQ(left, left1) << g.name << ", " << threads << " threads";
    }
    EXPECT_EQ(objective(g, 2), objective(g, 1)) << g.name;
    EXPECT_EQ(UnitsRunAgain() > againBefore, g.rowsRunAgain) << g.name;
  }
}

// Two tables at once, as a balance search on its own thread beside the
// window's: one has the pool, the other runs on its own thread; neither waits
// for the other and both come out right.
TEST(ParallelSweeps, SweepsFromTwoThreadsAtOnce) {
  EventRequest r;
  r.method = EventMethod::Step;
  std::string plain;
  {
    Threads t(1);
    AppState a = GearState(kGears[0]);
    plain = FormatEvents(ValveEventsTable(a.model, r), "csv");
  }
  Threads t(2);
  std::string got[2];
  auto run = [&](int k) {
    for (int n = 0; n < 3; ++n) {
      AppState a = GearState(kGears[0]);
      got[k] = FormatEvents(ValveEventsTable(a.model, r), "csv");
      if (got[k] != plain) return;
    }
  };
  std::thread other(run, 1);
  run(0);
  other.join();
  EXPECT_EQ(got[0], plain);
  EXPECT_EQ(got[1], plain);
}

// Where every guess is wrong, no thread runs more units than the plain sweep
// does: the one that keeps the sweep's order takes a guessed unit or runs it
// again, but never runs its share and then every other unit over again. The
// ends are those of the plain sweep whatever the threads.
TEST(ParallelSweeps, EveryGuessWrongCostsNoThreadMoreThanThePlainSweep) {
  constexpr int kUnits = 24;
  for (int threads : {2, 4}) {
    std::mutex m;
    std::map<std::thread::id, int> runs;
    UnitSweep sweep;
    sweep.units = kUnits;
    sweep.run = [&](ModelState& w, int u) {
      {
        std::lock_guard<std::mutex> lk(m);
        ++runs[std::this_thread::get_id()];
      }
      // A unit's end hangs on its start, as a search that gave up does.
      w.mech.DrvAngle = w.mech.DrvAngle * 0.5f + static_cast<float>(u);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    sweep.guessEnd = [](ModelState& w, int u) { w.mech.DrvAngle = -1.0f - static_cast<float>(u); };
    ModelState s;
    s.mech.DrvAngle = 3;
    const UnitRun run = RunUnits(s, sweep, threads);
    float plain = 3;
    for (int u = 0; u < kUnits; ++u) {
      plain = plain * 0.5f + static_cast<float>(u);
      EXPECT_EQ(run.end[static_cast<size_t>(u)].mech.DrvAngle, plain) << threads << " threads, unit " << u;
    }
    int most = 0, total = 0;
    for (const auto& [id, n] : runs) most = std::max(most, n), total += n;
    EXPECT_LE(most, kUnits) << threads << " threads";
    EXPECT_LE(total, 2 * kUnits) << threads << " threads";
  }
}

}  // namespace
// The command line starts from a gear never solved, whose sense the first
// solve finds: the pieces' guessed starts must still land on the right side
// of mid gear, or nearly every piece runs again and two threads are slower
// than one. The tables come out the same either way.
TEST(ParallelSweeps, TheCommandLinesSweepsGuessRightFromItsStartingState) {
  const std::vector<std::vector<std::string>> commands = {{"events"}, {"events", "--side", "rev"}};
  for (const auto& args : commands) {
    std::string outputs[2];
    long again[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
      Threads t(k + 1);
      const long before = UnitsRunAgain();
      std::ostringstream out, err;
      ASSERT_EQ(RunCli(args, out, err), 0) << err.str();
      again[k] = UnitsRunAgain() - before;
      outputs[k] = out.str();
    }
    EXPECT_EQ(outputs[1], outputs[0]) << args.back();
    EXPECT_EQ(again[0], 0) << args.back();
    EXPECT_LE(again[1], 2) << args.back() << ": pieces run again on two threads";
  }
}

}  // namespace brevold

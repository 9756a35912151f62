// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Balancing the valve events: the objective against the events table it is
// made from, the bounds, a gear that cannot be solved, the same result twice,
// a cancel, and the command line. Small budgets and few settings keep it quick.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/cli.h"
#include "model/balance.h"
#include "model/numfmt.h"
#include "model/parallel.h"
#include "model/state.h"
#include "helpers.h"

namespace brevold {
namespace {

using test::Nominal;

// Two settings forward and one in reverse, the events on the sweep's grid.
BalanceRequest Small() {
  BalanceRequest r;
  r.side = EventRequest::Both;
  r.notches = {0.3f, 0.55f, -0.4f};
  r.method = EventMethod::Step;
  r.weights.lead = 3;
  r.weights.leadHold = 2;
  r.weights.cutOff = 1;
  r.weights.release = 0.5;
  r.weights.compression = 0.25;
  r.leadBand = std::make_pair(0.0, 0.035);
  return r;
}

// The objective worked out here from a table of the gear's events: lead
// where the piston stops, in percent of lap plus lead (half the valve travel
// at mid gear); `before` adds each end's lead held to its value there.
double FromTable(const ModelState& s, const BalanceRequest& r, double& maxCutOff, const EventTable* before = nullptr,
                 EventTable* table = nullptr) {
  ModelState t = s;
  CalcCentre(t);
  const EventTable rows = ValveEventsTable(t, BalanceEvents(r.notches, r));
  EventRequest mid;
  mid.side = EventRequest::Forward;
  mid.values = {0};
  mid.method = r.method;
  ModelState u = s;
  CalcCentre(u);
  const double unit = ValveEventsTable(u, mid).rows.at(0).valveTravel / 2;
  EXPECT_NEAR(unit, 0.152 + 0.03, 0.002);  // the nominal lap, and about its lead
  EXPECT_EQ(rows.rows.size(), 3u);
  double sum = 0;
  maxCutOff = 0;
  for (size_t i = 0; i < rows.rows.size(); ++i) {
    const EventRow& row = rows.rows[i];
    const double cut = row.front.cutOff->percent - row.rear.cutOff->percent;
    const double rel = row.front.release->percent - row.rear.release->percent;
    const double comp = row.front.compression->percent - row.rear.compression->percent;
    const double lf = *row.front.deadCentreLead, lr = *row.rear.deadCentreLead;
    const double lead = 100 * (lf - lr) / unit;
    sum += 3 * lead * lead + cut * cut + 0.5 * rel * rel + 0.25 * comp * comp;
    if (before) {
      const double hf = 100 * (lf - *before->rows[i].front.deadCentreLead) / unit;
      const double hr = 100 * (lr - *before->rows[i].rear.deadCentreLead) / unit;
      sum += 2 * (hf * hf + hr * hr) / 2;
    }
    for (double l : {lf, lr}) {
      const double out = l < 0 ? -l : l > 0.035 ? l - 0.035 : 0;
      sum += 1e4 * out * out;
    }
    maxCutOff = std::max(maxCutOff, std::fabs(cut));
  }
  if (table) *table = rows;
  return sum;
}

TEST(Balance, ObjectiveIsTheWeightedSumOverTheEventsTable) {
  ModelState s = Nominal();
  const BalanceRequest r = Small();
  double maxCut = 0;
  const double expected = FromTable(s, r, maxCut);
  const BalanceScore sc = BalanceObjective(s, r);
  EXPECT_NEAR(sc.objective, expected, 1e-9 * expected);
  EXPECT_DOUBLE_EQ(*sc.spread.cutOff, maxCut);
  EXPECT_EQ(sc.absentEvents + sc.errorSettings + sc.sweepErrors, 0);

  // And for the gear a search hands back, stored through ApplyBalance.
  BalanceRequest search = r;
  search.vary = {{"13", BalanceVary::PlusMinus, 0.05}, {"RadRodLiftPt", BalanceVary::Default}};
  search.maxEvaluations = 6;
  const BalanceResult res = Balance(s, search);
  ASSERT_EQ(res.stop, BalanceResult::Budget) << res.message;
  EXPECT_EQ(res.evaluations, 6);
  EXPECT_LT(res.after.objective, res.before.objective);
  EXPECT_DOUBLE_EQ(res.before.objective, sc.objective);
  EventTable beforeRows;
  FromTable(s, r, maxCut, nullptr, &beforeRows);
  ApplyBalance(s, res);
  EXPECT_EQ(GetDim(s, 13), static_cast<float>(res.dims[0].after));
  EXPECT_EQ(GetDim(s, 17), static_cast<float>(res.dims[1].after));
  EXPECT_EQ(res.after.losses, 0);
  const double after = FromTable(s, r, maxCut, &beforeRows);
  EXPECT_NEAR(res.after.objective, after, 1e-9 * after);
  EXPECT_DOUBLE_EQ(*res.after.spread.cutOff, maxCut);
}

TEST(Balance, BoundsAreHonouredAndAnEndOnOneIsFlagged) {
  ModelState s = Nominal();
  BalanceRequest r = Small();
  // Today's back set (0.489) lies below its interval: the search starts on
  // the interval's bottom and ends on its top, short of the best back set
  // for these settings (about 0.52), the lift point within its room.
  r.vary = {{"LinkCrankBkS", BalanceVary::Interval, 0.50, 0.51}, {"17", BalanceVary::PlusMinus, 0.3}};
  r.maxEvaluations = 8;
  BalanceResult res = Balance(s, r);
  ASSERT_EQ(res.dims.size(), 2u);
  for (const BalanceDimResult& d : res.dims) {
    EXPECT_GE(d.after, d.dim.lo) << d.dim.field;
    EXPECT_LE(d.after, d.dim.hi) << d.dim.field;
  }
  EXPECT_EQ(res.dims[1].dim.lo, 1.625 - 0.3);
  EXPECT_TRUE(res.dims[0].atBound);
  EXPECT_FALSE(res.dims[1].atBound);
  // Alone, the back set would go on below 0.55 (to about 0.52): it stops there.
  r.vary = {{"13", BalanceVary::Interval, 0.55, 0.7}};
  r.maxEvaluations = 5;
  res = Balance(s, r);
  EXPECT_GE(res.dims[0].after, 0.55);
  EXPECT_NEAR(res.dims[0].after, 0.55, 1e-6);
  EXPECT_TRUE(res.dims[0].atBound);

  // What cannot be searched says why.
  std::vector<BalanceDim> dims;
  EXPECT_EQ(ResolveBalanceDims(s, {{"NoSuch"}}, dims), "unknown dimension key 'NoSuch'");
  EXPECT_NE(ResolveBalanceDims(s, {{"13", BalanceVary::Interval, 0.5, 0.4}}, dims), "");
  EXPECT_NE(ResolveBalanceDims(s, {{"13"}, {"LinkCrankBkS"}}, dims), "");
  EXPECT_NE(ResolveBalanceDims(s, {{"26"}}, dims), "");
  r.vary = {{"13", BalanceVary::PlusMinus, 0}};
  EXPECT_EQ(Balance(s, r).stop, BalanceResult::Failed);
}

TEST(Balance, AGearThatCannotBeSolvedIsPenalisedNotSkipped) {
  ModelState s = Nominal();
  SetDim(s, 14, 2);  // an eccentric rod far too short to reach the link
  BalanceRequest r = Small();
  const BalanceScore sc = BalanceObjective(s, r);
  EXPECT_TRUE(std::isfinite(sc.objective));
  EXPECT_TRUE(sc.Rejected());
  EXPECT_EQ(sc.errorSettings, 3);
  EXPECT_GT(sc.absentEvents, 0);
  EXPECT_GE(sc.objective, RejectedPenalty + 3 * SettingErrorPenalty +
                              sc.absentEvents * 0.25 * AbsentEventDifference * AbsentEventDifference);
  r.vary = {{"17"}, {"13"}};
  r.maxEvaluations = 3;
  const BalanceResult res = Balance(s, r);
  EXPECT_EQ(res.stop, BalanceResult::Budget);
  EXPECT_TRUE(std::isfinite(res.after.objective));
  EXPECT_TRUE(res.after.Rejected());
}

TEST(Balance, SameInputsSameResultAndACancelLandsQuickly) {
  const ModelState s = Nominal();
  BalanceRequest r = Small();
  r.vary = {{"13"}, {"17"}};
  r.maxEvaluations = 5;
  const BalanceResult a = Balance(s, r), b = Balance(s, r);
  ASSERT_EQ(a.evaluations, b.evaluations);
  EXPECT_EQ(a.after.objective, b.after.objective);
  for (size_t i = 0; i < a.dims.size(); ++i) EXPECT_EQ(a.dims[i].after, b.dims[i].after);

  // A cancel raised from another thread part-way through an evaluation.
  r.method = EventMethod::Bisection;
  r.maxEvaluations = 1000;
  std::atomic<bool> cancel{false};
  std::chrono::steady_clock::time_point raised;
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    raised = std::chrono::steady_clock::now();
    cancel = true;
  });
  int heard = 0;
  const BalanceResult c = Balance(s, r, &cancel, [&](int evals, double) { heard = evals; });
  const double late = std::chrono::duration<double>(std::chrono::steady_clock::now() - raised).count();
  stopper.join();
  EXPECT_EQ(c.stop, BalanceResult::Cancelled);
  EXPECT_EQ(heard, c.evaluations);
  // Well under a tenth of a second on an idle machine (BM_BalanceCancel
  // measures it); the bound here leaves room for a loaded one.
  EXPECT_LT(late, 1.0);
}

// The search on one thread and on two: the same report, the same dimensions
// found, bit for bit, after the same number of evaluations; on the nominal
// gear every guessed start on the pool is right.
TEST(Balance, OneThreadOrTwoFindTheSame) {
  const ModelState s = Nominal();
  BalanceRequest r = Small();
  r.vary = {{"13"}, {"17"}};
  r.maxEvaluations = 4;
  r.verifyStep = 4;
  r.cutOffs = {25};  // the rows compared before and after
  auto run = [&](int threads) {
    SetSweepThreads(threads);
    BalanceResult res = Balance(s, r);
    SetSweepThreads(0);
    res.seconds = 0;
    std::string text = BalanceSummary(res) + FormatEvents(res.beforeRows, "json") + FormatEvents(res.afterRows, "json") +
                       BalanceChangesText(res.changes) + std::to_string(res.evaluations);
    for (const BalanceDimResult& d : res.dims) text += " " + ShortestText(d.after);
    return text;
  };
  const long again = UnitsRunAgain();
  const std::string one = run(1);
  EXPECT_EQ(run(2), one);
  EXPECT_EQ(UnitsRunAgain(), again);
}

// The gear an earlier balance wrote flips to the other closure of the
// link's levers in reverse; the balance now rejects it, although no guard
// fires there.
TEST(Balance, AFlippingGearIsRejected) {
  ModelState s = test::Started();
  SetDim(s, 13, 0.5868f);
  SetDim(s, 17, 1.6712337f);
  SetDim(s, 22, 6.2394924f);
  SetDim(s, 23, 8.895167f);
  BalanceRequest r = Small();
  const BalanceScore sc = BalanceObjective(s, r);
  EXPECT_TRUE(sc.Rejected());
  EXPECT_GE(sc.sweepErrors, 6);
  EXPECT_GE(sc.objective, RejectedPenalty + 6 * RejectedPerSetting);
  // Its neighbour before the search is sound.
  SetDim(s, 17, 1.625f);
  SetDim(s, 22, 5.6f);
  SetDim(s, 23, 9.8f);
  EXPECT_FALSE(BalanceObjective(s, r).Rejected());
}

// A dimension that only draws cannot balance anything: the result says so,
// keeps the gear and is not worth applying; a real gain is, and its report
// compares the gear before and after at equal cut-offs, checked on the fine
// grid.
TEST(Balance, NoGainIsSaidAndAGainIsChecked) {
  ModelState s = Nominal();
  BalanceRequest r = Small();
  r.vary = {{"DriverDia"}};
  r.maxEvaluations = 4;
  r.verifyStep = 2;
  const BalanceResult none = Balance(s, r);
  EXPECT_FALSE(none.noGain.empty());
  EXPECT_FALSE(none.Gained());
  EXPECT_EQ(none.dims[0].after, none.dims[0].before);

  // The link-crank back set a fifth too long, and free to come back.
  SetDim(s, 13, 0.5868f);
  r.vary = {{"13"}};
  r.maxEvaluations = 8;
  const BalanceResult some = Balance(s, r);
  EXPECT_LT(some.dims[0].after, 0.56);
  EXPECT_LT(some.after.objective, some.before.objective);
  EXPECT_TRUE(some.noGain.empty()) << some.noGain;
  EXPECT_TRUE(some.Gained());
  EXPECT_TRUE(some.verified.Sound());
  EXPECT_EQ(some.verified.step, 2);
  EXPECT_EQ(some.verified.settings, 37);
  // Rows by cut-off on both sides and full gear: the same cut-offs before
  // and after, at different travels.
  ASSERT_EQ(some.beforeRows.rows.size(), some.afterRows.rows.size());
  ASSERT_EQ(some.beforeRows.rows.size(), 2 * RunningCutOffs().size() + 3);  // and full gear each side, mid gear
  for (size_t i = 0; i < 2 * RunningCutOffs().size(); ++i) {
    EXPECT_NEAR(MeanCutOff(some.afterRows.rows[i]), MeanCutOff(some.beforeRows.rows[i]), 0.01);
  }
  EXPECT_FALSE(some.changes.empty());
}

// The dialog's summary: one line per setting, in the header's columns, an
// absent event shown as "-".
TEST(Balance, RowsTextKeepsItsColumns) {
  ModelState s = Nominal();
  EventRequest q;
  q.side = EventRequest::Forward;
  q.values = {0.0f, 0.5f};
  q.method = EventMethod::Step;
  EventTable t = ValveEventsTable(s, q);
  ASSERT_EQ(t.rows.size(), 2u);
  t.rows[0].rear.cutOff.reset();
  std::istringstream text(BalanceRowsText(t));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 4u);
  for (const std::string& line : lines) EXPECT_EQ(line.size(), lines[1].size()) << line;
  EXPECT_EQ(lines[2].substr(16, 7), "      -");
  EXPECT_EQ(lines[3].substr(0, 8), "   0.500");
}

TEST(Balance, CommandLine) {
  const std::string out = (std::filesystem::temp_directory_path() / ("balance_" + std::to_string(getpid()) + ".json")).string();
  std::ostringstream o, e;
  ASSERT_EQ(RunCli({"balance", "--vary", "17:+-0.1", "--notches", "0.3,0.5", "--step", "4", "--max-evals", "3",
                    "--format", "json", "--out", out},
                   o, e),
            0)
      << e.str();
  EXPECT_NE(o.str().find("\"stop\":\"budget\",\"evaluations\":3,"), std::string::npos) << o.str();
  ModelState back;
  StartUp(back);
  LoadDimJsonAsWindowDoes(back, out);
  std::filesystem::remove(out);
  EXPECT_NE(GetDim(back, 17), 1.625f);
  for (std::vector<std::string> bad : {std::vector<std::string>{"balance"}, {"balance", "--vary", "17:2:1"},
                                       {"balance", "--vary", "Nope"}, {"balance", "--vary", "17", "--weights", "lap=1"},
                                       {"balance", "--vary", "17", "--side", "rev", "--notches", "0.3"}}) {
    std::ostringstream o2, e2;
    EXPECT_EQ(RunCli(bad, o2, e2), 2) << bad.back();
  }
}

}  // namespace
}  // namespace brevold

namespace brevold {

// A balance applied as edits is taken back and made again as a group: the
// gear, its mid gear and the reverse arm move together both ways.
TEST(Balance, AnAppliedBalanceUndoesAndRedoesWithItsMidGearAndReverseArm) {
  ModelState s = test::Nominal();
  s.mech.RevArmX = s.revArm.Positions[0] + 0.4f;
  const float armBefore = s.mech.RevArmX, midBefore = s.revArm.Positions[0];
  BalanceResult r;
  for (auto [id, after] : {std::pair{17, 1.9}, std::pair{10, 10.6}}) {
    BalanceDimResult d;
    d.dim.id = id;
    d.dim.shortName = FindDim(id)->shortName;
    d.before = GetDim(s, id);
    d.after = after;
    r.dims.push_back(d);
  }
  ApplyBalanceAsEdits(s, r);
  const float armAfter = s.mech.RevArmX, midAfter = s.revArm.Positions[0];
  ASSERT_NE(midAfter, midBefore);
  Undo(s);
  Undo(s);
  EXPECT_EQ(s.dims.frame.RadRodLiftPt, static_cast<float>(r.dims[0].before));
  EXPECT_EQ(s.dims.frame.RadRodLen, static_cast<float>(r.dims[1].before));
  EXPECT_EQ(s.revArm.Positions[0], midBefore);
  EXPECT_EQ(s.mech.RevArmX, armBefore);
  Redo(s);
  Redo(s);
  EXPECT_EQ(s.dims.frame.RadRodLiftPt, 1.9f);
  EXPECT_EQ(s.dims.frame.RadRodLen, 10.6f);
  EXPECT_EQ(s.revArm.Positions[0], midAfter);
  EXPECT_EQ(s.mech.RevArmX, armAfter);
  // And back once more from the redone entries.
  Undo(s);
  Undo(s);
  EXPECT_EQ(s.mech.RevArmX, armBefore);
}

}  // namespace brevold

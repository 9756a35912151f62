// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the model's hot paths: one solve, one post-calculation, a
// 360-angle sweep (what a diagram does per curve), the valve-events table
// and the sensitivity table at the nominal set; and a whole balancing
// search, with how soon it stops when cancelled.
// Each prints its time per solve or post-calculation ("us_each"); the
// post-calculation and the sweep also print their ratio to the single solve
// measured earlier in the same run ("x_solve"), so a loaded machine shows in
// both alike.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "bench/solveloop.h"
#include "model/balance.h"
#include "model/dimensions.h"
#include "model/revarm.h"
#include "model/solver.h"
#include "model/events.h"
#include "model/parallel.h"
#include "model/sensitivity.h"
#include "model/state.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seconds per solve of BM_Solve in this run (0 until it has run).
double gSolveSeconds = 0;

brevold::ModelState Running() {
  brevold::ModelState s;
  brevold::StartUp(s);
  s.mech.DrvAngle = 0;
  brevold::Solve(s);
  brevold::CalcCentre(s);
  return s;
}

// Wall time of the timed loop per unit, and the counters for it.
void Report(benchmark::State& st, Clock::duration elapsed, double units) {
  if (st.iterations() == 0) return;
  const double perUnit =
      std::chrono::duration<double>(elapsed).count() / (static_cast<double>(st.iterations()) * units);
  st.counters["us_each"] = perUnit * 1e6;
  if (gSolveSeconds > 0)
    st.counters["x_solve"] = perUnit / gSolveSeconds;
}

void BM_Solve(benchmark::State& st) {
  brevold::ModelState s = Running();
  const double perSolve = brevold::bench::TimeSolves(st, s);
  if (perSolve <= 0) return;
  st.counters["us_each"] = perSolve * 1e6;
  gSolveSeconds = perSolve;
}
BENCHMARK(BM_Solve);

void BM_PostCalc(benchmark::State& st) {
  brevold::ModelState s = Running();
  brevold::Solve(s);
  const auto t0 = Clock::now();
  for (auto _ : st) {
    brevold::PostCalc(s);
    benchmark::DoNotOptimize(s.valve.PistonUnits);
  }
  Report(st, Clock::now() - t0, 1);
}
BENCHMARK(BM_PostCalc);

void BM_Sweep360(benchmark::State& st) {
  brevold::ModelState s = Running();
  const auto t0 = Clock::now();
  for (auto _ : st) {
    for (int a = 0; a < 360; ++a) {
      s.mech.DrvAngle = static_cast<float>(a);
      brevold::Solve(s);
      brevold::PostCalc(s);
    }
    benchmark::DoNotOptimize(s.valve.OpenSteamF);
  }
  Report(st, Clock::now() - t0, 360);
}
BENCHMARK(BM_Sweep360)->Unit(benchmark::kMicrosecond);

// The valve-events table: the port diagram's 19 settings on both sides, on
// the diagram's 4-degree grid (bisection 0) and located by bisection
// (bisection 1), with its settings swept on 1, 2 and 4 threads (1: one after
// another on the calling thread); its ratio to one solve says how many
// solves' time a table costs.
void BM_EventsTable(benchmark::State& st) {
  brevold::SetSweepThreads(static_cast<int>(st.range(1)));
  brevold::ModelState s = Running();
  brevold::EventRequest r;
  r.side = brevold::EventRequest::Both;
  r.method = st.range(0) == 0 ? brevold::EventMethod::Step : brevold::EventMethod::Bisection;
  const auto t0 = Clock::now();
  for (auto _ : st) benchmark::DoNotOptimize(brevold::ValveEventsTable(s, r).rows.size());
  Report(st, Clock::now() - t0, 1);
  brevold::SetSweepThreads(0);
}
BENCHMARK(BM_EventsTable)
    ->ArgNames({"bisection", "threads"})
    ->ArgsProduct({{0, 1}, {1, 2, 4}})
    ->Unit(benchmark::kMillisecond);

// The same table on a gear whose link-crank search gives up at some angles
// (LinkCrankVert 135): the joints it leaves depend on the turn before, so
// every guessed start of a setting is wrong and every setting runs from its
// true start on the thread that keeps the order. Two threads should cost
// what one does, not more.
void BM_EventsTableEveryGuessWrong(benchmark::State& st) {
  brevold::SetSweepThreads(static_cast<int>(st.range(0)));
  brevold::ModelState s = Running();
  brevold::SetDim(s, 13, 135);
  brevold::Solve(s);
  brevold::CalcCentre(s);
  brevold::EventRequest r;
  r.side = brevold::EventRequest::Both;
  const long again = brevold::UnitsRunAgain();
  const auto t0 = Clock::now();
  for (auto _ : st) benchmark::DoNotOptimize(brevold::ValveEventsTable(s, r).rows.size());
  Report(st, Clock::now() - t0, 1);
  st.counters["run_again"] = static_cast<double>(brevold::UnitsRunAgain() - again) / static_cast<double>(st.iterations());
  brevold::SetSweepThreads(0);
}
BENCHMARK(BM_EventsTableEveryGuessWrong)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The sensitivity table of the nominal gear: every dimension but the driver
// diameter at 15, 25 and 40 % cut-off on the forward side (three searches
// for the settings, then 3 x (1 + 2 x 44) rows), on 1 and 2 threads; its
// ratio to one solve says how many solves' time a table costs.
void BM_SensitivityTable(benchmark::State& st) {
  brevold::SetSweepThreads(static_cast<int>(st.range(0)));
  const brevold::ModelState s = Running();
  const brevold::SensitivityRequest r;
  size_t rows = 0;
  const auto t0 = Clock::now();
  for (auto _ : st) {
    rows = brevold::Sensitivity(s, r).rows.size();
    benchmark::DoNotOptimize(rows);
  }
  Report(st, Clock::now() - t0, 1);
  st.counters["rows"] = static_cast<double>(rows);
  brevold::SetSweepThreads(0);
}
BENCHMARK(BM_SensitivityTable)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// One evaluation of a balance's objective on the nominal gear: the full
// travel on the 4-degree grid, then the events of the six running notches
// and full gear located by bisection, on 1 and 2 threads; "x_one_thread" is
// the time against the one-thread run measured just before it.
double gEvaluationSeconds = 0;
void BM_BalanceEvaluation(benchmark::State& st) {
  const int threads = static_cast<int>(st.range(0));
  brevold::SetSweepThreads(threads);
  const brevold::ModelState s = Running();
  brevold::BalanceRequest r;
  r.notches = brevold::BalanceTravels(s, r);
  const long again = brevold::UnitsRunAgain();
  const auto t0 = Clock::now();
  for (auto _ : st) benchmark::DoNotOptimize(brevold::BalanceObjective(s, r).objective);
  const auto elapsed = Clock::now() - t0;
  Report(st, elapsed, 1);
  const double each = std::chrono::duration<double>(elapsed).count() / static_cast<double>(std::max<long>(1, st.iterations()));
  if (threads == 1) gEvaluationSeconds = each;
  else if (gEvaluationSeconds > 0) st.counters["x_one_thread"] = each / gEvaluationSeconds;
  st.counters["run_again"] = static_cast<double>(brevold::UnitsRunAgain() - again) / static_cast<double>(std::max<long>(1, st.iterations()));
  brevold::SetSweepThreads(0);
}
BENCHMARK(BM_BalanceEvaluation)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A balance of the nominal gear over ten forward settings (the default ones)
// by the link-crank back set, the radius-rod lift point and the reverse-arm
// pivot's horizontal place, run to its tolerance: the seconds one search
// takes and the evaluations it needed.
void BM_Balance(benchmark::State& st) {
  const brevold::ModelState s = Running();
  brevold::BalanceRequest r;
  r.vary = {{"LinkCrankBkS"}, {"RadRodLiftPt"}, {"RevArmPivotHorz"}};
  brevold::BalanceResult res;
  for (auto _ : st) res = brevold::Balance(s, r);
  st.counters["seconds"] = res.seconds;
  st.counters["evaluations"] = res.evaluations;
  st.counters["cutoff_before"] = res.before.spread.cutOff.value_or(-1);
  st.counters["cutoff_after"] = res.after.spread.cutOff.value_or(-1);
}
BENCHMARK(BM_Balance)->Iterations(1)->Unit(benchmark::kSecond);

// The same search cancelled from another thread a quarter of a second in:
// the milliseconds from the flag going up to Balance returning. gear 1: one
// whose every search gives up (the link's levers never close), where a
// single setting's sweep takes a few hundred milliseconds, cancelled 0.1 s
// in, while the travels of the gear as given are still being found.
void BM_BalanceCancel(benchmark::State& st) {
  brevold::ModelState s = Running();
  const bool givesUp = st.range(0) == 1;
  if (givesUp) {
    s.dims.frame.LinkTopLevLen = 1e5f;
    brevold::Solve(s);
    brevold::CalcCentre(s);
  }
  brevold::BalanceRequest r;
  r.vary = {{"LinkCrankBkS"}, {"RadRodLiftPt"}, {"RevArmPivotHorz"}};
  double worst = 0;
  for (auto _ : st) {
    std::atomic<bool> cancel{false};
    Clock::time_point raised;
    std::thread stopper([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(givesUp ? 100 : 250));
      raised = Clock::now();
      cancel = true;
    });
    benchmark::DoNotOptimize(brevold::Balance(s, r, &cancel).evaluations);
    stopper.join();
    worst = std::max(worst, std::chrono::duration<double, std::milli>(Clock::now() - raised).count());
  }
  st.counters["ms_to_stop"] = worst;
}
BENCHMARK(BM_BalanceCancel)->ArgName("gear")->Arg(0)->Arg(1)->Iterations(10)->Unit(benchmark::kMillisecond);

// The events table of a gear whose every search gives up, cancelled from
// another thread 50 ms in, on 1 and 2 threads: the milliseconds from the
// flag going up to the table returning (a setting's turn alone takes
// hundreds of them).
void BM_EventsCancel(benchmark::State& st) {
  brevold::SetSweepThreads(static_cast<int>(st.range(0)));
  brevold::ModelState s = Running();
  s.dims.frame.LinkTopLevLen = 1e5f;
  brevold::Solve(s);
  brevold::CalcCentre(s);
  double worst = 0;
  for (auto _ : st) {
    std::atomic<bool> cancel{false};
    brevold::EventRequest r;
    r.cancel = &cancel;
    Clock::time_point raised;
    std::thread stopper([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      raised = Clock::now();
      cancel = true;
    });
    brevold::ModelState w = s;
    benchmark::DoNotOptimize(brevold::ValveEventsTable(w, r).rows.size());
    stopper.join();
    worst = std::max(worst, std::chrono::duration<double, std::milli>(Clock::now() - raised).count());
  }
  st.counters["ms_to_stop"] = worst;
  brevold::SetSweepThreads(0);
}
BENCHMARK(BM_EventsCancel)->ArgName("threads")->Arg(1)->Arg(2)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

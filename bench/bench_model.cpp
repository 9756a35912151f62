// Speed of the model's hot paths: one solve, one post-calculation and a
// 360-angle sweep (what a diagram does per curve) at the nominal set.
// Each prints its time per solve or post-calculation ("us_each"); the
// post-calculation and the sweep also print their ratio to the single solve
// measured earlier in the same run ("x_solve"), so a loaded machine shows in
// both alike.
#include <benchmark/benchmark.h>

#include <chrono>

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
void Report(benchmark::State& st, Clock::duration elapsed, double units, bool isSolveBaseline) {
  if (st.iterations() == 0) return;
  const double perUnit =
      std::chrono::duration<double>(elapsed).count() / (static_cast<double>(st.iterations()) * units);
  st.counters["us_each"] = perUnit * 1e6;
  if (isSolveBaseline)
    gSolveSeconds = perUnit;
  else if (gSolveSeconds > 0)
    st.counters["x_solve"] = perUnit / gSolveSeconds;
}

void BM_Solve(benchmark::State& st) {
  brevold::ModelState s = Running();
  float angle = 0;
  const auto t0 = Clock::now();
  for (auto _ : st) {
    s.mech.DrvAngle = angle;
    brevold::Solve(s);
    benchmark::DoNotOptimize(s.mech.PtX[4]);
    angle = angle >= 359 ? 0 : angle + 1;
  }
  Report(st, Clock::now() - t0, 1, true);
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
  Report(st, Clock::now() - t0, 1, false);
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
  Report(st, Clock::now() - t0, 360, false);
}
BENCHMARK(BM_Sweep360)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

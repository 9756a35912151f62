// Speed of the model's hot paths: one solve, one post-calculation and a
// 360-angle sweep (what a diagram does per curve) at the nominal set.
#include <benchmark/benchmark.h>

#include "model/state.h"

namespace {

brevold::ModelState Running() {
  brevold::ModelState s;
  brevold::StartUp(s);
  s.mech.DrvAngle = 0;
  brevold::Solve(s);
  brevold::CalcCentre(s);
  return s;
}

void BM_Solve(benchmark::State& st) {
  brevold::ModelState s = Running();
  float angle = 0;
  for (auto _ : st) {
    s.mech.DrvAngle = angle;
    brevold::Solve(s);
    benchmark::DoNotOptimize(s.mech.PtX[4]);
    angle = angle >= 359 ? 0 : angle + 1;
  }
}
BENCHMARK(BM_Solve);

void BM_PostCalc(benchmark::State& st) {
  brevold::ModelState s = Running();
  brevold::Solve(s);
  for (auto _ : st) {
    brevold::PostCalc(s);
    benchmark::DoNotOptimize(s.valve.PistonUnits);
  }
}
BENCHMARK(BM_PostCalc);

void BM_Sweep360(benchmark::State& st) {
  brevold::ModelState s = Running();
  for (auto _ : st) {
    for (int a = 0; a < 360; ++a) {
      s.mech.DrvAngle = static_cast<float>(a);
      brevold::Solve(s);
      brevold::PostCalc(s);
    }
    benchmark::DoNotOptimize(s.valve.OpenSteamF);
  }
}
BENCHMARK(BM_Sweep360)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

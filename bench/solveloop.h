// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The solve benchmark's timed loop, shared by both benchmark programs so
// that each measures its own baseline the same way in the same run.
#pragma once
#include <benchmark/benchmark.h>

#include <chrono>

#include "model/state.h"

namespace brevold::bench {

// Solves the driver round a degree at a time for as long as the benchmark
// asks; returns the wall seconds per solve (0 when nothing ran).
inline double TimeSolves(benchmark::State& st, ModelState& s) {
  float angle = 0;
  const auto t0 = std::chrono::steady_clock::now();
  for (auto _ : st) {
    s.mech.DrvAngle = angle;
    Solve(s);
    benchmark::DoNotOptimize(s.mech.PtX[4]);
    angle = angle >= 359 ? 0 : angle + 1;
  }
  const auto elapsed = std::chrono::steady_clock::now() - t0;
  if (st.iterations() == 0) return 0;
  return std::chrono::duration<double>(elapsed).count() / static_cast<double>(st.iterations());
}

}  // namespace brevold::bench

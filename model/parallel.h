// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sweeps on several cores. A diagram's or the events table's sweep is a run
// of solves, each starting from the state the one before left. Little
// carries over from solve to solve: the step the last search ended on (read
// only to decide whether a clamped cosine is an error), the raised error and
// solve status (only ever raised), and, where a search gave up, the joints it
// never reached. So a sweep is cut into stretches ("units") that run at once
// on a small pool of threads, each on its own copy of the state, each from a
// guess of the state the stretch before it ends in (a solve at that
// stretch's last setting and driver angle). One thread runs the stretches in
// order from their true starts, as the plain sweep does, while the others
// run stretches from the far end from their guesses; where they meet, each
// guessed stretch is taken if its guess is bit for bit the state the one
// before really ended in, else run again from the true state. Whatever the
// guesses, the results are those of the sweep run from end to end on one
// thread, and a sweep whose guesses are all wrong (searches that gave up
// leave joints the guess cannot know) costs no more than the plain one.
//
// A sweep keeps what its caller needs of the state as it goes (each unit
// writes its own slots of the caller's records), so nothing but solving
// happens on the pool and the records come out the same whatever the number
// of threads.
#pragma once
#include <functional>
#include <vector>

#include "model/state.h"

namespace brevold {

// How many threads the sweeps use: SetSweepThreads's value if set, else
// BREVOLD_THREADS from the environment, else the machine's cores. One thread
// is the plain sweep, solve after solve on the calling thread.
int SweepThreads();
// 0 goes back to the environment's or the machine's count.
void SetSweepThreads(int threads);

// What a solve and its post-calculation write: the mechanism, the valve
// values, and the frame (the solver replaces a zero radius-rod lever in it).
struct SolvedState {
  Mechanism mech;
  ValveEvents valve;
  FrameDims frame;
  void Take(const ModelState& s);
  void Put(ModelState& s) const;
};

// Whether two states are the same, bit for bit, in all that the next solve
// can read: everything but the error flag and the solve status, which the
// model only ever raises and never reads.
bool SameForNextSolve(const SolvedState& a, const SolvedState& b);

// Puts a state recorded in a unit back into s. A unit starts with the error
// flag and the solve status cleared, so the recorded ones say what the unit
// raised: s keeps its own unless the unit raised them, as in the plain sweep.
void Restore(ModelState& s, const SolvedState& recorded);

// A sweep cut into units.
struct UnitSweep {
  int units = 0;
  // Runs unit u on s, which stands as unit u-1 left it (unit 0: as the sweep
  // starts). May write only what the solver writes (SolvedState) and the
  // unit's own records, which it starts afresh: a unit may run twice.
  std::function<void(ModelState& s, int u)> run;
  // Given the sweep's start state, puts s where unit u ends, as near as a
  // guess can (usually: u's last setting and angle, and a solve there).
  std::function<void(ModelState& s, int u)> guessEnd;
};

struct UnitRun {
  std::vector<SolvedState> end;  // where each unit ended; flags as Restore reads them
  int runAgain = 0;              // units whose guessed start was wrong
};

// Runs the units on `threads` threads (the caller among them) from copies
// of s, which is left as it is, and makes good every wrong guess: `end` is
// then what the plain sweep gives. The pool's threads run with the caller's
// floating-point environment; an exception in a unit comes out here. When
// another sweep has the pool, the units run one after another on the caller.
UnitRun RunUnits(const ModelState& s, const UnitSweep& sweep, int threads);

// The units on s itself when one thread is asked or there is a single unit:
// one after another on the calling thread, s going on from each to the next
// as the plain sweep does, and an empty `end` returned. Else RunUnits, from
// copies of s, and the caller puts back what it needs of the run's ends.
UnitRun RunUnitsOn(ModelState& s, const UnitSweep& sweep, int threads);

// Units run again since the program started, over every sweep (a wrong
// guess costs time, never exactness; the tests read it).
long UnitsRunAgain();

// A sweep of rows of samples (the steam, oval and sine diagrams' curves).
struct CurveSweep {
  int rows = 0, samples = 0;
  // The row's setting, then each sample's angle and solve.
  std::function<void(ModelState& s, int row)> setRow;
  std::function<void(ModelState& s, int row, int sample)> solve;
  // Given the sweep's start state, what the sweep carries into (row, sample)
  // apart from what the solves write: the row's setting, and the driver
  // angle where each sample turns on from the last. Empty: setRow alone.
  std::function<void(ModelState& s, int row, int sample)> position;
  // What the caller keeps: the state just after a row's setting, and just
  // after each sample's solve. Called on whichever thread runs that stretch,
  // and again for a sample whose stretch runs again; each call may write only
  // its own row's or sample's record.
  std::function<void(const ModelState& s, int row)> keepRow;
  std::function<void(const ModelState& s, int row, int sample)> keepSample;
};
// Runs the sweep; s is left where the plain sweep leaves it.
void SweepCurves(ModelState& s, const CurveSweep& sweep, int threads);

// The driver angle SweepPortRow leaves after `samples` steps of `step`.
float SweepPortRowEndAngle(float step, int samples);

}  // namespace brevold

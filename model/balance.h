// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Balancing the valve events: a search for the dimensions that make the
// events at the two ends of the cylinder alike over the notches the engine
// works in, in the order a designer puts them: equal lead at both ends, held
// near what it was; then equal cut-offs at the running notches (15 to 40 %);
// release and compression last. The user names the dimensions that may move
// and their bounds. A candidate is judged from its valve-events table
// (model/events) by a weighted sum of squares, and is acceptable only if
// every setting of the full travel on both sides is sound (model/soundness:
// no guard, no abandoned search, the die in its link and on its line, no
// valve jump); what the designer would lose unasked - full-gear cut-off and
// the largest port opening - is held within a margin unless allowed. The
// result is checked again on a fine grid, and the report lists what changed
// that the objective did not ask for. The search itself is a derivative-free
// local method with bounds (BOBYQA), deterministic: the same gear and request
// give the same result.
//
// Balance works on its own copy of the gear and may run on a worker thread;
// the sweeps of each evaluation run on the sweeps' threads (model/parallel)
// with the same result as on one. It looks at the cancel flag between the
// sweeps of single settings, a few milliseconds apart.
#pragma once
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/events.h"

namespace brevold {

struct ModelState;

// A dimension the search may move, as the user names it: an id ("13") or a
// field name ("LinkCrankBkS"), with its bounds.
struct BalanceVary {
  std::string key;
  enum Bounds {
    Default,    // today's value +- DefaultBoundFraction of it (at least DefaultBoundMinimum)
    Interval,   // a..b
    PlusMinus,  // today's value +- a
  } bounds = Default;
  double a = 0, b = 0;
};
// A fifth of today's value either side; a dimension of 0 gets DefaultBoundMinimum.
constexpr double DefaultBoundFraction = 0.2, DefaultBoundMinimum = 0.01;

// Weights of the terms. Lead is measured where the piston stops and counted
// in percent of the gear's lap plus lead (half the valve travel at mid gear,
// 0.182 on the nominal gear), so that 0.01 of lead difference weighs about
// as much as 5 % of stroke of cut-off difference: a designer sets equal lead
// first. leadHold keeps each end's lead near its value before the search.
struct BalanceWeights {
  double lead = 2, leadHold = 1, cutOff = 1, release = 0.25, compression = 0.25;
};

// The running notches balanced over by default, as mean cut-offs.
inline const std::vector<float>& RunningCutOffs() {
  static const std::vector<float> c = {15, 20, 25, 30, 35, 40};
  return c;
}

struct BalanceRequest {
  std::vector<BalanceVary> vary;
  EventRequest::Side side = EventRequest::Forward;
  // The settings balanced over, as travels from mid gear (forward positive).
  // Empty: the travels that give the cut-offs below on the gear as given.
  std::vector<float> notches;
  std::vector<float> cutOffs = RunningCutOffs();
  // How each event is located (bisection: smooth in the dimensions).
  EventMethod method = EventMethod::Bisection;
  float step = PortRowStep;
  BalanceWeights weights;
  // What the search may not give up unless allowLoss: the full-gear cut-off
  // of either end falling by more than fullGearMargin (% of stroke), or the
  // largest opening of either end at a balanced setting by more than
  // openingMargin of its value. Each excess adds lossWeight * excess^2
  // (the opening's in percent of the port width).
  bool allowLoss = false;
  double fullGearMargin = 2, openingMargin = 0.1, lossWeight = 100;
  // Optional targets. The cut-off at full gear, at both ends, no lower than
  // this percentage: each end short of it adds fullGearWeight * shortfall^2
  // (an end without a cut-off counts as 0 %).
  std::optional<double> minFullGearCutOff;
  double fullGearWeight = 1;
  // The lead at both ends of every setting within lo..hi: each end outside
  // adds leadBandWeight * excess^2 (1e4: 0.01 length units count as 1 % of
  // stroke does).
  std::optional<std::pair<double, double>> leadBand;
  double leadBandWeight = 1e4;
  // Stops: evaluations of the objective, the dimensions' last steps below
  // this fraction of their bound ranges.
  int maxEvaluations = 120;
  double tolerance = 1e-3;
  // Local searches: the first from today's values, the others from fixed
  // points spread over the bounds; each is begun afresh from the best gear
  // while that pays. All share the evaluation budget.
  int starts = 1;
  // The grid the result is checked on over the full travel, both sides.
  float verifyStep = 0.5f;
};

// A dimension as resolved against the gear: id, names and bounds.
struct BalanceDim {
  int id = 0;
  std::string field, shortName;
  double lo = 0, hi = 0;
};
// Resolves the request's dimensions against the gear's values. Returns an
// empty string, or what is wrong ("unknown dimension key 'X'", an empty or
// reversed interval, a dimension named twice).
std::string ResolveBalanceDims(const ModelState& s, const std::vector<BalanceVary>& vary, std::vector<BalanceDim>& out);

// What a candidate pays: an event that does not happen at a balanced setting
// counts as a difference of the whole stroke, on its term's weight; a
// balanced setting that is unsound adds SettingErrorPenalty. A gear with an
// unsound setting on its full travel is rejected: never taken while a gear
// that passes has been seen, and charged RejectedPenalty plus
// RejectedPerSetting for each unsound setting, so that the search is pushed
// back by about as much as it strays. All finite, so the search keeps its
// bearings.
constexpr double AbsentEventDifference = 100;
constexpr double SettingErrorPenalty = 1e3;
constexpr double RejectedPenalty = 1e3, RejectedPerSetting = 1e2;

// The largest |front minus rear| of each event over the balanced settings;
// absent where the event is missing at every one. Lead at the dead centres.
struct BalanceSpread {
  std::optional<double> cutOff, lead, release, compression;
};

struct BalanceScore {
  double objective = 0;      // the weighted sum with every penalty
  BalanceSpread spread;
  int absentEvents = 0;      // weighted differences missing at a balanced setting
  int errorSettings = 0;     // balanced settings that are unsound
  int sweepErrors = 0;       // unsound settings of the full travel (4-degree grid)
  int losses = 0;            // full-gear cut-offs and openings beyond their margins
  bool Rejected() const { return sweepErrors > 0; }
};

// The travels balanced over, from the gear as given: the request's notches,
// or those that give its cut-offs (mid gear found first). With `cancel`
// raised part-way, those found so far.
std::vector<float> BalanceTravels(const ModelState& s, const BalanceRequest& r,
                                  const std::atomic<bool>* cancel = nullptr);

// The valve-events request of the settings balanced over: the travels of
// BalanceTravels about the gear's mid gear, Positions[0], so CalcCentre
// first if a dimension has moved since.
EventRequest BalanceEvents(const std::vector<float>& travels, const BalanceRequest& r);

// The objective of a gear as it stands, against itself as the "before" gear
// (so no lead-hold or loss terms): mid gear recalculated, the full-travel
// check, then the events of the balanced travels scored. Works on a copy.
BalanceScore BalanceObjective(const ModelState& s, const BalanceRequest& r);

// A quantity the balance changed that the objective did not ask for.
struct BalanceChange {
  // "fwd full gear: cut-off front (%)"; "notches: least opening" is the
  // smallest of the largest openings at the cut-offs compared.
  std::string what;
  std::optional<double> before, after;
};

struct BalanceDimResult {
  BalanceDim dim;
  double before = 0, after = 0;  // after: the single the gear stores
  bool atBound = false;          // ended within a thousandth of its range of a bound
};

struct BalanceResult {
  enum Stop {
    Tolerance,  // the steps fell below the tolerance
    Budget,     // the evaluation budget ran out
    Cancelled,  // the cancel flag was raised; the best gear so far is kept
    Failed,     // the search could not begin or go on: see message
  } stop = Failed;
  std::string message;
  std::vector<BalanceDimResult> dims;
  std::vector<float> travels;  // the settings balanced over
  BalanceScore before, after;  // after: the best gear found (before if none better)
  int evaluations = 0;         // the start's evaluation included
  double seconds = 0;
  // The full travel of the result and of the gear as given, both sides, on
  // the fine grid; candidates that failed there and were passed over.
  TravelCheck verified, verifiedBefore;
  int failedVerification = 0;
  // Before and after at equal cut-offs (the request's cut-offs, and full
  // gear), and what changed beside the objective.
  EventTable beforeRows, afterRows;
  std::vector<BalanceChange> changes;
  // When nothing was gained: why, and the dimensions that move the
  // cut-off difference most on this gear (strongest first).
  std::string noGain;
  std::vector<std::string> strongest;
  // Whether the result is worth applying: a gain over the gear as given, a
  // sound full travel on the fine grid, and no failure.
  bool Gained() const;
};

// "tolerance", "budget", "cancelled", "failed".
const char* StopName(BalanceResult::Stop stop);
// Why the search stopped, as a sentence: "the steps fell below the
// tolerance", "the evaluation budget ran out", "cancelled", "it failed".
const char* StopReason(BalanceResult::Stop stop);

// What the balance is about, a line per setting: the cut-off at each end and
// their difference, the lead likewise, and the release and compression
// differences ("-" where an event is absent). Narrow enough to read two
// side by side.
std::string BalanceRowsText(const EventTable& t);

// What else changed, a line each: the quantity, before and after ("-" where
// absent), in columns.
std::string BalanceChangesText(const std::vector<BalanceChange>& changes);

// The Balance Events dialog's account of a result: why it stopped, the
// objective and largest differences, each dimension before and after, the
// check on the fine grid, what else changed, and why nothing is offered
// when nothing was gained.
std::string BalanceSummary(const BalanceResult& r);

// Searches from a copy of `start`. `cancel` (may be null) is looked at
// between single settings; `progress` (may be empty) hears the evaluations
// so far and the best objective after each one, on the searching thread.
BalanceResult Balance(const ModelState& start, const BalanceRequest& r, const std::atomic<bool>* cancel = nullptr,
                      const std::function<void(int evals, double best)>& progress = {});

// Stores the result's values in the gear as the dimension editors store a
// typed value (the fixed pivots' display copies follow), empties the
// cut-off readouts and recalculates mid gear, with the reverse arm put there
// as closing an editor does. Records no undo entry.
void ApplyBalance(ModelState& s, const BalanceResult& r);

// The same as the user's edits: each dimension the result changes is stored
// as a value typed into its editor field and left (one undo entry each, the
// last one the newest dynamic variable), then the readouts and mid gear as
// ApplyBalance leaves them.
void ApplyBalanceAsEdits(ModelState& s, const BalanceResult& r);

}  // namespace brevold

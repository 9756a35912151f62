// Balancing the valve events: a search for the dimensions that make the
// events at the two ends of the cylinder alike - the same cut-off, lead,
// release and compression front and rear - over the notches the engine works
// in. The user names the dimensions that may move and their bounds; each
// candidate gear is judged from its valve-events table (model/events) by a
// weighted sum of squares of the front-minus-rear differences, and swept over
// the full travel on both sides so that a gear that balances well where it is
// asked to but breaks elsewhere is refused. The search itself is a
// derivative-free local method with bounds (BOBYQA), deterministic: the same
// gear and request give the same result.
//
// Balance works on its own copy of the gear and may run on a worker thread;
// it looks at the cancel flag between the sweeps of single settings, a few
// milliseconds apart.
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
constexpr double DefaultBoundFraction = 0.2, DefaultBoundMinimum = 0.1;

// Weights of the four front-minus-rear terms. Cut-off, release and
// compression differences are in percent of stroke, the lead difference in
// the gear's length units (so a weight of 1 on lead counts 0.01 in as 0.0001).
struct BalanceWeights {
  double cutOff = 1, lead = 1, release = 0.5, compression = 0.5;
};

struct BalanceRequest {
  std::vector<BalanceVary> vary;
  // The settings balanced over, as travels from mid gear (forward positive)
  // of the candidate gear. Empty: ten from a tenth of the normal travel
  // (RevArmNorm) to the normal travel, on each side asked for.
  EventRequest::Side side = EventRequest::Forward;
  std::vector<float> notches;
  // How each event is located (bisection: smooth in the dimensions).
  EventMethod method = EventMethod::Bisection;
  float step = PortRowStep;
  BalanceWeights weights;
  // Optional targets. The cut-off at full gear (travel RevArmMax on each side
  // balanced), at both ends, no lower than this percentage: each end short
  // of it adds fullGearWeight * shortfall^2 (an end without a cut-off
  // counts as 0 %).
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
// balanced setting where a solve raises the geometry error (or a search
// fails) adds SettingErrorPenalty. A gear whose full-travel sweep raises it
// is rejected: never taken while a gear that passes has been seen, and
// charged RejectedPenalty plus RejectedPerSolve for each solve that raised
// it, so that the search is pushed back by about as much as it strays. All
// finite, so the search keeps its bearings.
constexpr double AbsentEventDifference = 100;
constexpr double SettingErrorPenalty = 1e3;
constexpr double RejectedPenalty = 1e3, RejectedPerSolve = 1e2;

// The largest |front minus rear| of each event over the balanced settings;
// absent where the event is missing at every one.
struct BalanceSpread {
  std::optional<double> cutOff, lead, release, compression;
};

struct BalanceScore {
  double objective = 0;      // the weighted sum with every penalty
  BalanceSpread spread;
  int absentEvents = 0;      // weighted differences missing at a balanced setting
  int errorSettings = 0;     // balanced settings where a solve raised the geometry error
  int sweepErrors = 0;       // solves of the full-travel sweep that raised it
  bool Rejected() const { return sweepErrors > 0; }
};

// The valve-events request of the settings balanced over, for the gear as it
// stands: travels about its mid gear, Positions[0], so CalcCentre first if
// a dimension has moved since.
EventRequest BalanceEvents(const ModelState& s, const BalanceRequest& r);

// The objective of a gear as it stands: mid gear recalculated, the
// full-travel sweep (the port diagram's 19 rows on each side on its 4-degree
// grid) and the balanced settings' own sweeps watched for the geometry
// error, then the events table of BalanceEvents scored. Works on a copy.
BalanceScore BalanceObjective(const ModelState& s, const BalanceRequest& r);

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
  BalanceScore before, after;  // after: the best gear found (before if none better)
  int evaluations = 0;         // the start's evaluation included
  double seconds = 0;
};

const char* StopName(BalanceResult::Stop stop);

// What the balance is about, a line per setting: the cut-off at each end and
// their difference, the lead likewise, and the release and compression
// differences ("-" where an event is absent). Narrow enough to read two
// side by side.
std::string BalanceRowsText(const EventTable& t);  // "tolerance", "budget", "cancelled", "failed"

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

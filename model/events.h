// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve events of a gear as numbers: for each reverse-arm setting and
// each cylinder end, where the piston stands and where the driver is at
// admission, cut-off, release and compression, with the lead, the largest
// steam-port opening and the valve travel. The port diagram draws its curves
// from the same sweep (SweepPortRow), so a table taken with the diagram's
// 4-degree step holds exactly the points the diagram draws through.
#pragma once
#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/numfmt.h"
#include "model/soundness.h"

namespace brevold {

struct ModelState;

// The eight port events the sweep watches, in the order it reports them
// within one step.
enum PortEventKind : int {
  AdmissionFront = 0, ReleaseFront, AdmissionRear, ReleaseRear,
  CutOffFront, CompressionFront, CutOffRear, CompressionRear, PortEventCount
};
constexpr bool EventAtFront(int kind) { return kind == AdmissionFront || kind == ReleaseFront || kind == CutOffFront || kind == CompressionFront; }

// One port opening or closing between two successive samples of a sweep.
struct PortCrossing {
  int kind;        // PortEventKind
  int sample;      // the sample at which it is first seen (1..)
  LD piston;       // PistonUnits (0..640) interpolated linearly to the crossing
  LD angle;        // driver angle interpolated likewise, unwrapped (may pass 360 or 0)
  LD beforeAngle;  // the unwrapped angles of the two samples around it
  LD afterAngle;
};

// The port diagram's rows: 19 settings from mid gear to RevArmMax.
constexpr int PortRows = 19;
// Samples of one row: the driver turned 4 degrees at a time, 91 times, from 0.
constexpr int PortRowSamples = 91;
constexpr float PortRowStep = 4;

// RevArmX of row `row` (0..18) of the port diagram on the forward or reverse
// side, in the sense of the last solve.
float PortRowRevArm(const ModelState& s, bool forward, int row);

// The driver angle wrapped into 0..360 as the sweeps step it.
float WrapAngle(LD angle);
// The linkage solved with the driver at `angle` (wrapped), and its valve
// events worked out.
void SolveAt(ModelState& s, LD angle);

// Whether a cancel flag (none: never) has gone up.
inline bool Raised(const std::atomic<bool>* cancel) { return cancel && cancel->load(std::memory_order_relaxed); }

// Turns the driver from 0 through `samples` steps of `step` degrees (negative
// runs backward) at the current RevArmX, solving each, and reports every port
// opening (>= 0 after < 0) and closing (<= 0 after > 0) between successive
// samples, in PortEventKind order within a step. `onSample` sees the state
// after each solve. Leaves DrvAngle at the last sample. With `cancel` raised
// it stops before the next solve and returns false (true: every sample ran).
bool SweepPortRow(ModelState& s, float step, int samples, const std::function<void(const PortCrossing&)>& onCrossing,
                  const std::function<void(const ModelState&)>& onSample = {},
                  const std::atomic<bool>* cancel = nullptr);

// Where an event happens: driver angle in degrees (0..360) and piston
// position in percent of stroke, front end from the front dead centre, rear
// end from the rear dead centre (the port diagram's scales).
struct EventPoint {
  double angle = 0;
  double percent = 0;
  LD pistonUnits = 0;  // the sweep's PistonUnits at the event, 0..640
  // The crank angle from this end's dead centre (where the piston stops) in
  // the running direction, -180..180: negative before it. Admission before
  // the dead centre is pre-admission; after it, a blind port.
  double crank = 0;
};

struct EndEvents {
  std::optional<EventPoint> admission, cutOff, release, compression;
  double lead = 0;                     // steam-port opening at crank 0 (front) or 180 degrees (rear)
  // The driver angle where the piston stops at this end (PistonDeadCentres)
  // and the steam-port opening there: the lead as a fitter measures it.
  // Absent when the main rod cannot reach the cylinder line.
  std::optional<double> deadCentre, deadCentreLead;
  // Largest steam-port opening, held to the port's width; absent if it never
  // opens. overTravel: how far the valve edge runs past the port's far edge.
  std::optional<double> maxOpening;
  double overTravel = 0;
};

struct EventSetting {
  bool forward = true;  // the driver turns forward (the forward side of mid gear)
  float revArmX = 0;
  LD travel = 0;        // from mid gear, forward side positive
};

struct EventRow {
  EventSetting setting;
  EndEvents front, rear;
  double valveTravel = 0;  // largest minus smallest ValveDisp over a turn
  // A geometry guard fired or a search ran out of passes at a sample of the
  // row or at one of its events.
  bool solveFailed = false;
  // The verdict of the row's turn on its sampling grid and of the solves
  // that locate its events, and the die's slip and margin in the link.
  Soundness sound;
  // The mean cut-off this row was asked for (rows by cut-off).
  std::optional<double> targetCutOff;
};

enum class EventMethod { Step, Bisection };

// Which settings a table covers.
struct EventRequest {
  enum Side { Forward, Reverse, Both } side = Both;
  // Empty: the port diagram's 19 rows per side. Otherwise these values, as
  // travels from mid gear (forward side positive) or as RevArmX values.
  std::vector<float> values;
  bool valuesAreRevArm = false;
  EventMethod method = EventMethod::Bisection;
  float step = PortRowStep;  // the sampling step; Step takes its figures from it
  // Rows by cut-off instead: for each side asked for, the setting whose mean
  // of the front and rear cut-offs is each of these percentages (values are
  // then not read).
  std::vector<float> cutOffs;
  // Looked at between settings: a raised flag ends the table early.
  const std::atomic<bool>* cancel = nullptr;
  // Hears the settings done and their number; may be called from several
  // threads at once.
  std::function<void(int done, int total)> progress;
  // Only the cut-offs located by the method (the other events taken from the
  // samples, the extremes not refined): what the search for a setting by its
  // cut-off needs, at a third of the cost.
  bool cutOffsOnly = false;
};

struct EventTable {
  EventMethod method;
  float step;
  std::vector<EventRow> rows;
  bool cancelled = false;
  // What could not be given: a cut-off asked for that the gear does not reach.
  std::vector<std::string> notes;
};

// Runs the sweeps for every setting asked for. The rows of one side follow
// each other as the port diagram's rows do; the state is left exactly as it
// was found. With EventMethod::Step and the diagram's step, the forward (and
// the reverse) rows are the port diagram's rows point for point. When an
// event happens more than once in a turn the last one counts, as on the
// diagram. The bisection locates each event found on the grid to better than
// 1e-4 degrees and the extremes of the opening and of ValveDisp by a
// golden-section search; both are bounded in solves.
EventTable ValveEventsTable(ModelState& s, const EventRequest& request);

// One turn at a reverse-arm setting on a grid of `step` degrees, forward or
// backward from 0 as the port diagram's rows turn, watched for soundness.
// Leaves the joints at the last sample. None when `cancel` went up part-way.
std::optional<Soundness> TurnSoundness(ModelState& s, float revArmX, bool forward, float step,
                                       const std::atomic<bool>* cancel = nullptr);

// The full travel on both sides, the port diagram's 19 settings a side, each
// turned on a grid of `step` degrees: how many settings are unsound and the
// first met. The state is left as it was.
struct TravelCheck {
  float step = PortRowStep;
  int settings = 0, unsound = 0;
  bool cancelled = false;
  // The first unsound setting: its travel from mid gear and its verdict.
  std::optional<std::pair<double, Soundness>> first;
  bool Sound() const { return unsound == 0 && !cancelled; }
  // "sound at all 37 settings" or "unsound at 4 of 37 settings, first at
  // travel -0.55: die beyond link end at 212 degrees".
  std::string Describe() const;
};
TravelCheck FullTravelCheck(ModelState& s, float step, const std::atomic<bool>* cancel = nullptr);

// The mean of the front and rear cut-offs of a row in percent of stroke (an
// end that never cuts off counts as 100).
double MeanCutOff(const EventRow& row);

// Front minus rear of a row's piston positions, lead and largest opening;
// absent where either end lacks the event.
struct EventDifference {
  std::optional<double> admission, cutOff, release, compression, lead, maxOpening, deadCentreLead;
};
EventDifference FrontMinusRear(const EventRow& row);

// A column of the table: its identifier in CSV and JSON, its heading in
// words with its unit, and whether the Valve Events window shows it at first.
struct EventColumn {
  const char* id;
  const char* title;
  bool shownAtFirst;
};
const std::vector<EventColumn>& EventColumns();

enum class EventCellStyle { Csv, Json, Text };
// The cells of every line of the table (a setting's front, rear and
// front-minus-rear lines) in EventColumns() order. Csv and Json write numbers
// so that they read back exactly, absent values empty or null; Text is for
// reading: six figures, "-" for absent values, yes/no, the verdict in words.
std::vector<std::vector<std::string>> EventCells(const EventTable& t, EventCellStyle style);

// The valve-events table as CSV (a header row, then one row per setting and
// end), JSON (one object per line) or aligned text. Absent events are empty
// in CSV, null in JSON and "-" in text; numbers are written so they read back
// exactly.
std::string FormatEvents(const EventTable& t, const std::string& format);

}  // namespace brevold

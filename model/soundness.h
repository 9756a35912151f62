// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a turn of the gear can be trusted, and where the die rides in the
// link. The solver stands for the expansion link by a lever system (the top,
// middle and bottom levers and the radius-rod levers, joints 22 to 25); that
// system closes in two ways, and only one of them is the die sliding in the
// link's slot. A solve can also go through a guard or give up its search. A
// TurnWatch follows the samples of one turn of the driver at one setting and
// gives the setting's verdict: sound, or the first fault met.
//
// The die (joint 8) is measured in the link's own frame: along the link from
// the centre pivot (joint 9) toward its top end (joint 22) as positive, and
// off the link's straight centre line. A real link is curved to about the
// radius rod's length, so the die stands a little off the straight line near
// the ends (about 0.1 on the nominal gear at full gear); the closure the
// solver must not take puts it a whole link length away.
#pragma once
#include <optional>
#include <vector>

#include "model/numfmt.h"

namespace brevold {

struct ModelState;

// The die's place in the link at the last solve.
struct DiePlace {
  LD along = 0;  // from the centre pivot along the link, toward the top end positive
  LD off = 0;    // distance off the link's centre line, signed
};
DiePlace DieInLink(const ModelState& s);

enum class Fault {
  None,             // sound
  GuardFired,       // a geometry guard raised the error
  SearchAbandoned,  // a search ran out of passes
  DieBeyondLinkEnd, // the die stood past an end of the link
  DieOffLinkLine,   // the die stood far off the link's line: the other closure
  ValveJump,        // the valve moved between two samples far more than at the others
};
// "sound", "guard fired", "search abandoned", "die beyond link end",
// "die off link line", "valve jump".
const char* FaultName(Fault f);

// The thresholds of the verdict. The die is off its line when it stands more
// than DieOffLineShare of the link's half length from it; the nominal gear
// reaches about 0.06 of it at full gear, the other closure well over 1. A
// valve jump is a step of ValveDisp between two samples more than
// ValveJumpFactor times the turn's median step (and above a floor of
// ValveJumpFloor of the stroke, so that a valve that hardly moves is not
// judged by its rounding); the nominal gear's largest step is under 1.8 times the
// median.
constexpr double DieOffLineShare = 0.5;
constexpr double ValveJumpFactor = 10;
constexpr double ValveJumpFloor = 1e-4;

// A setting's verdict and what the die did over the turn.
struct Soundness {
  Fault fault = Fault::None;
  double faultAngle = 0;   // the driver angle of the first sample where the fault was met
  int samples = 0;
  double dieMin = 0, dieMax = 0;  // the die's travel along the link over the turn
  double dieOffMax = 0;           // its largest distance off the line
  double linkHalf = 0;            // the link's half length (LinkUpLowLen)
  bool Sound() const { return fault == Fault::None; }
  // Largest minus smallest place along the link over the turn.
  double Slip() const { return dieMax - dieMin; }
  // The distance from the die's farthest place to the nearer end of the link
  // (negative: beyond it).
  double Margin() const;
};

// Follows one turn: Start clears the sticky error flag and status and makes
// the guards report (BeepOnError on: the caller puts its own setting back
// afterwards, see ReportingGuards); Sample is called after each solve;
// Finish gives the verdict.
class TurnWatch {
 public:
  void Start(ModelState& s);
  void Sample(const ModelState& s);
  Soundness Finish(const ModelState& s);

 private:
  void Met(Fault f, double angle, int index);
  Soundness v_;
  int faultIndex_ = -1;
  std::vector<float> disp_, angle_;
};

// The driver angles, in degrees, where the piston stops: the crank and the
// main rod in line (crosshead farthest toward the front, near 0 degrees, and
// nearest the axle, near 180), found by bisection on the crosshead's
// movement as the solver places it (the cylinder line's height above the
// axle included). Absent when the main rod cannot reach the cylinder line
// through the whole turn. Front in -90..90, rear in 90..270.
struct DeadCentres {
  std::optional<LD> front, rear;
};
DeadCentres PistonDeadCentres(const ModelState& s);

// The driver angle a turned from the dead centre dc in the running
// direction, in -180..180 (negative: before the dead centre).
LD FromDeadCentre(LD a, LD dc, bool forward);

}  // namespace brevold

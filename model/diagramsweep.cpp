// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve diagrams' sweeps, kept as records for their pictures.
#include "model/diagramsweep.h"

#include <algorithm>

#include "model/solver.h"
#include "model/valve.h"

namespace brevold {

namespace {

// Saves and restores the driver angle and reverse arm around a sweep.
struct SavedSetting {
  explicit SavedSetting(Mechanism& m) : m_(m), revArm(m.RevArmX), angle(m.DrvAngle) {}
  ~SavedSetting() {
    m_.RevArmX = revArm;
    m_.DrvAngle = angle;
  }
  SavedSetting(const SavedSetting&) = delete;
  SavedSetting& operator=(const SavedSetting&) = delete;
  Mechanism& m_;
  float revArm, angle;
};

// One step of the steam card's driver: 4 degrees in the direction the gear
// drives at this reverse-arm position, by the sense of the last solve.
void SteamTurn(ModelState& m) {
  const Mechanism& me = m.mech;
  const bool above = me.RevArmX >= m.revArm.Positions[0];
  const bool same = SensePositive(me);
  const bool differ = (me.LiftArmSgn > 0 && me.EccDiaSolved < 0) || (me.LiftArmSgn < 0 && me.EccDiaSolved > 0);
  const bool forwards = (above && same) || (!above && differ);
  m.mech.DrvAngle = WrapAngle(static_cast<LD>(m.mech.DrvAngle) + (forwards ? 4 : -4));
}

void SetCurveRow(ModelState& s, int row) { s.mech.RevArmX = s.revArm.Positions[static_cast<size_t>(row + 1)]; }

// The records of a curve sweep: a slot for every row and sample, each filled
// by whichever thread solves it.
CurveRecord CurveSlots(int rows, int samples) {
  CurveRecord out;
  out.rows.resize(static_cast<size_t>(rows));
  for (CurveRow& r : out.rows) r.samples.resize(static_cast<size_t>(samples));
  return out;
}

void KeepRow(CurveRecord& out, const ModelState& s, int row) {
  CurveRow& r = out.rows[static_cast<size_t>(row)];
  r.revArm = s.mech.RevArmX;
  r.forwardAbove = SensePositive(s.mech);
}

void KeepSample(CurveRecord& out, const ModelState& s, int row, int sample) {
  CurveRow& r = out.rows[static_cast<size_t>(row)];
  const ValveEvents& v = s.valve;
  r.samples[static_cast<size_t>(sample)] = {s.mech.DrvAngle, v.ValveDisp, s.mech.PtX[4], v.PistonUnits,
                                            v.OpenSteamF,    v.OpenExhF,  v.OpenSteamR,  v.OpenExhR};
  if (static_cast<size_t>(sample) + 1 == r.samples.size())
    r.edges = {v.VlvEdge1, v.VlvEdge2, v.VlvEdge3, v.VlvEdge4, v.VlvEdge5, v.VlvEdge6};
}

}  // namespace

PortGraphRecord SweepPortGraph(ModelState& work, bool forward, int threads) {
  SavedSetting saved(work.mech);
  PortGraphRecord out;
  out.forward = forward;
  const float step = forward ? PortRowStep : -PortRowStep;
  auto setRow = [forward](ModelState& s, int i) { s.mech.RevArmX = PortRowRevArm(s, forward, i); };
  // Each row a unit: it starts where the row below left the linkage.
  UnitSweep units;
  units.units = PortRows;
  units.run = [&](ModelState& s, int i) {
    PortRowRecord& row = out.rows[static_cast<size_t>(i)];
    row.crossings.clear();
    setRow(s, i);
    row.revArm = s.mech.RevArmX;
    SweepPortRow(s, step, PortRowSamples, [&](const PortCrossing& k) { row.crossings.push_back(k); });
  };
  units.guessEnd = [&](ModelState& s, int i) {
    setRow(s, i);
    s.mech.DrvAngle = SweepPortRowEndAngle(step, PortRowSamples);
    Solve(s);
    PostCalc(s);
  };
  const UnitRun run = RunUnits(work, units, threads);
  for (const SolvedState& end : run.end) Restore(work, end);
  return out;
}

CurveRecord SweepSteamCurves(ModelState& work, int threads) {
  SavedSetting saved(work.mech);
  work.valve.PistonUnits = 0;
  work.mech.DrvAngle = 96;
  CurveSweep sweep;
  sweep.rows = std::clamp(work.revArm.RevArmCount, 0, 9);
  sweep.samples = 150;
  CurveRecord out = CurveSlots(sweep.rows, sweep.samples);
  sweep.setRow = SetCurveRow;
  sweep.solve = [](ModelState& s, int, int) {
    SteamTurn(s);
    Solve(s);
    PostCalc(s);
  };
  sweep.position = [&sweep](ModelState& s, int row, int sample) {
    for (int r = 0; r <= row; ++r) {
      SetCurveRow(s, r);
      for (int n = 0; n < (r < row ? sweep.samples : sample); ++n) SteamTurn(s);
    }
  };
  sweep.keepRow = [&out](const ModelState& s, int row) { KeepRow(out, s, row); };
  sweep.keepSample = [&out](const ModelState& s, int row, int sample) { KeepSample(out, s, row, sample); };
  SweepCurves(work, sweep, threads);
  return out;
}

CurveRecord SweepValveCurves(ModelState& work, int first, int last, float (*angle)(int j), int threads) {
  SavedSetting saved(work.mech);
  CurveSweep sweep;
  sweep.rows = std::clamp(work.revArm.RevArmCount, 0, 9);
  sweep.samples = last - first + 1;
  CurveRecord out = CurveSlots(sweep.rows, sweep.samples);
  sweep.setRow = SetCurveRow;
  sweep.solve = [first, angle](ModelState& s, int, int sample) {
    s.mech.DrvAngle = angle(first + sample);
    Solve(s);
  };
  sweep.keepRow = [&out](const ModelState& s, int row) { KeepRow(out, s, row); };
  sweep.keepSample = [&out](const ModelState& s, int row, int sample) { KeepSample(out, s, row, sample); };
  SweepCurves(work, sweep, threads);
  return out;
}

float OvalAngle(int j) {
  LD ang = 88 - 8 * j;
  while (ang < 0) ang += 360;
  return static_cast<float>(ang);
}

float SineAngle(int j) {
  LD ang = 8 * j + 272;
  while (ang > 360) ang -= 360;
  return static_cast<float>(ang);
}

std::vector<DieTurn> SweepDieTurns(const ModelState& from) {
  ModelState s = from;
  const int rows = std::clamp(s.revArm.RevArmCount, 0, 9);
  std::vector<DieTurn> turns(static_cast<size_t>(rows));
  for (int row = 0; row < rows; ++row) {
    DieTurn& t = turns[static_cast<size_t>(row)];
    SetCurveRow(s, row);
    TurnWatch watch;
    watch.Start(s);
    for (int k = 0; k < DieTurnSamples; ++k) {
      s.mech.DrvAngle = static_cast<float>(k * DieTurnStep);
      Solve(s);
      watch.Sample(s);
      t.along.push_back(DieInLink(s).along);
    }
    t.verdict = watch.Finish(s);
  }
  return turns;
}

void ApplyRedrawEffects(ModelState& s, const RedrawEffects& e) {
  if (e.solved) e.solved->Put(s);
  if (e.lastRevArm) s.DiagLastRevArm = *e.lastRevArm;
}

}  // namespace brevold

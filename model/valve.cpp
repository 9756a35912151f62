// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Valve events from a solved linkage: laps, port openings and the piston's place.
#include "model/valve.h"
#include "model/numfmt.h"

#include <cmath>

#include "model/state.h"

namespace brevold {

namespace {
constexpr LD kPi = 3.14159265358979323846264338327950288L;
}  // namespace

void CalcValveEdges(ModelState& s) {
  const auto& c = s.dims.CylValveDim;
  ValveEvents& v = s.valve;
  const LD ctr = c[CylCtrToDrv], port = c[ValvePortCtr], ring = c[ValveRingIn], stem = c[ValveStemLen];
  const LD portF = c[ValvePortWFront], portR = c[ValvePortWRear];
  const LD endF = c[ValveEndWFront], endR = c[ValveEndWRear];
  v.LapF = static_cast<float>(port - ring);
  v.LapPortF = static_cast<float>(static_cast<LD>(v.LapF) + portF);
  v.ExhClrF = static_cast<float>(static_cast<LD>(v.LapPortF) - endF);
  v.LapR = static_cast<float>(port - ring);
  v.LapPortR = static_cast<float>(port + portR - ring);
  v.ExhClrR = static_cast<float>(static_cast<LD>(v.LapPortR) - endR);
  v.ValveDisp = static_cast<float>(s.mech.PtX[4] + stem - ctr);
  v.VlvEdge1 = static_cast<float>(stem - ctr - port + ring);
  v.VlvEdge2 = static_cast<float>(ctr - stem - port + ring);
  v.VlvEdge3 = static_cast<float>(port - ring + ctr - stem);
  v.VlvEdge4 = static_cast<float>(port - ring - ctr + stem);
  v.VlvEdge5 = static_cast<float>(ctr + port + portF - ring - endF - stem);
  v.VlvEdge6 = static_cast<float>(stem + port + portR - ring - endR - ctr);
}

void PostCalc(ModelState& s) {
  Mechanism& m = s.mech;
  const FrameDims& f = s.dims.frame;
  const auto& c = s.dims.CylValveDim;
  ValveEvents& v = s.valve;
  const LD a = static_cast<LD>(m.DrvAngle) * kPi / 180;

  m.CalcDen = f.Stroke;
  GuardDivisor(m);
  m.CalcTmp = static_cast<float>(static_cast<LD>(f.MainRodLen) * f.MainRodLen -
                                 std::pow(std::sin(a) * f.Stroke / 2, 2));
  GuardSqrt(m);
  const LD stroke = m.CalcDen;
  v.PistonUnits = static_cast<float>(
      320 - (std::cos(a) + 2 * std::sqrt(static_cast<LD>(m.CalcTmp)) / stroke - 2 * static_cast<LD>(f.MainRodLen) / stroke) * 320);

  const LD x4 = m.PtX[4];
  const LD ctr = c[CylCtrToDrv], port = c[ValvePortCtr], ring = c[ValveRingIn], stem = c[ValveStemLen];
  v.OpenSteamF = static_cast<float>(x4 + stem + ring - ctr - port);
  v.OpenExhF = static_cast<float>(ctr + port + c[ValvePortWFront] - x4 - stem - ring - c[ValveEndWFront]);
  v.OpenSteamR = static_cast<float>(ctr + ring - x4 - stem - port);
  v.OpenExhR = static_cast<float>(x4 + stem + port + c[ValvePortWRear] - ctr - ring - c[ValveEndWRear]);
}

}  // namespace brevold

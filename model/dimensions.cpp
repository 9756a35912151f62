// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dimension set: ids, short names, nominal values, get and set by id.
#include "model/dimensions.h"

#include "model/state.h"

namespace brevold {

namespace {

const std::array<DimInfo, 45> kDims = {{
    {1, "Driver Dia", "DriverDia"},
    {2, "Stroke", "Stroke"},
    {3, "Main Rod Length", "MainRodLen"},
    {4, "Drop Link to CrossH Vert", "DropLinkVert"},
    {5, "Drop Link to CrossH BkS", "DropLinkBkS"},
    {6, "Union Link Length", "UnionLinkLen"},
    {7, "Combo Lever Upper", "CombLevUpper"},
    {8, "Combo Lever BkS", "CombLevBkS"},
    {9, "Combo Lever Lower", "CombLevLower"},
    {10, "Radius Rod Length", "RadRodLen"},
    {11, "Link Upper Length", "LinkUpLowLen"},
    {12, "Link Crank Vert", "LinkCrankVert"},
    {13, "Link Crank BkS", "LinkCrankBkS"},
    {14, "Eccentric Rod Length", "EccRodLen"},
    {15, "Ecc Crank Circle Dia", "EccCircDia"},
    {16, "Eccentric Crank Length", "EccCrankLen"},
    {17, "Radius Rod Lift Point", "RadRodLiftPt"},
    {18, "Reverse Arm  Vert", "RevArmVert"},
    {19, "Reverse Arm BkS", "RevArmBkS"},
    {20, "Lifting Arm Length", "LiftArmLen"},
    {21, "Lifting Link Length", "LiftLinkLen"},
    {22, "Reverse Arm Pivot Vert", "RevArmPivotVert"},
    {23, "Reverse Arm Pivot Horz", "RevArmPivotHorz"},
    {24, "Link Center Pivot Vert", "LinkPivotVert"},
    {25, "Link Center Pivot Horz", "LinkPivotHorz"},
    {28, "Link Top Lever Len", "LinkTopLevLen"},
    {29, "Link Middle Lever Len", "LinkMidLevLen"},
    {30, "Link RadRod Lever Len", "LinkRadRodLevLen"},
    {101, "Cyl ctr to Driver ctr", "CylCtrToDrv"},
    {102, "Cyl CL above Driver ctr", "CylCLAboveDrv"},
    {103, "Cylinder Bore Dia", "CylBoreDia"},
    {104, "Cylinder Bore Length", "CylBoreLen"},
    {105, "Cyl Steam Port Width", "CylPortWidth"},
    {106, "Piston ctr to Crosshead", "PistonToXhead"},
    {107, "Piston Width", "PistonWidth"},
    {108, "Valve CL to Cyl CL", "ValveCLToCylCL"},
    {109, "Valve Bore Dia", "ValveBoreDia"},
    {110, "Valve Bore Length", "ValveBoreLen"},
    {111, "Valve Bore ctr to Port", "ValvePortCtr"},
    {112, "ValveBorePortWidthRear", "ValvePortWRear"},
    {113, "ValveBorePortWidthFront", "ValvePortWFront"},
    {114, "Valve ctr to Ring", "ValveRingIn"},
    {115, "Valve End Width  Rear", "ValveEndWRear"},
    {116, "Valve End Width  Front", "ValveEndWFront"},
    {117, "Valve ctr to Joint (Stem)", "ValveStemLen"},
}};

// Cylinder id -> CylValveDim slot (102 is the cylinder centre line, not a slot).
int CylSlotOf(int id) {
  switch (id) {
    case 101: return CylCtrToDrv;
    case 103: return CylBoreDia;
    case 104: return CylBoreLen;
    case 105: return CylPortWidth;
    case 106: return PistonToXhead;
    case 107: return PistonWidth;
    case 108: return ValveCLToCylCL;
    case 109: return ValveBoreDia;
    case 110: return ValveBoreLen;
    case 111: return ValvePortCtr;
    case 112: return ValvePortWRear;
    case 113: return ValvePortWFront;
    case 114: return ValveRingIn;
    case 115: return ValveEndWRear;
    case 116: return ValveEndWFront;
    case 117: return ValveStemLen;
    default: return -1;
  }
}

// The nominal frame table's order: the fields it fills on a frame reset.
std::array<float*, NomFrameCount> NomFrameTargets(ModelState& s) {
  FrameDims& f = s.dims.frame;
  Mechanism& m = s.mech;
  return {&f.Stroke,       &f.EccCircDia,    &f.DriverDia,     &f.MainRodLen,    &f.DropLinkVert,
          &f.DropLinkBkS,  &f.UnionLinkLen,  &f.CombLevLower,  &f.CombLevUpper,  &f.CombLevBkS,
          &f.RadRodLen,    &f.LinkUpLowLen,  &f.LinkCrankVert, &f.LinkCrankBkS,  &f.EccRodLen,
          &f.EccCrankLen,  &f.RadRodLiftPt,  &f.LiftLinkLen,   &f.LiftArmLen,    &f.RevArmVert,
          &f.RevArmBkS,    &f.RevArmNorm,    &f.RevArmMax,     &m.PtX[9],        &m.PtY[9],
          &m.PtX[16],      &m.PtY[16],       nullptr,          &f.LinkTopLevLen, &f.LinkRadRodLevLen,
          &f.LinkMidLevLen};
}

constexpr int NomCylCLIndex = 27;  // cylinder centre line: not reset with the frame

}  // namespace

const std::array<DimInfo, 45>& DimTable() { return kDims; }

const DimInfo* FindDim(int id) {
  for (const DimInfo& d : kDims)
    if (d.id == id) return &d;
  return nullptr;
}

const DimInfo* FindDimByField(const std::string& field) {
  for (const DimInfo& d : kDims)
    if (field == d.field) return &d;
  return nullptr;
}

float* DimPtr(ModelState& s, int id) {
  FrameDims& f = s.dims.frame;
  Mechanism& m = s.mech;
  switch (id) {
    case 1: return &f.DriverDia;
    case 2: return &f.Stroke;
    case 3: return &f.MainRodLen;
    case 4: return &f.DropLinkVert;
    case 5: return &f.DropLinkBkS;
    case 6: return &f.UnionLinkLen;
    case 7: return &f.CombLevUpper;
    case 8: return &f.CombLevBkS;
    case 9: return &f.CombLevLower;
    case 10: return &f.RadRodLen;
    case 11: return &f.LinkUpLowLen;
    case 12: return &f.LinkCrankVert;
    case 13: return &f.LinkCrankBkS;
    case 14: return &f.EccRodLen;
    case 15: return &f.EccCircDia;
    case 16: return &f.EccCrankLen;
    case 17: return &f.RadRodLiftPt;
    case 18: return &f.RevArmVert;
    case 19: return &f.RevArmBkS;
    case 20: return &f.LiftArmLen;
    case 21: return &f.LiftLinkLen;
    case 22: return &m.PtY[16];
    case 23: return &m.PtX[16];
    case 24: return &m.PtY[9];
    case 25: return &m.PtX[9];
    case 28: return &f.LinkTopLevLen;
    case 29: return &f.LinkMidLevLen;
    case 30: return &f.LinkRadRodLevLen;
    case 102: return &m.PtY[3];
    default: {
      int slot = CylSlotOf(id);
      return slot >= 0 ? &s.dims.CylValveDim[static_cast<size_t>(slot)] : nullptr;
    }
  }
}

bool HasDim(int id) { return FindDim(id) != nullptr; }

float GetDim(const ModelState& s, int id) {
  float* p = DimPtr(const_cast<ModelState&>(s), id);
  return p ? *p : 0.0f;
}

bool SetDim(ModelState& s, int id, float value) {
  float* p = DimPtr(s, id);
  if (!p) return false;
  *p = value;
  if (id == 102 || id == 108) RecalcValveCentreLine(s);
  return true;
}

void RecalcValveCentreLine(ModelState& s) {
  s.mech.PtY[4] = static_cast<float>(static_cast<long double>(s.mech.PtY[3]) +
                                     s.dims.CylValveDim[ValveCLToCylCL]);
}

void FillNominalFrame(Dimensions& d) {
  d.NomFrame = {4.0f,   2.406f, 7.875f, 16.5f, 1.0f,  1.0f,  3.922f, 4.3f,  0.43f,  0.0f,  9.231f,
                1.7f,   3.414f, 0.489f, 9.883f, 2.352f, 1.625f, 2.2f,  2.75f, 2.344f, 0.0f,  0.7f,
                0.9f,   10.297f, 3.5f,  9.8f,  5.6f,  0.25f, 1.9f,  2.0f,  1.9f};
}

void FillNominalCyl(Dimensions& d) {
  d.NomCyl = {25.5f, 2.75f, 5.375f, 0.0f,   0.25f, 9.0f,   0.377f, 1.5f, 6.625f,
              1.73f, 0.297f, 1.578f, 0.45f, 5.97f, 3.0f,  0.297f, 0.45f};
  d.NomCylCL = 0.25f;
}

void ResetFrameDims(ModelState& s) {
  auto targets = NomFrameTargets(s);
  for (int i = 0; i < NomFrameCount; ++i)
    if (i != NomCylCLIndex && targets[static_cast<size_t>(i)])
      *targets[static_cast<size_t>(i)] = s.dims.NomFrame[static_cast<size_t>(i)];
}

void ResetCylDims(ModelState& s) {
  s.dims.CylValveDim = s.dims.NomCyl;
  s.mech.PtY[3] = s.dims.NomCylCL;
  RecalcValveCentreLine(s);
}

void FollowFixedPivot(ModelState& s, int id) {
  Mechanism& m = s.mech;
  switch (id) {
    case 22: m.PtY[17] = m.PtY[16]; break;
    case 23: m.PtX[17] = m.PtX[16]; break;
    case 24: m.PtY[10] = m.PtY[9]; break;
    case 25: m.PtX[10] = m.PtX[9]; break;
    default: break;
  }
}

}  // namespace brevold

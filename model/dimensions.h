// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dimension set: every rod, lever and crank length of the gear, the
// cylinder and valve dimensions, the nominal tables and the resets.
// The fixed pivots (joints 9 and 16) and the cylinder centre-line height
// (Y of joint 3) live in the joint arrays of the mechanism state; the
// dimension ids reach them there.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace brevold {

struct ModelState;

// Frame and link dimensions (the frame editor's fields).
struct FrameDims {
  float DriverDia = 0, Stroke = 0, MainRodLen = 0, DropLinkVert = 0, DropLinkBkS = 0;
  float UnionLinkLen = 0, CombLevUpper = 0, CombLevBkS = 0, CombLevLower = 0;
  float RadRodLen = 0, LinkUpLowLen = 0, LinkCrankVert = 0, LinkCrankBkS = 0;
  float EccRodLen = 0, EccCircDia = 0, EccCrankLen = 0, RadRodLiftPt = 0;
  float RevArmVert = 0, RevArmBkS = 0, LiftArmLen = 0, LiftLinkLen = 0;
  float LinkTopLevLen = 0, LinkMidLevLen = 0, LinkRadRodLevLen = 0;
  float RevArmNorm = 0, RevArmMax = 0;  // reverse-arm travel limits (no id)
};

// Slots of the 17-entry cylinder and valve array; the order is the file's.
enum CylSlot : int {
  CylCtrToDrv = 0, CylBoreDia, CylBoreLen, CylSpare, CylPortWidth,
  PistonToXhead, PistonWidth, ValveBoreDia, ValveBoreLen, ValvePortCtr,
  ValvePortWRear, ValveRingIn, ValveEndWRear, ValveStemLen, ValveCLToCylCL,
  ValvePortWFront, ValveEndWFront, CylSlotCount
};

constexpr int NomFrameCount = 31;

struct Dimensions {
  FrameDims frame;
  std::array<float, CylSlotCount> CylValveDim{};
  std::array<float, NomFrameCount> NomFrame{};
  std::array<float, CylSlotCount> NomCyl{};
  float NomCylCL = 0;  // nominal cylinder centre-line height
  std::string DimFileName;
  // The file the set was last read from or written to (empty: none yet,
  // as at start-up and after "ResetAllDimensions"): where "&Save" writes.
  std::string DimFilePath;
};

// One editable dimension: its id, short name and field name.
struct DimInfo {
  int id;
  const char* shortName;  // as shown in the dynamic-variable list and undo line
  const char* field;      // program name of the quantity
};

// All editable dimensions, frame (1..25, 28..30) then cylinder (101..117).
const std::array<DimInfo, 45>& DimTable();
const DimInfo* FindDim(int id);
const DimInfo* FindDimByField(const std::string& field);

// Storage of dimension `id`, or nullptr for ids without a dimension (26, 27, ...).
float* DimPtr(ModelState& s, int id);
bool HasDim(int id);
float GetDim(const ModelState& s, int id);
// Stores a dimension; ids 102 and 108 also recompute the valve centre line.
// Returns false (and changes nothing) for an id without a dimension.
bool SetDim(ModelState& s, int id, float value);

// After a fixed pivot's dimension (22..25) is stored: the joint that shows
// it in the picture (17 for the reverse-arm pivot, 10 for the link pivot)
// follows, as the editors leave it.
void FollowFixedPivot(ModelState& s, int id);

// Y of joint 4 := Y of joint 3 + ValveCLToCylCL.
void RecalcValveCentreLine(ModelState& s);

void FillNominalFrame(Dimensions& d);
void FillNominalCyl(Dimensions& d);
void ResetFrameDims(ModelState& s);  // frame fields, pivots 9 and 16, travel limits
void ResetCylDims(ModelState& s);    // CylValveDim, cylinder and valve centre lines

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The table of a gear's stored values, built once in file order.
#include "model/gearfields.h"

#include <algorithm>

#include "model/dimensions.h"

namespace brevold {

namespace {

using At = std::function<float*(ModelState&)>;

// A JSON pointer as messages name the value: "/overlay/Rows/3/LineType" is
// "overlay.Rows[3].LineType".
std::string Dotted(const std::string& pointer) {
  std::string out;
  size_t at = 1;
  while (at <= pointer.size()) {
    const size_t end = std::min(pointer.find('/', at), pointer.size());
    const std::string part = pointer.substr(at, end - at);
    const bool index = !part.empty() && part.find_first_not_of("0123456789") == std::string::npos;
    if (index) out += "[" + part + "]";
    else out += (out.empty() ? "" : ".") + part;
    at = end + 1;
  }
  return out;
}

std::vector<GearField> Build() {
  std::vector<GearField> rows;
  auto add = [&rows](const std::string& json, At at) {
    GearField f;
    f.json = json;
    f.name = Dotted(json);
    f.at = std::move(at);
    rows.push_back(std::move(f));
  };
  // Records 1 to 11: the frame's and the cylinder's values. A dimension is
  // named by its field in the "dimensions" section (its id beside it); the
  // others, under these names, in "other".
  const struct {
    const char* name;
    float* (*at)(ModelState&);
  } core[] = {
      {"Stroke", [](ModelState& s) { return &s.dims.frame.Stroke; }},
      {"EccCircDia", [](ModelState& s) { return &s.dims.frame.EccCircDia; }},
      {"DriverDia", [](ModelState& s) { return &s.dims.frame.DriverDia; }},
      {"MainRodLen", [](ModelState& s) { return &s.dims.frame.MainRodLen; }},
      {"DropLinkVert", [](ModelState& s) { return &s.dims.frame.DropLinkVert; }},
      {"DropLinkBkS", [](ModelState& s) { return &s.dims.frame.DropLinkBkS; }},
      {"UnionLinkLen", [](ModelState& s) { return &s.dims.frame.UnionLinkLen; }},
      {"CombLevLower", [](ModelState& s) { return &s.dims.frame.CombLevLower; }},
      {"CombLevUpper", [](ModelState& s) { return &s.dims.frame.CombLevUpper; }},
      {"CombLevBkS", [](ModelState& s) { return &s.dims.frame.CombLevBkS; }},
      {"RadRodLen", [](ModelState& s) { return &s.dims.frame.RadRodLen; }},
      {"LinkUpLowLen", [](ModelState& s) { return &s.dims.frame.LinkUpLowLen; }},
      {"LinkCrankVert", [](ModelState& s) { return &s.dims.frame.LinkCrankVert; }},
      {"LinkCrankBkS", [](ModelState& s) { return &s.dims.frame.LinkCrankBkS; }},
      {"EccRodLen", [](ModelState& s) { return &s.dims.frame.EccRodLen; }},
      {"EccCrankLen", [](ModelState& s) { return &s.dims.frame.EccCrankLen; }},
      {"RadRodLiftPt", [](ModelState& s) { return &s.dims.frame.RadRodLiftPt; }},
      {"LiftLinkLen", [](ModelState& s) { return &s.dims.frame.LiftLinkLen; }},
      {"LiftArmLen", [](ModelState& s) { return &s.dims.frame.LiftArmLen; }},
      {"RevArmVert", [](ModelState& s) { return &s.dims.frame.RevArmVert; }},
      {"RevArmBkS", [](ModelState& s) { return &s.dims.frame.RevArmBkS; }},
      {"PtX9", [](ModelState& s) { return &s.mech.PtX[9]; }},
      {"PtY9", [](ModelState& s) { return &s.mech.PtY[9]; }},
      {"PtX16", [](ModelState& s) { return &s.mech.PtX[16]; }},
      {"PtY16", [](ModelState& s) { return &s.mech.PtY[16]; }},
      {"PtX10", [](ModelState& s) { return &s.mech.PtX[10]; }},
      {"PtY10", [](ModelState& s) { return &s.mech.PtY[10]; }},
      {"PtX17", [](ModelState& s) { return &s.mech.PtX[17]; }},
      {"PtY17", [](ModelState& s) { return &s.mech.PtY[17]; }},
      {"PtY3", [](ModelState& s) { return &s.mech.PtY[3]; }},
  };
  for (const auto& c : core) add("/other/" + std::string(c.name), c.at);
  const char* const cylinder[CylSlotCount] = {
      "CylCtrToDrv",  "CylBoreDia",     "CylBoreLen",  "CylSpare",      "CylPortWidth",   "PistonToXhead",
      "PistonWidth",  "ValveBoreDia",   "ValveBoreLen", "ValvePortCtr", "ValvePortWRear", "ValveRingIn",
      "ValveEndWRear", "ValveStemLen",  "ValveCLToCylCL", "ValvePortWFront", "ValveEndWFront"};
  for (size_t i = 0; i < CylSlotCount; ++i)
    add("/other/" + std::string(cylinder[i]), [i](ModelState& s) { return &s.dims.CylValveDim[i]; });
  add("/other/LinkTopLevLen", [](ModelState& s) { return &s.dims.frame.LinkTopLevLen; });
  add("/other/LinkMidLevLen", [](ModelState& s) { return &s.dims.frame.LinkMidLevLen; });
  add("/other/LinkRadRodLevLen", [](ModelState& s) { return &s.dims.frame.LinkRadRodLevLen; });
  add("/other/PtY4", [](ModelState& s) { return &s.mech.PtY[4]; });
  // Records 11 and 12: the view and the reverse arm's travel.
  add("/view/Scale", [](ModelState& s) { return &s.view.Scale; });
  add("/view/OriginX", [](ModelState& s) { return &s.view.OriginX; });
  add("/view/GraphZoomFactor", [](ModelState& s) { return &s.view.GraphZoomFactor; });
  add("/view/OriginY", [](ModelState& s) { return &s.view.OriginY; });
  add("/travel/RevArmNorm", [](ModelState& s) { return &s.dims.frame.RevArmNorm; });
  add("/travel/RevArmMax", [](ModelState& s) { return &s.dims.frame.RevArmMax; });
  add("/travel/RevArmX", [](ModelState& s) { return &s.mech.RevArmX; });
  add("/travel/DiagLastRevArm", [](ModelState& s) { return &s.DiagLastRevArm; });
  add("/travel/VertScale", [](ModelState& s) { return &s.revArm.VertScale; });
  // Records 13 to 18: the seven view presets and the nine reverse-arm positions.
  for (size_t k = 0; k < 7; ++k) {
    const std::string at = "/view/Presets/" + std::to_string(k) + "/";
    add(at + "Scale", [k](ModelState& s) { return &s.view.ViewPreset[k].Scale; });
    add(at + "OriginX", [k](ModelState& s) { return &s.view.ViewPreset[k].OriginX; });
    add(at + "OriginY", [k](ModelState& s) { return &s.view.ViewPreset[k].OriginY; });
  }
  for (size_t k = 1; k <= 9; ++k)
    add("/travel/Positions/" + std::to_string(k - 1), [k](ModelState& s) { return &s.revArm.Positions[k]; });
  // Records 19 to 70: the lines and circles, column by column.
  using Column = std::array<float, OverlayRows + 1> OverlayTable::*;
  const struct {
    const char* name;
    Column column;
  } overlay[] = {{"Line1Horz", &OverlayTable::Line1Horz}, {"Line1Vert", &OverlayTable::Line1Vert},
                 {"Line2Horz", &OverlayTable::Line2Horz}, {"Line2Vert", &OverlayTable::Line2Vert},
                 {"Piv1Horz", &OverlayTable::Piv1Horz},   {"Piv1Vert", &OverlayTable::Piv1Vert},
                 {"Piv2Horz", &OverlayTable::Piv2Horz},   {"Piv2Vert", &OverlayTable::Piv2Vert},
                 {"LineType", &OverlayTable::LineType},   {"LineColor", &OverlayTable::LineColor},
                 {"LineRef", &OverlayTable::LineRef},     {"Piv1No", &OverlayTable::Piv1No},
                 {"Piv2No", &OverlayTable::Piv2No}};
  for (const auto& col : overlay)
    for (size_t i = 1; i <= OverlayRows; ++i)
      add("/overlay/Rows/" + std::to_string(i - 1) + "/" + col.name,
          [c = col.column, i](ModelState& s) { return &(s.overlay.*c)[i]; });
  // Record 71: four spare values, then the lines dialog's current row.
  for (int k = 0; k < 4; ++k) add("/spare/" + std::to_string(k), nullptr);
  add("/overlay/LineNo", nullptr);

  // A value that is a dimension is named by the dimension: the one whose
  // storage it is.
  ModelState probe;
  for (GearField& f : rows) {
    if (!f.at) continue;
    const float* where = f.at(probe);
    for (const DimInfo& d : DimTable()) {
      if (DimPtr(probe, d.id) != where) continue;
      f.id = d.id;
      f.json = std::string("/dimensions/") + d.field;
      f.name = Dotted(f.json);
    }
  }
  return rows;
}

}  // namespace

const std::vector<GearField>& GearFields() {
  static const std::vector<GearField> rows = Build();
  return rows;
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dynamic variables and the undo stack.
#include "model/dynvars.h"

#include "model/revarm.h"
#include "model/state.h"

namespace brevold {

const char* const EmptyDynVarName = "             ??";

void EmptyDynVarList(ModelState& s) {
  DynVars& d = s.dyn;
  for (int k = 0; k <= 4; ++k) {
    d.DynVarId[static_cast<size_t>(k)] = 0;
    d.DynVarVal[static_cast<size_t>(k)] = 0;
    d.DynVarName[static_cast<size_t>(k)] = EmptyDynVarName;
  }
}

void RecordCandidate(ModelState& s) {
  DynVars& d = s.dyn;
  for (size_t k = 1; k <= 4; ++k) {
    if (d.DynVarId[k] == d.DynVarId[0]) {
      d.DynVarVal[k] = d.DynVarVal[0];
      d.DynVarName[k] = d.DynVarName[0];
      return;
    }
  }
  for (size_t k = 4; k >= 2; --k) {
    d.DynVarId[k] = d.DynVarId[k - 1];
    d.DynVarVal[k] = d.DynVarVal[k - 1];
    d.DynVarName[k] = d.DynVarName[k - 1];
  }
  d.DynVarId[1] = d.DynVarId[0];
  d.DynVarVal[1] = d.DynVarVal[0];
  d.DynVarName[1] = d.DynVarName[0];
}

void ApplyDynVar(ModelState& s) {
  DynVars& d = s.dyn;
  if (d.DynSel < 1 || d.DynSel > 4) return;
  const size_t k = static_cast<size_t>(d.DynSel);
  const int id = static_cast<int>(d.DynVarId[k]);
  if (id == 0 || !HasDim(id)) return;
  d.DynVarVal[k] = static_cast<float>(static_cast<long double>(GetDim(s, id)) + s.ScrollInc);
  s.FrontCOText.clear();
  s.RearCOText.clear();
  SetDim(s, id, d.DynVarVal[k]);
}

void RefreshDynVarSlots(ModelState& s) {
  // Each slot shows its dimension as it is stored now. Only the slots are
  // written: passing a value through +1 and -1 in single precision would
  // change every listed dimension (0.001 comes back as 0.00100004673).
  DynVars& d = s.dyn;
  for (size_t k = 1; k <= 4; ++k) {
    const int id = static_cast<int>(d.DynVarId[k]);
    if (id == 0 || !HasDim(id)) continue;
    d.DynVarVal[k] = GetDim(s, id);
    s.FrontCOText.clear();
    s.RearCOText.clear();
  }
  d.DynSel = 4;
  s.ScrollInc = -1;
}

void DynVarBarChange(ModelState& s, int k, int p) {
  if (k < 1 || k > 4) return;
  s.ScrollInc = 0;
  s.dyn.DynSel = k;
  s.ScrollInc = RecentreIncrement(s.dyn.Cells[static_cast<size_t>(k)], p, 1000, 10);
  ApplyDynVar(s);
}

void DynVarBarStep(ModelState& s, int k, int p) {
  DynVarBarChange(s, k, p);
  if (p != 0) DynVarBarChange(s, k, 0);
}

void DynVarBarEnter(ModelState& s, int k) {
  if (k < 1 || k > 4) return;
  s.dyn.DynVarEnterVal = s.dyn.DynVarVal[static_cast<size_t>(k)];
}

std::string DynVarBarName(const DynVars& d, int k) {
  const std::string variable = "Dynamic Variable " + std::to_string(k);
  if (k < 1 || k > 4) return variable;
  const std::string& name = d.DynVarName[static_cast<size_t>(k)];
  const size_t a = name.find_first_not_of(' ');
  if (name == EmptyDynVarName || a == std::string::npos) return variable + ", none selected";
  return "Change " + name.substr(a, name.find_last_not_of(' ') - a + 1);
}

void DynVarEndScroll(ModelState& s, int k) {
  if (k < 1 || k > 4) return;
  const size_t i = static_cast<size_t>(k);
  UndoStack& u = s.undo;
  SetUndoButtons(s, true);
  u.EditDirty = 1;
  PushUndo(s);
  u.UndoId[1] = s.dyn.DynVarId[i];
  u.UndoOld[1] = s.dyn.DynVarEnterVal;
  u.UndoNew[1] = s.dyn.DynVarVal[i];
  u.UndoName[1] = s.dyn.DynVarName[i];
  u.EditDirty = 0;
  // The next action starts where this one ended, whether or not the bar
  // loses the focus in between (a bar that keeps it takes arrow after arrow).
  s.dyn.DynVarEnterVal = s.dyn.DynVarVal[i];
}

void SetUndoButtons(ModelState& s, bool enabled) {
  s.undo.ButtonsEnabled = enabled;
  if (s.undo.onButtons) s.undo.onButtons(enabled);
}

namespace {

// Shifts the stack down for a new entry 1, the oldest of 21 falling off.
void MakeRoom(UndoStack& u) {
  for (size_t i = UndoDepth; i >= 1; --i) {
    u.UndoId[i] = u.UndoId[i - 1];
    u.UndoOld[i] = u.UndoOld[i - 1];
    u.UndoNew[i] = u.UndoNew[i - 1];
    u.UndoName[i] = u.UndoName[i - 1];
    u.UndoRevArm[i] = u.UndoRevArm[i - 1];
    u.UndoSettles[i] = u.UndoSettles[i - 1];
  }
  u.UndoRevArm[1].reset();
  u.UndoSettles[1] = false;
  if (u.UndoCount < UndoDepth) ++u.UndoCount;
}

}  // namespace

bool PushUndo(ModelState& s) {
  UndoStack& u = s.undo;
  if (!u.EditDirty) return false;
  SetUndoButtons(s, true);
  // A new change: what was undone before it can no longer be made again.
  u.redo.clear();
  MakeRoom(u);
  return true;
}

void Undo(ModelState& s) {
  UndoStack& u = s.undo;
  if (u.UndoId[1] == 0) {
    SetUndoButtons(s, false);
    return;
  }
  for (size_t i = 0; i < UndoDepth; ++i) {
    u.UndoId[i] = u.UndoId[i + 1];
    u.UndoOld[i] = u.UndoOld[i + 1];
    u.UndoNew[i] = u.UndoNew[i + 1];
    u.UndoName[i] = u.UndoName[i + 1];
    u.UndoRevArm[i] = u.UndoRevArm[i + 1];
    u.UndoSettles[i] = u.UndoSettles[i + 1];
  }
  UndoStack::RedoEntry again{u.UndoId[0], u.UndoOld[0], u.UndoNew[0], u.UndoName[0], u.UndoRevArm[0], u.UndoSettles[0],
                             std::nullopt};
  if (again.settles) again.revArmAfter = s.mech.RevArmX;
  if (u.redo.size() == UndoDepth) u.redo.erase(u.redo.begin());
  u.redo.push_back(std::move(again));
  SetDim(s, static_cast<int>(u.UndoId[0]), u.UndoOld[0]);
  if (u.UndoRevArm[0]) {
    CalcCentre(s);
    s.mech.RevArmX = *u.UndoRevArm[0];
  }
  RefreshDynVarSlots(s);
  u.UndoId[UndoDepth] = 0;
  u.UndoOld[UndoDepth] = u.UndoNew[UndoDepth] = 0;
  u.UndoName[UndoDepth].clear();
  u.UndoRevArm[UndoDepth].reset();
  u.UndoSettles[UndoDepth] = false;
  if (u.UndoId[1] == 0) SetUndoButtons(s, false);
  if (u.UndoCount > 0) --u.UndoCount;
}

void Redo(ModelState& s) {
  UndoStack& u = s.undo;
  if (u.redo.empty()) return;
  const UndoStack::RedoEntry e = std::move(u.redo.back());
  u.redo.pop_back();
  SetUndoButtons(s, true);
  MakeRoom(u);
  u.UndoId[1] = e.id;
  u.UndoOld[1] = e.oldValue;
  u.UndoNew[1] = e.newValue;
  u.UndoName[1] = e.name;
  u.UndoRevArm[1] = e.revArm;
  u.UndoSettles[1] = e.settles;
  SetDim(s, static_cast<int>(e.id), e.newValue);
  if (e.settles) {
    CalcCentre(s);
    if (e.revArmAfter) s.mech.RevArmX = *e.revArmAfter;
  }
  RefreshDynVarSlots(s);
}

bool CanRedo(const ModelState& s) { return !s.undo.redo.empty(); }

void ClearRedo(ModelState& s) { s.undo.redo.clear(); }

void ClearUndo(ModelState& s) {
  UndoStack& u = s.undo;
  u.UndoId.fill(0);
  u.UndoOld.fill(0);
  u.UndoNew.fill(0);
  for (auto& n : u.UndoName) n.clear();
  for (auto& r : u.UndoRevArm) r.reset();
  u.UndoSettles.fill(false);
  u.redo.clear();
  u.UndoCount = 0;
  SetUndoButtons(s, false);
}

void EditorFieldExit(ModelState& s, int id, float value, const std::string& shortName) {
  UndoStack& u = s.undo;
  const bool dirty = u.EditDirty != 0;
  if (dirty) {
    PushUndo(s);
    u.UndoId[1] = static_cast<std::uint32_t>(id);
    u.UndoOld[1] = GetDim(s, id);
  }
  SetDim(s, id, value);
  s.dyn.DynVarId[0] = static_cast<std::uint32_t>(id);
  s.dyn.DynVarVal[0] = GetDim(s, id);
  s.dyn.DynVarName[0] = shortName;
  RecordCandidate(s);
  if (dirty) {
    u.UndoNew[1] = GetDim(s, id);
    u.UndoName[1] = shortName;
  }
  u.EditDirty = 0;
}

}  // namespace brevold

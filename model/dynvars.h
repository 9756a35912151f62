// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Dynamic variables and undo. The four dimensions last entered in the
// editors become dynamic variables that a scroll bar changes continuously;
// every editor change and every finished scroll action is recorded on an
// undo stack of up to twenty entries.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/view.h"

namespace brevold {

struct ModelState;

// The name an empty slot shows: 13 spaces and "??".
extern const char* const EmptyDynVarName;

struct DynVars {
  // Slot 0 is the candidate just entered in an editor, 1..4 the variables
  // (1 the most recent).
  std::array<std::uint32_t, 5> DynVarId{};
  std::array<float, 5> DynVarVal{};
  std::array<std::string, 5> DynVarName;
  int DynSel = 0;
  float DynVarEnterVal = 0;
  // Last and Prev position of bar k (1..4), shared by every window's bar k.
  std::array<RecentreCells, 5> Cells{};
  bool DynVarsOn = false;
  bool UndoOn = false;
};

constexpr int UndoDepth = 20;

struct UndoStack {
  // Entry 1 is the newest; entry 0 receives the entry an undo pops.
  std::array<std::uint32_t, UndoDepth + 1> UndoId{};
  std::array<float, UndoDepth + 1> UndoOld{}, UndoNew{};
  std::array<std::string, UndoDepth + 1> UndoName;
  // The reverse-arm setting to put back, with mid gear found again, when an
  // entry is undone: set on the first entry of a group of changes that moved
  // the reverse arm to a new mid gear (a balance applied), so that undoing
  // the group brings the gear and its reverse arm back together.
  std::array<std::optional<float>, UndoDepth + 1> UndoRevArm;
  // Set on the last entry of such a group: redoing it, which makes the
  // group whole again, finds mid gear again and puts the reverse arm back
  // where the group left it.
  std::array<bool, UndoDepth + 1> UndoSettles{};
  int UndoCount = 0;
  // The entries undone since the last new change, newest last: "R&edo"
  // makes them again, one by one, until a new change empties the list.
  struct RedoEntry {
    std::uint32_t id = 0;
    float oldValue = 0, newValue = 0;
    std::string name;
    std::optional<float> revArm;       // the entry's UndoRevArm, for when it is undone again
    bool settles = false;              // the entry's UndoSettles
    std::optional<float> revArmAfter;  // the reverse arm as the group left it
  };
  std::vector<RedoEntry> redo;
  std::uint8_t EditDirty = 0;
  // Whether the "UnDo" buttons of every window are enabled; the windows
  // follow it through onButtons.
  bool ButtonsEnabled = false;
  std::function<void(bool)> onButtons;
};

void EmptyDynVarList(ModelState& s);
// Enters slot 0 into the list: a dimension already listed keeps its slot and
// takes the new value; a new one goes to slot 1 and pushes the others down.
void RecordCandidate(ModelState& s);
// Adds ScrollInc to the dimension of slot DynSel (and keeps its slot value);
// an empty slot or an id without a dimension does nothing.
void ApplyDynVar(ModelState& s);
// After an undo: every listed slot takes its dimension's stored value; no
// dimension changes. DynSel and ScrollInc are left as the old refresh left
// them (slot 4, -1), which the next bar change overwrites anyway.
void RefreshDynVarSlots(ModelState& s);

// Bar k's change at position p: the increment rule, then apply. The caller
// puts the bar back to 0 afterwards.
void DynVarBarChange(ModelState& s, int k, int p);
void DynVarBarEnter(ModelState& s, int k);
// What bar k (1..4) changes, in words: "Change " and its dimension's name,
// or for an empty slot that it has none.
std::string DynVarBarName(const DynVars& d, int k);
// A bar moved to p and put back to 0 by its window: the change at p, then,
// when p is not 0, the change for the bar at 0.
void DynVarBarStep(ModelState& s, int k, int p);
// A finished scroll action on bar k: one undo entry from the value the bar
// had when it got the focus, or when its last scroll action ended, to the
// value now.
void DynVarEndScroll(ModelState& s, int k);

void SetUndoButtons(ModelState& s, bool enabled);
// Makes room for a new entry 1 when EditDirty is set; the caller fills it.
// Returns whether an entry was pushed.
bool PushUndo(ModelState& s);
// Takes back the newest entry; it goes to the redo list.
void Undo(ModelState& s);
// Makes the newest undone entry again; it goes back on the undo stack.
// Nothing to redo does nothing.
void Redo(ModelState& s);
bool CanRedo(const ModelState& s);
// Empties the undo stack and the redo list.
void ClearUndo(ModelState& s);
// Empties the redo list only: the set changed in a way the entries no
// longer describe (another gear was opened).
void ClearRedo(ModelState& s);

// An editor field left with `value` stored for dimension `id`: records the
// undo entry when the field was typed into, and the candidate either way.
void EditorFieldExit(ModelState& s, int id, float value, const std::string& shortName);

}  // namespace brevold

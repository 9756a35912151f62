// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "helpers.h"

namespace brevold {
using test::Started;

// An editor field left after typing (dirty) or just tabbed through.
void Enter(ModelState& s, int id, float value, bool typed) {
  s.undo.EditDirty = typed ? 1 : 0;
  EditorFieldExit(s, id, value, FindDim(id)->shortName);
}

TEST(DynVarList, RepeatedIdKeepsItsSlotAndTheFifthPushesTheFirstOut) {
  ModelState s = Started();
  for (int k = 0; k <= 4; ++k) EXPECT_EQ(s.dyn.DynVarName[static_cast<size_t>(k)], "             ??");
  Enter(s, 2, 4, false);
  Enter(s, 3, 16.5f, false);
  Enter(s, 2, 4.5f, false);
  EXPECT_EQ(s.dyn.DynVarId[1], 3u);
  EXPECT_EQ(s.dyn.DynVarName[1], "Main Rod Length");
  EXPECT_EQ(s.dyn.DynVarId[2], 2u);
  EXPECT_FLOAT_EQ(s.dyn.DynVarVal[2], 4.5f);
  EXPECT_EQ(s.dyn.DynVarName[3], EmptyDynVarName);

  Enter(s, 10, 9, false);
  Enter(s, 12, 3, false);
  Enter(s, 101, 25, false);
  EXPECT_EQ(s.dyn.DynVarId[1], 101u);
  EXPECT_EQ(s.dyn.DynVarId[4], 3u);
  Enter(s, 111, 1.7f, false);
  EXPECT_EQ(s.dyn.DynVarId[4], 10u);  // Stroke and Main Rod Length are out
  EXPECT_EQ(s.undo.UndoCount, 0);     // nothing was typed: no undo entries
}

TEST(DynVarApply, BarStepsChangeTheSlotsDimension) {
  ModelState s = Started();
  Enter(s, 3, 16.5f, false);
  DynVarBarChange(s, 1, 1);  // right arrow
  EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 16.501f);
  DynVarBarChange(s, 1, 0);  // the bar re-centred
  EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 16.501f);
  DynVarBarChange(s, 1, 10);  // trough
  EXPECT_NEAR(s.dims.frame.MainRodLen, 16.511f, 1e-5);
  DynVarBarChange(s, 1, 0);
  DynVarBarChange(s, 1, -1);  // left arrow
  EXPECT_NEAR(s.dims.frame.MainRodLen, 16.510f, 1e-5);
  EXPECT_FLOAT_EQ(s.dyn.DynVarVal[1], s.dims.frame.MainRodLen);

  s.FrontCOText = "20.0";
  DynVarBarChange(s, 1, 0);
  EXPECT_TRUE(s.FrontCOText.empty());

  // An empty slot does nothing.
  const ModelState before = s;
  DynVarBarChange(s, 3, 1);
  EXPECT_EQ(s.dims.frame.MainRodLen, before.dims.frame.MainRodLen);
}

TEST(DynVarApply, ValveCentreLineFollowsItsTwoDimensions) {
  ModelState s = Started();
  Enter(s, 108, 3, false);
  DynVarBarChange(s, 1, 10);
  EXPECT_NEAR(s.mech.PtY[4], 3.26f, 1e-5);
  // Display copies of the pivots follow only the editor, not the bars.
  Enter(s, 25, 10.297f, false);
  DynVarBarChange(s, 1, 1);
  EXPECT_NEAR(s.mech.PtX[9], 10.298f, 1e-5);
}

TEST(UndoStack, DragPushesOneEntryFromTheValueAtFocus) {
  ModelState s = Started();
  bool buttons = false;
  s.undo.onButtons = [&](bool e) { buttons = e; };
  Enter(s, 2, 4, false);
  DynVarBarEnter(s, 1);
  for (int p : {3, 7, 12}) {
    DynVarBarChange(s, 1, p);
  }
  DynVarEndScroll(s, 1);
  EXPECT_EQ(s.undo.UndoCount, 1);
  EXPECT_EQ(s.undo.UndoId[1], 2u);
  EXPECT_FLOAT_EQ(s.undo.UndoOld[1], 4);
  EXPECT_FLOAT_EQ(s.undo.UndoNew[1], s.dims.frame.Stroke);
  EXPECT_EQ(s.undo.UndoName[1], "Stroke");
  EXPECT_EQ(s.undo.EditDirty, 0);
  EXPECT_TRUE(buttons);
  Undo(s);
  EXPECT_FLOAT_EQ(s.dims.frame.Stroke, 4);
  EXPECT_FLOAT_EQ(s.dyn.DynVarVal[1], 4);  // the slot shows the restored value
  EXPECT_FALSE(buttons);
}

// Arrow after arrow on a bar that keeps the focus: each step is its own
// entry, from where the step before ended, so undo takes them back one by one.
TEST(UndoStack, StepsOnABarThatKeepsTheFocusPushOneEntryEach) {
  ModelState s = Started();
  Enter(s, 3, 16.5f, false);
  DynVarBarEnter(s, 1);
  for (int n = 0; n < 3; ++n) {
    DynVarBarStep(s, 1, 1);
    DynVarEndScroll(s, 1);
  }
  ASSERT_EQ(s.undo.UndoCount, 3);
  for (size_t e = 1; e <= 3; ++e) {
    EXPECT_FLOAT_EQ(s.undo.UndoNew[e], 16.5f + 0.001f * static_cast<float>(4 - e)) << e;
    EXPECT_FLOAT_EQ(s.undo.UndoOld[e], 16.5f + 0.001f * static_cast<float>(3 - e)) << e;
  }
  Undo(s);
  EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 16.502f);
}

TEST(UndoStack, TwentyOneChangesTwentyUndos) {
  ModelState s = Started();
  bool buttons = false;
  s.undo.onButtons = [&](bool e) { buttons = e; };
  for (int i = 1; i <= 21; ++i) Enter(s, 3, 16.5f + i, true);
  EXPECT_EQ(s.undo.UndoCount, 20);
  EXPECT_FLOAT_EQ(s.undo.UndoNew[1], 37.5f);
  EXPECT_FLOAT_EQ(s.undo.UndoOld[1], 36.5f);
  for (int i = 21; i >= 2; --i) {
    EXPECT_TRUE(buttons) << i;
    Undo(s);
    EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 16.5f + i - 1) << i;
  }
  EXPECT_FALSE(buttons);  // the twentieth undo disabled the buttons
  EXPECT_EQ(s.undo.UndoCount, 0);
  Undo(s);  // the first change cannot be undone
  EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 17.5f);
  EXPECT_EQ(s.undo.UndoCount, 0);
}

TEST(UndoStack, UndoOfValveOffsetMovesTheValveCentreLineBack) {
  ModelState s = Started();
  Enter(s, 108, 2, true);
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 2.25f);
  Undo(s);
  EXPECT_FLOAT_EQ(s.dims.CylValveDim[ValveCLToCylCL], 3);
  EXPECT_FLOAT_EQ(s.mech.PtY[4], 3.25f);
}

TEST(UndoStack, AnUndoChangesExactlyTheUndoneDimension) {
  ModelState s = Started();
  // Listed dimensions whose values do not survive a trip through +1 and -1
  // in single precision, and a valve centre line loaded as it was saved.
  Enter(s, 2, 0.001f, false);
  Enter(s, 10, 1e-9f, false);
  Enter(s, 108, 3.3f, false);
  s.mech.PtY[4] = 7.125f;
  Enter(s, 3, 20, true);
  ModelState before = s;
  Undo(s);
  EXPECT_EQ(s.dims.frame.MainRodLen, 16.5f);
  for (const DimInfo& d : DimTable())
    if (d.id != 3) {
      EXPECT_EQ(GetDim(s, d.id), GetDim(before, d.id)) << d.id;
    }
  EXPECT_EQ(s.mech.PtY[4], 7.125f);
  // Every slot shows its dimension as now stored.
  EXPECT_EQ(s.dyn.DynVarId[1], 3u);
  EXPECT_EQ(s.dyn.DynVarVal[1], 16.5f);
  EXPECT_EQ(s.dyn.DynVarVal[2], 3.3f);
  EXPECT_EQ(s.dyn.DynVarVal[3], 1e-9f);
  EXPECT_EQ(s.dyn.DynVarVal[4], 0.001f);
}

TEST(UndoStack, ResetsEmptyTheListAndTheStack) {
  ModelState s = Started();
  Enter(s, 3, 20, true);
  Enter(s, 104, 6, true);
  ResetCylDimensions(s);
  EXPECT_EQ(s.undo.UndoCount, 0);
  EXPECT_EQ(s.undo.UndoId[1], 0u);
  EXPECT_EQ(s.dyn.DynVarName[1], EmptyDynVarName);
  EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 20);  // the frame stays
  Enter(s, 3, 21, true);
  ResetFrameDimensions(s);
  EXPECT_FLOAT_EQ(s.dims.frame.MainRodLen, 16.5f);
  EXPECT_EQ(s.undo.UndoCount, 0);
}

TEST(Positions, TidyHidesEverythingAfterTheFirstGap) {
  ModelState s = Started();
  auto& p = s.revArm.Positions;
  p = {9.7f, 9.7f, 10.4f, 9.0f, 9.5f, 9.6f, 0, 0, 0, 0};
  StorePosition(s, 3, 0);
  TidyPositions(s.revArm);
  EXPECT_EQ(s.revArm.RevArmCount, 2);
  for (size_t k = 4; k <= 9; ++k) EXPECT_EQ(p[k], 0.0f) << k;

  StorePosition(s, 2, 99);
  EXPECT_FLOAT_EQ(p[2], p[0] + 0.9f);
  StorePosition(s, 2, -99);
  EXPECT_FLOAT_EQ(p[2], p[0] - 0.9f);
  StorePosition(s, 1, 0);
  EXPECT_FLOAT_EQ(p[1], 0.001f);
  StoreVertScale(s, 0.01f);
  EXPECT_FLOAT_EQ(s.revArm.VertScale, 0.1f);
}

}  // namespace brevold

namespace brevold {
using test::Started;

TEST(UndoStack, RedoMakesUndoneChangesAgainUntilANewChange) {
  ModelState s = Started();
  Enter(s, 3, 17, true);
  Enter(s, 2, 4.5f, true);
  Enter(s, 3, 18, true);
  EXPECT_FALSE(CanRedo(s));
  for (int i = 0; i < 3; ++i) Undo(s);
  EXPECT_EQ(s.dims.frame.MainRodLen, 16.5f);
  EXPECT_EQ(s.dims.frame.Stroke, 4);
  Redo(s);
  Redo(s);
  // As after the first two changes, and they are on the stack again.
  EXPECT_EQ(s.dims.frame.MainRodLen, 17);
  EXPECT_EQ(s.dims.frame.Stroke, 4.5f);
  EXPECT_EQ(s.undo.UndoCount, 2);
  EXPECT_EQ(s.undo.UndoName[1], "Stroke");
  EXPECT_TRUE(s.undo.ButtonsEnabled);
  Undo(s);
  EXPECT_EQ(s.dims.frame.Stroke, 4);
  Redo(s);
  EXPECT_EQ(s.dims.frame.Stroke, 4.5f);
  // A new change ends what can be made again.
  Enter(s, 10, 9, true);
  EXPECT_FALSE(CanRedo(s));
  Redo(s);
  EXPECT_EQ(s.dims.frame.MainRodLen, 17);
  EXPECT_EQ(s.dims.frame.RadRodLen, 9);
  Undo(s);
  Undo(s);
  ClearUndo(s);  // a reset takes the redo list with the stack
  EXPECT_FALSE(CanRedo(s));
}

TEST(UndoStack, RedoingTwentyUndoneChangesKeepsTheStackAtTwenty) {
  ModelState s = Started();
  for (int i = 1; i <= 25; ++i) Enter(s, 3, 16.5f + i, true);
  for (int i = 0; i < 20; ++i) Undo(s);
  EXPECT_EQ(s.dims.frame.MainRodLen, 21.5f);  // the five oldest fell off
  for (int i = 0; i < 20; ++i) Redo(s);
  EXPECT_EQ(s.dims.frame.MainRodLen, 41.5f);
  EXPECT_EQ(s.undo.UndoCount, 20);
  EXPECT_FALSE(CanRedo(s));
  for (int i = 0; i < 20; ++i) Undo(s);
  EXPECT_EQ(s.dims.frame.MainRodLen, 21.5f);
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the lines-and-circles dialog, apart from its widgets: the
// three choices (Type, Colour, Referenced to), the row texts, the pivot pick
// and what each button does to the item table. Each step says whether the
// dialog beeps or closes.
#pragma once
#include <string>

#include "state/linesstate.h"

namespace brevold {

struct ModelState;

struct LinesStep {
  bool beep = false;
  bool close = false;
};

extern const char* const LineColorNames[6];
extern const float LineColorNumbers[6];

LinesStep LinesFormActivate(ModelState& m, LinesDialogState& d);
LinesStep TypeChosen(ModelState& m, LinesDialogState& d, int choice);
LinesStep ColorChosen(ModelState& m, LinesDialogState& d, int choice);
LinesStep RefChosen(ModelState& m, LinesDialogState& d, int choice);
LinesStep DrawClose(ModelState& m, LinesDialogState& d);
void ClearLine(ModelState& m, LinesDialogState& d);
// "Close", Esc and the close box: the three choices reset, "Draw Close"
// disabled, pick mode over.
void CloseLines(LinesDialogState& d);
void RowNumberClicked(ModelState& m, LinesDialogState& d, int row);
void ResetLineChoices(LinesDialogState& d);
// The value typed into field k (0..3) of row n, stored at once.
void StoreLineField(ModelState& m, LinesDialogState& d, int n, int k, const std::string& text);
// Refreshes every row's texts from the item table (after a file is read).
void LinesDataClick(const ModelState& m, LinesDialogState& d);
// Empties every row's type, colour and reference texts (before a file is read).
void EmptyLineTexts(LinesDialogState& d);
// Whether a key may go into field k of row n.
bool LineFieldKeyAllowed(const LinesDialogState& d, int n, int k, char key, const std::string& text);

// The main window's pick clicks: whether a left or right click in the
// picture brings the dialog back.
bool PickReopensOnLeft(const LinesDialogState& d);
bool PickReopensOnRight(const LinesDialogState& d, bool leftFirst);

}  // namespace brevold

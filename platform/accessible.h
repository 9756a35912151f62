// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology (a screen reader) is told about the windows:
// a name for every control, and for a widget that draws values, the words
// it shows.
#pragma once
#include <QString>

class QWidget;

namespace brevold {

// Names the controls of `window` (its own, not those of the windows it
// owns) that assistive technology would otherwise find nameless. A control
// keeps the name Qt gives it (its caption, or the text of a label whose
// buddy it is); one without takes its hint (tool tip), and the pieces Qt
// builds inside other controls (a scroll area's bars, a table's headings and
// corner button, a spin box's field, a tool bar's or menu bar's overflow
// button) are named after what they do. Every control with a hint also has
// it as its description. Called once the window's widgets exist, after the
// window has named those with neither caption, label nor hint.
void NameControls(QWidget* window);

// The words a widget that draws values shows, as its accessible
// description; assistive technology is told when they change.
void ShowTextOf(QWidget* w, const QString& text);

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A modal dialog with a fixed client size and controls placed by pixel, as
// all the program's small dialogs are laid out; FormActivate runs each time
// it is shown.
#pragma once
#include <QDialog>
#include <QLabel>
#include <functional>

namespace brevold {

// The size a resizable window opens at: `preferred`, made smaller to fit
// `available` (the screen's free area) with `frame` left around it for the
// window's title bar and borders, but never below `minimum`, below which its
// layout cannot go.
QSize FittedSize(QSize preferred, QSize minimum, QSize available, QSize frame = QSize(16, 48));
// Resizes `w` to its preferred size fitted to the screen it will open on.
void FitOnScreen(QWidget* w, QSize preferred);

// The face and pixel size the small dialogs are laid out for.
QFont DialogFont();

class FixedDialog : public QDialog {
  Q_OBJECT
 public:
  FixedDialog(QWidget* parent, const QString& caption, int width, int height);
  QLabel* AddLabel(const QString& text, int left, int top);
  std::function<void()> onActivate;

 protected:
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;  // Esc: the typed field is not stored
};

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// FixedDialog: the small fixed-size dialogs laid out by pixel in the program's dialog face.
#include "platform/dialog.h"

#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>

#include "platform/controls.h"

#include "platform/qtcanvas.h"

namespace brevold {

FixedDialog::FixedDialog(QWidget* parent, const QString& caption, int width, int height) : QDialog(parent) {
  setWindowTitle(caption);
  setFixedSize(width, height);
  setWindowFlags((windowFlags() | Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
  setModal(true);
  // The layouts are in pixels for an 8-point face: the desktop's own font
  // would be larger and run the labels into the fields; the face is drawn
  // 92% wide, as the narrower face the layouts were made for.
  setFont(DialogFont());
}

QSize FittedSize(QSize preferred, QSize minimum, QSize available, QSize frame) {
  const QSize room = (available - frame).expandedTo(QSize(0, 0));
  return preferred.boundedTo(room).expandedTo(minimum);
}

void FitOnScreen(QWidget* w, QSize preferred) {
  const QScreen* screen = w->screen();
  const QSize available = screen ? screen->availableGeometry().size() : preferred;
  w->resize(FittedSize(preferred, w->minimumSizeHint(), available));
}

QFont DialogFont() { return ToQFont(Font{FontFace::Sans, 8, false, false, clBlack, 92}); }

QLabel* FixedDialog::AddLabel(const QString& text, int left, int top) {
  QLabel* l = new QLabel(text, this);
  l->move(left, top);
  l->adjustSize();
  return l;
}

void FixedDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (onActivate) onActivate();
}

void FixedDialog::keyPressEvent(QKeyEvent* e) {
  EscapeDropsField(this, e);
  QDialog::keyPressEvent(e);
}

}  // namespace brevold

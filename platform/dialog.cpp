#include "platform/dialog.h"

#include <QShowEvent>

namespace brevold {

FixedDialog::FixedDialog(QWidget* parent, const QString& caption, int width, int height) : QDialog(parent) {
  setWindowTitle(caption);
  setFixedSize(width, height);
  setWindowFlags((windowFlags() | Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
  setModal(true);
}

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

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Accessible names for the windows' controls, and the words drawn widgets show.
#include "platform/accessible.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTextEdit>

namespace brevold {

namespace {

bool IsControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTabBar*>(w);
}

// The name assistive technology reads, as Qt gives it.
QString NameOf(QWidget* w) {
  QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
  return i ? i->text(QAccessible::Name) : QString();
}

// A piece Qt builds inside another control, named after what it does there.
QString PieceName(QWidget* w) {
  QWidget* parent = w->parentWidget();
  if (auto* bar = qobject_cast<QScrollBar*>(w)) {
    // A scroll area keeps its bars in containers of its own.
    auto* area = parent ? qobject_cast<QAbstractScrollArea*>(parent->parentWidget()) : nullptr;
    if (!area) return {};
    const QString what = NameOf(area);
    const QString way = bar->orientation() == Qt::Horizontal ? "sideways" : "up and down";
    return what.isEmpty() ? "Scroll " + way : "Scroll " + what + " " + way;
  }
  if (auto* h = qobject_cast<QHeaderView*>(w)) return h->orientation() == Qt::Horizontal ? "Column headings" : "Row headings";
  if (qobject_cast<QLineEdit*>(w) && qobject_cast<QAbstractSpinBox*>(parent)) return NameOf(parent);
  if (qobject_cast<QAbstractButton*>(w) && qobject_cast<QTableView*>(parent)) return "Select all";
  if (w->objectName() == "qt_toolbar_ext_button") return "More tools";
  if (w->objectName() == "qt_menubar_ext_button") return "More menus";
  return {};
}

}  // namespace

void NameControls(QWidget* window) {
  const QList<QWidget*> all = window->findChildren<QWidget*>();
  // The controls first: a piece takes the name of the control it is in.
  for (bool pieces : {false, true}) {
    for (QWidget* w : all) {
      if (w->window() != window || !IsControl(w)) continue;
      const QString hint = w->toolTip();
      if (!pieces && !hint.isEmpty() && w->accessibleDescription().isEmpty()) w->setAccessibleDescription(hint);
      if (!NameOf(w).isEmpty()) continue;
      const QString name = pieces ? PieceName(w) : hint;
      if (!name.isEmpty()) w->setAccessibleName(name);
    }
  }
}

// A new description goes out to assistive technology as a DescriptionChanged
// event (setAccessibleDescription sends it); the same text again sends none.
void ShowTextOf(QWidget* w, const QString& text) {
  if (w->accessibleDescription() != text) w->setAccessibleDescription(text);
}

}  // namespace brevold

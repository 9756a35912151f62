// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Scroll bars, number fields and buttons with the behaviour the windows expect of them.
#include "platform/controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "model/numfmt.h"
#include <QWheelEvent>

namespace brevold {

ScrollBar::ScrollBar(QWidget* parent, int left, int top, int width, int height, const QString& hint)
    : QScrollBar(Qt::Horizontal, parent) {
  setGeometry(left, top, width, height);
  setToolTip(hint);
  setPageStep(1);
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QScrollBar::valueChanged, this, [this](int) {
    if (onChange) onChange();
  });
}

void ScrollBar::mousePressEvent(QMouseEvent* e) {
  pressed_ = true;
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  QScrollBar::mousePressEvent(e);
}

void ScrollBar::mouseReleaseEvent(QMouseEvent* e) {
  QScrollBar::mouseReleaseEvent(e);
  if (pressed_) {
    pressed_ = false;
    if (onEndScroll) onEndScroll();
  }
}

// A horizontal bar's right-hand side is always its larger end: Right adds a
// small change and Left takes one away (QScrollBar's inverted controls turn
// them round, and the reverse-arm bar's right-hand side means forward gear).
// The keypad's arrows (4 and 6 with NumLock off) are the same keys.
void ScrollBar::keyPressEvent(QKeyEvent* e) {
  if (orientation() == Qt::Horizontal && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
      (e->key() == Qt::Key_Left || e->key() == Qt::Key_Right)) {
    triggerAction(e->key() == Qt::Key_Right ? SliderSingleStepAdd : SliderSingleStepSub);
    e->accept();
    return;
  }
  QScrollBar::keyPressEvent(e);
}

void ScrollBar::keyReleaseEvent(QKeyEvent* e) {
  QScrollBar::keyReleaseEvent(e);
  switch (e->key()) {
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
    case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
      if (!e->isAutoRepeat() && onEndScroll) onEndScroll();
      break;
    default:
      break;
  }
}

void ScrollBar::focusInEvent(QFocusEvent* e) {
  QScrollBar::focusInEvent(e);
  update();
  if (onEnter) onEnter();
}

void ScrollBar::focusOutEvent(QFocusEvent* e) {
  QScrollBar::focusOutEvent(e);
  update();
}

// The bar with the keyboard focus shows it with a dotted frame.
void ScrollBar::paintEvent(QPaintEvent* e) {
  QScrollBar::paintEvent(e);
  if (!hasFocus()) return;
  QPainter p(this);
  p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// The wheel is one more way to scroll: a bar that records its scroll actions
// (the dynamic variables, for undo) treats each wheel gesture as one action,
// entered when it begins and ended when the wheel has been still a moment.
void ScrollBar::wheelEvent(QWheelEvent* e) {
  if (!onEndScroll) {
    QScrollBar::wheelEvent(e);
    return;
  }
  if (!wheeling_) {
    wheeling_ = true;
    if (onEnter) onEnter();
    if (!wheelEnd_) {
      wheelEnd_ = new QTimer(this);
      wheelEnd_->setSingleShot(true);
      wheelEnd_->setInterval(WheelGestureEndMs);
      connect(wheelEnd_, &QTimer::timeout, this, &ScrollBar::EndWheelGesture);
    }
  }
  QScrollBar::wheelEvent(e);
  if (e->phase() == Qt::ScrollEnd) EndWheelGesture();
  else wheelEnd_->start();
}

void ScrollBar::EndWheelGesture() {
  if (!wheeling_) return;
  wheeling_ = false;
  wheelEnd_->stop();
  if (onEndScroll) onEndScroll();
}

namespace {
bool HasDefaultButton(QWidget* window) {
  for (QPushButton* b : window->findChildren<QPushButton*>())
    if (b->isDefault() && b->isVisible() && b->isEnabled()) return true;
  return false;
}
}  // namespace

NumberEdit::NumberEdit(QWidget* parent, int left, int top, int width, int height) : QLineEdit(parent) {
  setGeometry(left, top, width, height);
}

void NumberEdit::keyPressEvent(QKeyEvent* e) {
  char key = 0;
  if (e->key() == Qt::Key_Backspace) key = '\b';
  else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) key = '\r';
  else if (e->text().size() == 1 && e->text()[0].unicode() >= 0x20 && e->text()[0].unicode() < 0x7F)
    key = static_cast<char>(e->text()[0].unicode());
  if (key == 0 || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
    // Keys that type nothing (navigation, Delete, Esc, the Ctrl shortcuts)
    // are the line edit's; what it does not use goes on to the dialog.
    QLineEdit::keyPressEvent(e);
    return;
  }
  // Return belongs to a dialog's default button before any field filter.
  if (key == '\r' && HasDefaultButton(window())) {
    e->ignore();
    return;
  }
  const bool translated = NumberFieldKey(key) != key;
  key = NumberFieldKey(key);
  if (onKeyPress && !onKeyPress(key, text())) return;
  if (key == '\r') {
    e->ignore();  // typed nothing: the dialog's default button, if any, takes it
    return;
  }
  if (translated) {
    // A comma goes into the text as the point it stands for.
    QKeyEvent point(e->type(), Qt::Key_Period, e->modifiers(), QString(QChar(key)), e->isAutoRepeat(), e->count());
    QLineEdit::keyPressEvent(&point);
    e->setAccepted(point.isAccepted());
    return;
  }
  QLineEdit::keyPressEvent(e);
}

float NumberEdit::NumberOr(float stored) const { return brevold::NumberOr(text().toStdString(), stored); }

void NumberEdit::focusInEvent(QFocusEvent* e) {
  discarded_ = false;
  QLineEdit::focusInEvent(e);
}

void NumberEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (!discarded_ && onExit) onExit();
}

bool EscapeDropsField(QWidget* dialog, const QKeyEvent* e) {
  if (e->key() != Qt::Key_Escape || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  if (auto* field = qobject_cast<NumberEdit*>(dialog->focusWidget())) field->Discard();
  return true;
}

Button::Button(QWidget* parent, const QString& caption, int left, int top, int width, int height, const QString& hint)
    : QPushButton(caption, parent) {
  setAutoDefault(false);
  setGeometry(left, top, width, height);
  if (!hint.isEmpty()) setToolTip(hint);
  connect(this, &QPushButton::clicked, this, [this] {
    if (onClick) onClick();
  });
}

void Button::keyPressEvent(QKeyEvent* e) {
  const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
  if (enter && (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (isEnabled()) click();
    e->accept();
    return;
  }
  QPushButton::keyPressEvent(e);
}

char NumberFieldKey(char typed) { return typed == ',' ? '.' : typed; }

bool NumberKeyAllowed(char key, const QString& text, bool allowMinus, bool oneMinus) {
  if (key == '\b') return true;
  if (key >= '0' && key <= '9') return true;
  if (key == '.') return !text.contains('.');
  if (key == '-' && allowMinus) return !(oneMinus && text.contains('-'));
  return false;
}

}  // namespace brevold

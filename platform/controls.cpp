#include "platform/controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
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
  if (onEnter) onEnter();
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

NumberEdit::NumberEdit(QWidget* parent, int left, int top, int width, int height) : QLineEdit(parent) {
  setGeometry(left, top, width, height);
}

void NumberEdit::keyPressEvent(QKeyEvent* e) {
  char key = 0;
  if (e->key() == Qt::Key_Backspace) key = '\b';
  else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) key = '\r';
  else if (e->text().size() == 1 && e->text()[0].unicode() >= 0x20 && e->text()[0].unicode() < 0x7F)
    key = static_cast<char>(e->text()[0].unicode());
  if (key == 0) {
    // Navigation and editing keys that type nothing pass through.
    if (e->text().isEmpty() || e->key() == Qt::Key_Delete) QLineEdit::keyPressEvent(e);
    return;
  }
  if (onKeyPress && !onKeyPress(key, text())) return;
  if (key == '\r') return;  // a Return the filter accepted types nothing
  QLineEdit::keyPressEvent(e);
}

void NumberEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (onExit) onExit();
}

Button::Button(QWidget* parent, const QString& caption, int left, int top, int width, int height, const QString& hint)
    : QPushButton(caption, parent) {
  setGeometry(left, top, width, height);
  if (!hint.isEmpty()) setToolTip(hint);
  connect(this, &QPushButton::clicked, this, [this] {
    if (onClick) onClick();
  });
}

bool NumberKeyAllowed(char key, const QString& text, bool allowMinus, bool oneMinus) {
  if (key == '\b') return true;
  if (key >= '0' && key <= '9') return true;
  if (key == '.') return !text.contains('.');
  if (key == '-' && allowMinus) return !(oneMinus && text.contains('-'));
  return false;
}

}  // namespace brevold

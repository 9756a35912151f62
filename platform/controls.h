// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The controls the windows are built from, with the behaviour the program
// expects of them: a scroll bar whose change handler runs on every position
// change and which reports the end of each user scroll action, and a number
// edit whose key filter sees each typed character and whose exit handler
// runs on every loss of focus.
#pragma once
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <functional>

namespace brevold {

class ScrollBar : public QScrollBar {
  Q_OBJECT
 public:
  ScrollBar(QWidget* parent, int left, int top, int width, int height, const QString& hint);
  int Min() const { return minimum(); }
  int Max() const { return maximum(); }
  int Position() const { return value(); }
  void SetMin(int v) { setMinimum(v); }
  void SetMax(int v) { setMaximum(v); }
  void SetRange(int lo, int hi) { setRange(lo, hi); }
  void SetPosition(int p) { setValue(p); }
  void SetSmallChange(int v) { setSingleStep(v); }
  void SetLargeChange(int v) { setPageStep(v); }
  int SmallChange() const { return singleStep(); }
  int LargeChange() const { return pageStep(); }

  std::function<void()> onChange;     // position changed, by the user or by code
  std::function<void()> onEndScroll;  // a user scroll action (arrow, trough, drag) ended
  std::function<void()> onEnter;      // received the focus (or a wheel gesture began)

  // A wheel gesture on a bar that reports its scroll actions ends when the
  // wheel has been still this long (or the touchpad says it ended).
  static constexpr int WheelGestureEndMs = 300;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void EndWheelGesture();
  bool pressed_ = false;
  bool wheeling_ = false;
  QTimer* wheelEnd_ = nullptr;
};

class NumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  NumberEdit(QWidget* parent, int left, int top, int width, int height);
  // Sees each typed character (a comma as '.', Backspace as '\b', Return as '\r') with
  // the text before it; returns false to discard the key. A Return it lets
  // through goes on to the dialog (its default button); keys that type
  // nothing (Esc, Tab, the arrows, Ctrl+A/C/X/V) are never filtered.
  std::function<bool(char key, const QString& text)> onKeyPress;
  std::function<void()> onExit;  // every loss of focus, changed or not
  // What is being typed is dropped: the next loss of focus does not run
  // onExit (until the field has the focus again).
  void Discard() { discarded_ = true; }
  // The field's number, or `stored` for text that is no number.
  float NumberOr(float stored) const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  bool discarded_ = false;
};

// Esc closes a dialog without storing the field being typed in: called by a
// dialog for each key it receives, it drops that field's text on Esc.
// Returns true for Esc.
bool EscapeDropsField(QWidget* dialog, const QKeyEvent* e);

// A push button with caption, hint and a click handler. As on the desktop
// the program was made for, Return presses the button that has the focus;
// with the focus elsewhere (a field) it goes to the dialog's default button
// (setDefault), if there is one. A button is never made default by taking
// the focus (no auto-default), so a dialog without one has no default.
class Button : public QPushButton {
  Q_OBJECT
 public:
  Button(QWidget* parent, const QString& caption, int left, int top, int width, int height,
         const QString& hint = QString());
  std::function<void()> onClick;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
};

// A comma typed in a number field is its decimal point, whatever the
// desktop's language: the field's text holds '.', so that it reads back as
// typed. Every other key is itself.
char NumberFieldKey(char typed);

// Keys the number fields take: digits, '-', '.', Backspace; a second '.'
// (and, where `oneMinus`, a second '-') in the same text is refused.
bool NumberKeyAllowed(char key, const QString& text, bool allowMinus, bool oneMinus);

}  // namespace brevold

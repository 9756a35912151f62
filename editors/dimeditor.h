// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two dimension editors, TFrameDi and TCylDimen: a field per dimension
// on the gray area (leaving a field stores it, makes it the newest dynamic
// variable and, when typed into, records an undo entry), a small button per
// dimension that asks the main window to show where it lies, a reset and a
// close that recomputes mid gear.
#pragma once
#include <QDialog>
#include <vector>

#include "platform/canvas.h"
#include "platform/controls.h"

namespace brevold {

class MainPort;
struct AppState;

// One field of an editor.
struct FieldSpec {
  int number;  // EditN / ButtonN
  bool right;  // right column
  int row;
  int id;  // dimension id (26 and 27: the travel limits, no id; short names from the model's table)
  int buttonHeight = 13;
};

// One label drawn on the dialog's surface.
struct LabelSpec {
  int x, row;
  const char* text;
};

struct EditorLayout {
  const char* caption;
  int width, height;
  std::vector<FieldSpec> fields;
  std::vector<LabelSpec> labels;
  const char* hint1;
  int hint1Y;
  const char* hint2;
  int hint2Y;
  const char* resetCaption;
  int resetY, closeY;
  int buttonBase;  // HiliteDim of ButtonN is buttonBase + N
};

class DimEditor : public QDialog {
  Q_OBJECT
 public:
  DimEditor(MainPort& form, const EditorLayout& layout);
  void FormActivate();  // draws the labels, fills the fields
  void FillFields();
  void Close1Click();
  void ResetClick();      // reset, then clear undo
  void ResetMouseDown();  // reset, undo kept
  NumberEdit* Edit(int n) const { return edits_[static_cast<size_t>(n)]; }
  QPushButton* SmallButton(int n) const { return buttons_[static_cast<size_t>(n)]; }
  // What the last frame of labels drew, for tests: text and position.
  struct DrawnLabel {
    std::string text;
    Pt at;
  };
  std::vector<DrawnLabel> Labels() const;
  Button *Close1, *Reset;

 protected:
  virtual void ResetDimensions() = 0;
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void DrawLabels(Canvas& c) const;
  MainPort& form_;
  AppState& app_;

 private:
  bool KeyPress(const FieldSpec& f, char key, const QString& text);
  void FieldExit(const FieldSpec& f);
  void DoReset();
  void Show(const FieldSpec& f, float v);
  EditorLayout layout_;
  struct Shown {
    QString text;
    float value = 0;
  };
  std::vector<Shown> shown_;  // by field number: the text filled in and its value
  std::vector<NumberEdit*> edits_;
  std::vector<QPushButton*> buttons_;
};

class TFrameDi : public DimEditor {
  Q_OBJECT
 public:
  explicit TFrameDi(MainPort& form);

 protected:
  void ResetDimensions() override;
};

class TCylDimen : public DimEditor {
  Q_OBJECT
 public:
  explicit TCylDimen(MainPort& form);

 protected:
  void ResetDimensions() override;
};

}  // namespace brevold

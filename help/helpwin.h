// The help windows: two instruction texts read from files beside the
// program when they are created, and the about box.
#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace brevold {

// TInst ("Instructions", instruct.doc) and TBrvSpIn ("Brevold Special
// Instructions", BrvSpIn.doc): a read-only text over the whole window.
class InstructionWindow : public QDialog {
  Q_OBJECT
 public:
  InstructionWindow(QWidget* parent, const QString& caption, const QString& fileName, bool memoFills);
  QPlainTextEdit* Memo1;
  QLabel* Label1;
  // The text of a failed load, empty when the file was read.
  QString LoadError() const { return error_; }

 private:
  void FormCreate(const QString& fileName);
  QString error_;
};

class TInst : public InstructionWindow {
  Q_OBJECT
 public:
  explicit TInst(QWidget* parent);
};

class TBrvSpIn : public InstructionWindow {
  Q_OBJECT
 public:
  explicit TBrvSpIn(QWidget* parent);
};

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent);
};

}  // namespace brevold

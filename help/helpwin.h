// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The help windows: two instruction texts read from files beside the
// program when they are created, the user guide compiled into the program,
// and the about box.
#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextBrowser;

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

// TUserGuide ("BREVOLD User Guide"): what the program has gained beside the
// instruction texts, one section a topic. It is not modal, so that it can be
// read beside the window that opened it, and that window is its parent, so
// that it stays usable over a modal window and closes with it.
class TUserGuide : public QDialog {
  Q_OBJECT
 public:
  explicit TUserGuide(QWidget* parent);
  // Scrolls to the section named `anchor`, or to the top when it is empty.
  void ShowSection(const QString& anchor);
  QTextBrowser* Browser;
};

// The guide's sections, by their anchors.
namespace guide {
inline constexpr char ValveEvents[] = "valve-events";
inline constexpr char BalanceEvents[] = "balance-events";
inline constexpr char Pictures[] = "pictures";
inline constexpr char Keyboard[] = "keyboard";
inline constexpr char Saving[] = "saving";
inline constexpr char Json[] = "json";
inline constexpr char CommandLine[] = "command-line";
}  // namespace guide

// Shows the guide over `parent` at the section `anchor` ("" for the top):
// the one already open over that window is raised, else a new one opens.
TUserGuide* ShowGuide(QWidget* parent, const char* anchor = "");

class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent);
  QPushButton* CloseButton;
};

}  // namespace brevold

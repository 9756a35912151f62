// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TDataTable: the pivot data table as editable text, with cut, copy, paste
// and select-all for the clipboard.
#pragma once
#include <QDialog>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace brevold {

class MainPort;

class TDataTable : public QDialog {
  Q_OBJECT
 public:
  explicit TDataTable(MainPort& form);
  void FormActivate();  // builds the table
  void Edit1Click();
  void Cut1Click();
  void Copy1Click();
  void Past1Click();
  void SelectAll1Click();
  QPlainTextEdit* DataMemo;
  QMenu* Edit1;
  QAction *Close1, *Blank, *Cut1, *Copy1, *Past1, *SelectAll1;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  MainPort& form_;
};

}  // namespace brevold

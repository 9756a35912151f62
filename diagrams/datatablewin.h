// TDataTable: the pivot data table as editable text, with cut, copy, paste
// and select-all for the clipboard.
#pragma once
#include <QDialog>

class QAction;
class QMenu;
class QPlainTextEdit;

namespace brevold {

class TMainForm;

class TDataTable : public QDialog {
  Q_OBJECT
 public:
  explicit TDataTable(TMainForm& form);
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
  TMainForm& form_;
};

}  // namespace brevold

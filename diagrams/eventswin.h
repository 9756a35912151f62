// TValveEvents ("Valve Events"): the valve events of the gear as it stands,
// forward and reverse, with the front-minus-rear differences, as a table to
// read, copy to the clipboard or save as CSV. It is worked out afresh each
// time the window opens, with the animation stopped as in the diagram windows.
#pragma once
#include <QDialog>
#include <string>

class QAction;
class QMenuBar;
class QTableWidget;

namespace brevold {

class MainPort;

class TValveEvents : public QDialog {
  Q_OBJECT
 public:
  explicit TValveEvents(MainPort& form);
  void Recompute();
  void CopyClick();
  void SaveClick();
  // Writes the table as shown, as CSV; false (after the error box) on failure.
  bool SaveCsv(const QString& path);
  const std::string& Csv() const { return csv_; }

  QMenuBar* Menu = nullptr;
  QAction *CopyItem = nullptr, *SaveItem = nullptr, *CloseItem = nullptr;
  QTableWidget* Table = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int r) override;

 private:
  MainPort& form_;
  std::string csv_;
};

}  // namespace brevold

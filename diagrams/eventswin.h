// TValveEvents ("Valve Events"): the valve events of the gear as it stands,
// forward and reverse, with the front-minus-rear differences, as a table to
// read, copy to the clipboard or save as CSV. It is worked out afresh when
// the window opens and whenever its own dynamic-variable bars or "UnDo"
// button change the gear, with the animation stopped as in the diagram
// windows.
#pragma once
#include <QDialog>
#include <array>
#include <string>

class QAction;
class QLabel;
class QMenuBar;
class QTableWidget;
class QTimer;

namespace brevold {

class MainPort;
class Button;
class ScrollBar;

class TValveEvents : public QDialog {
  Q_OBJECT
 public:
  explicit TValveEvents(MainPort& form);
  void Recompute();
  // The table is worked out again once the events queued now are handled,
  // so that a run of bar steps costs one recomputation.
  void RecomputeSoon();
  void BarChange(int k);
  void BarEndScroll(int k);
  void UnDoButtonClick();
  // The strip's names, values and enabled bars from the dynamic variables.
  void ShowStrip();
  bool RecomputePending() const;
  void CopyClick();
  void SaveClick();
  // Writes the table as shown, as CSV; false (after the error box) on failure.
  bool SaveCsv(const QString& path);
  const std::string& Csv() const { return csv_; }

  QMenuBar* Menu = nullptr;
  QAction *CopyItem = nullptr, *SaveItem = nullptr, *CloseItem = nullptr;
  QTableWidget* Table = nullptr;
  std::array<ScrollBar*, 5> Bars{};  // 1..4
  std::array<QLabel*, 5> BarLabels{};
  QLabel* Notice = nullptr;  // "* First Select Dimensions *" while the list is empty
  Button* UnDoButton = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int r) override;

 private:
  MainPort& form_;
  std::string csv_;
  QTimer* recompute_ = nullptr;
};

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TValveEvents ("Valve Events"): the valve events of the gear as it stands,
// forward and reverse, with the front-minus-rear differences, as a table to
// read, copy to the clipboard or save as CSV. The table is worked out beside
// the window, on a copy of the gear, when the window opens and whenever its
// own dynamic-variable bars or "UnDo" button change the gear; a change while
// it runs starts it afresh, and the window stays usable throughout, with the
// settings done shown and a "Cancel" button. The animation is stopped while
// the window is open, as in the diagram windows. A compact set of columns
// shows at first; the Columns menu shows or hides each.
#pragma once
#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "model/events.h"
#include "state/session.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QTableWidget;
class QTimer;

namespace brevold {

class MainPort;
class Button;
class ScrollBar;
class EventsJob;

class TValveEvents : public QDialog {
  Q_OBJECT
 public:
  explicit TValveEvents(MainPort& form);
  ~TValveEvents() override;
  // Drops any table being worked out and starts one for the gear as it stands.
  void Recompute();
  // The same once the events queued now are handled, so that a run of bar
  // steps starts one table; the one being worked out is dropped at once.
  void RecomputeSoon();
  void BarChange(int k);
  void BarEndScroll(int k);
  void UnDoButtonClick();
  void CancelClick();
  // The strip's names, values and enabled bars from the dynamic variables.
  void ShowStrip();
  // A table is asked for or being worked out.
  bool RecomputePending() const;
  // Handles events until no table is pending (tests).
  void WaitForTable();
  void CopyClick();
  void SaveClick();
  // Writes the last whole table, as CSV; false (after the error box) on failure.
  bool SaveCsv(const QString& path);
  // The last whole table as CSV, every column; empty until one is worked out.
  const std::string& Csv() const { return csv_; }
  void ShowColumn(int column, bool shown);

  QMenuBar* Menu = nullptr;
  QAction *CopyItem = nullptr, *SaveItem = nullptr, *CloseItem = nullptr;
  QAction* HelpItem = nullptr;  // F1: the user guide at this window's section
  QMenu* ColumnsMenu = nullptr;
  QMenu* RowsMenu = nullptr;
  QAction *ByTravelItem = nullptr, *ByCutOffItem = nullptr;
  // The cut-offs the window's rows by cut-off are, on each side.
  inline static const std::vector<float> WindowCutOffs = {15, 20, 25, 30, 40, 50, 60, 75};
  std::vector<QAction*> ColumnItems;  // one per EventColumns() entry, checked when shown
  QTableWidget* Table = nullptr;
  std::array<ScrollBar*, 5> Bars{};  // 1..4
  std::array<QLabel*, 5> BarLabels{};
  QLabel* Notice = nullptr;  // "* First Select Dimensions *" while the list is empty
  Button* UnDoButton = nullptr;
  QLabel* Status = nullptr;  // what the table is of, or the settings done so far
  QProgressBar* Progress = nullptr;
  Button* CancelButton = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int r) override;

 private:
  void Poll();  // while a table is being worked out
  void ShowTable(const EventTable& t);
  void ShowWorking(bool working);
  void Drop();  // the table being worked out is no longer wanted
  MainPort& form_;
  std::string csv_;
  QTimer* recompute_ = nullptr;
  QTimer* poll_ = nullptr;
  std::shared_ptr<EventsJob> job_;
  Following undoShown_;  // the "UnDo" button following the undo stack
};

}  // namespace brevold

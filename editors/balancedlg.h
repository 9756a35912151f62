// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TBalanceEvents ("Balance Events"): the user ticks the dimensions the search
// may move (with their bounds), chooses the side and the weights, and runs
// the search on a worker thread, on a copy of the gear, with a progress bar
// and Cancel. The events show before and after side by side at equal
// cut-offs, with what else changed; "Apply", offered only when the search
// gained something on a gear sound over its whole travel, stores each changed
// dimension as the editors store a typed value, one undo entry each, the last
// one the newest dynamic variable; undoing them all brings the reverse arm
// back too.
#pragma once
#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "model/balance.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace brevold {

class MainPort;

class TBalanceEvents : public QDialog {
  Q_OBJECT
 public:
  explicit TBalanceEvents(MainPort& form);
  ~TBalanceEvents() override;

  // The request the controls describe; false (with a message) when a bound
  // does not read or no dimension is ticked.
  bool Request(BalanceRequest& r, QString& message) const;
  void RunClick();
  void CancelClick();
  // Ticks the three dimensions that move the cut-off difference most on the
  // side chosen, found beside the window.
  void StrongestClick();
  void ApplyClick();
  bool Running() const { return worker_ != nullptr; }
  // Waits for a running search to end (tests; closing cancels first).
  void WaitForSearch();
  const BalanceResult* Result() const { return result_.get(); }

  QTableWidget* Dims = nullptr;  // tick, dimension, today's value, low, high
  QComboBox* Side = nullptr;
  QDoubleSpinBox *LeadWeight = nullptr, *LeadHoldWeight = nullptr, *CutOffWeight = nullptr, *ReleaseWeight = nullptr,
                 *CompressionWeight = nullptr;
  QCheckBox* AllowLoss = nullptr;  // full-gear cut-off and opening may fall beyond their margins
  QSpinBox* MaxEvals = nullptr;
  QPushButton *StrongestButton = nullptr, *RunButton = nullptr, *CancelButton = nullptr, *ApplyButton = nullptr, *CloseButton = nullptr;
  QPushButton* HelpButton = nullptr;  // and F1: the user guide at this window's section
  QProgressBar* Progress = nullptr;
  QLabel* Summary = nullptr;
  QPlainTextEdit *Before = nullptr, *After = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int r) override;

 private:
  void FillDims();
  void Finished();  // on the window's thread, once the worker has ended
  void LeversFound(const std::vector<int>& ids);
  void ShowRunning(bool running);
  MainPort& form_;
  // Starts `work` on a thread of its own with a fresh cancel flag.
  void StartWorker(std::function<void(const std::atomic<bool>& cancel)> work);
  // Joins a worker that has ended; one still running (the window closing)
  // is told to stop and left to end on its own in the program's state.
  void LetGoOfWorker();
  void JoinWorker();
  std::unique_ptr<std::thread> worker_;
  std::shared_ptr<std::atomic<bool>> cancel_, ended_;
  // What the worker hands back.
  struct Outcome {
    BalanceResult result;
  };
  std::shared_ptr<Outcome> outcome_;
  std::unique_ptr<BalanceResult> result_;
};

}  // namespace brevold

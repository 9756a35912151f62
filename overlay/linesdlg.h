// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TDrawLines ("Draw Lines"): makes, edits and clears the twenty lines and
// circles, row by row, placing them with the main window's reference points
// and attaching them to the joints picked there.
#pragma once
#include <QDialog>
#include <array>

#include "platform/controls.h"

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;

namespace brevold {

class MainPort;

class TDrawLines : public QDialog {
  Q_OBJECT
 public:
  explicit TDrawLines(MainPort& form);
  void RadioGroup1Click(int i);
  void RadioGroup2Click(int i);
  void RadioGroup3Click(int i);
  void DrawButClick();
  void ClearLineClick();
  void CloseButClick();
  // Esc and the close box close as "Close" does.
  void reject() override;
  void RowClick(int row);
  void MarkLineRow();
  // Shows the dialog's state: the choices, the row texts and fields.
  void ShowLines();

  QButtonGroup *RadioGroup1, *RadioGroup2, *RadioGroup3;
  Button *DrawBut, *ClearLine, *CloseBut;
  std::array<QFrame*, 21> Rows{};
  std::array<std::array<QLabel*, 4>, 21> RowLabels{};      // number, type, colour, reference
  std::array<std::array<NumberEdit*, 4>, 21> RowFields{};  // Line1Vert, Line1Horz, Line2Vert, Line2Horz

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void After(const struct LinesStep& step);
  QButtonGroup* Group(const char* caption, const std::vector<const char*>& items, int columns, int x, int y, int w, int h);
  MainPort& form_;
};

}  // namespace brevold

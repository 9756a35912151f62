// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TSetRevArm ("Set Reverse Arm Positions"): the up to nine reverse-arm
// positions the steam, oval and sine diagrams draw one curve each for, and
// the diagrams' vertical scale.
#pragma once
#include <array>

#include "platform/controls.h"
#include "platform/dialog.h"

namespace brevold {

struct ModelState;
struct ScreenState;

class TSetRevArm : public FixedDialog {
  Q_OBJECT
 public:
  TSetRevArm(ModelState& model, const ScreenState& screen, QWidget* parent);
  void FormActivate();  // fills the header and the table
  void ShowTable();
  void CloseClick();
  void reject() override;
  std::array<QLabel*, 5> Header{};
  QLabel* VertScaleLabel;
  NumberEdit* VertScaleEdit;
  std::array<QLabel*, 10> PosLabel{};     // 1..9
  std::array<NumberEdit*, 10> PosEdit{};  // 1..9
  QLabel* Note;
  Button* Close;

 private:
  void Place(QLabel* l, int x, int y);
  ModelState& m_;
  const ScreenState& s_;
};

}  // namespace brevold

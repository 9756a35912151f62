// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The view's two small dialogs: TRefPnts types in the reference points,
// TGraphZoom sets the zoom factor of the dimension highlight.
#pragma once
#include "platform/controls.h"
#include "platform/dialog.h"

namespace brevold {

class MainPort;
struct ViewState;

class TRefPnts : public FixedDialog {
  Q_OBJECT
 public:
  explicit TRefPnts(MainPort& form);
  void FormActivate();
  void OKClick();
  void CancelClick();
  void reject() override;
  void ZeroClick();
  NumberEdit *Edit1, *Edit2, *Edit3, *Edit4;  // RP1 y, RP1 x, RP2 y, RP2 x
  Button *OK, *Cancel, *Zero;

 private:
  MainPort& form_;
};

class TGraphZoom : public FixedDialog {
  Q_OBJECT
 public:
  TGraphZoom(ViewState& view, QWidget* parent);
  void FormActivate();
  void OKClick();
  NumberEdit* Edit1;
  Button *OK, *Cancel;

 private:
  ViewState& view_;
};

}  // namespace brevold

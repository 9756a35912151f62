// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The three set-up dialogs: an exact reverse-arm setting (TRevPos), driver
// angle (TDrivAng) or step angle (TStpAng). Each writes its result through
// the main window's controls, whose own handlers keep the rest consistent.
#pragma once
#include "platform/controls.h"
#include "platform/dialog.h"

namespace brevold {

class MainPort;

class SetUpDialog : public FixedDialog {
  Q_OBJECT
 public:
  SetUpDialog(MainPort& form, const QString& caption, int height);
  QLabel* Label1;
  NumberEdit* Edit1;
  Button *OK, *Cancel;

 protected:
  // The text as a number; false for text that is no number (OK then
  // closes the dialog and changes nothing, as for every number field).
  bool Number(float& v) const;
  void AngleDialog(const char* minText, const char* maxText);
  MainPort& form_;
};

class TRevPos : public SetUpDialog {
  Q_OBJECT
 public:
  explicit TRevPos(MainPort& form);
  void FormActivate();
  void OKClick();
  QLabel *Label2, *Label3, *Label4, *Label5, *Label6;
};

class TDrivAng : public SetUpDialog {
  Q_OBJECT
 public:
  explicit TDrivAng(MainPort& form);
  void FormActivate();
  void OKClick();
};

class TStpAng : public SetUpDialog {
  Q_OBJECT
 public:
  explicit TStpAng(MainPort& form);
  void FormActivate();
  void OKClick();
};

}  // namespace brevold

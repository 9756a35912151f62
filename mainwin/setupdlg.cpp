// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up dialogs: reverse-arm position, driver angle and step angle.
#include "mainwin/setupdlg.h"

#include <cmath>

#include "state/appstate.h"
#include "platform/mainport.h"
#include "mainwin/mainctl.h"
#include "model/numfmt.h"
#include "platform/accessible.h"

namespace brevold {

namespace {
QString S(long double v, int w, int d) { return QString::fromStdString(Str(v, w, d)); }
}  // namespace

SetUpDialog::SetUpDialog(MainPort& form, const QString& caption, int height)
    : FixedDialog(form.Window(), caption, 208, height), form_(form) {
  Label1 = AddLabel("Enter", 6, 6);
  Edit1 = new NumberEdit(this, 40, 3, 64, 19);
  OK = new Button(this, "OK", 112, 3, 44, 19);
  Cancel = new Button(this, "Cancel", 160, 3, 44, 19);
  Cancel->onClick = [this] { reject(); };
  // The field's label only says "Enter": the field is named by what it sets.
  Edit1->setAccessibleName(caption);
  NameControls(this);
}

// The angle dialogs: no minus sign, the range shown below the field, OK the default.
void SetUpDialog::AngleDialog(const char* minText, const char* maxText) {
  Edit1->onKeyPress = [](char k, const QString& t) { return k != '-' && NumberKeyAllowed(k, t, false, false); };
  AddLabel(minText, 40, 27);
  AddLabel(maxText, 112, 27);
  OK->setDefault(true);
}

bool SetUpDialog::Number(float& v) const { return ReadNumber(Edit1->text().toStdString(), v); }

// --- TRevPos ---

TRevPos::TRevPos(MainPort& form) : SetUpDialog(form, "Reverse Arm Position", 64) {
  Edit1->onKeyPress = [](char k, const QString& t) { return NumberKeyAllowed(k, t, true, true); };
  Label2 = AddLabel("", 6, 26);
  Label3 = AddLabel("", 74, 26);
  Label4 = AddLabel("", 142, 26);
  Label5 = AddLabel("", 40, 44);
  Label6 = AddLabel("", 108, 44);
  Cancel->setShortcut(QKeySequence(Qt::Key_Escape));
  OK->onClick = [this] { OKClick(); };
  onActivate = [this] { FormActivate(); };
}

void TRevPos::FormActivate() {
  const ModelState& m = form_.App().model;
  const long double mid = m.revArm.Positions[0], mx = m.dims.frame.RevArmMax, norm = m.dims.frame.RevArmNorm;
  auto set = [](QLabel* l, const char* prefix, long double v) {
    l->setText(prefix + S(v, 5, 3));
    l->adjustSize();
  };
  if (SensePositive(m.mech)) {
    set(Label2, "Min = ", mid - mx);
    set(Label4, "Max = ", mid + mx);
    set(Label5, "Rev = ", mid - norm);
    set(Label6, "Fwd = ", mid + norm);
  } else {
    set(Label2, "Max = ", mid + mx);
    set(Label4, "Min = ", mid - mx);
    set(Label5, "Rev = ", mid + norm);
    set(Label6, "Fwd = ", mid - norm);
  }
  set(Label3, "Cen = ", mid);
  Edit1->setText(S(m.mech.RevArmX, 7, 3));
  Cancel->setFocus();
}

void TRevPos::OKClick() {
  ModelState& m = form_.App().model;
  const long double mid = m.revArm.Positions[0], mx = m.dims.frame.RevArmMax;
  float x = 0;
  if (!Number(x)) {  // no number: the arm stays where it is
    accept();
    return;
  }
  if (x < mid - mx) x = static_cast<float>(mid - mx);
  if (x > mid + mx) x = static_cast<float>(mid + mx);
  form_.State().Change([x, mid](AppState& a) {
    a.model.mech.RevArmX = x;
    const long double p = SensePositive(a.model.mech) ? (x - mid) * 1000 : (mid - x) * 1000;
    SetRevArmBar(a, RoundEven(p));
  });
  accept();
}

// --- TDrivAng ---

TDrivAng::TDrivAng(MainPort& form) : SetUpDialog(form, "Driver Angle", 47) {
  AngleDialog("Min = 0.00", "Max = 360.00");
  OK->onClick = [this] { OKClick(); };
  onActivate = [this] { FormActivate(); };
}

void TDrivAng::FormActivate() {
  const ModelState& m = form_.App().model;
  Edit1->setText(m.DrvAngInc != 0 ? QString("0.00") : S(m.mech.DrvAngle, 4, 2));
  Cancel->setFocus();
}

void TDrivAng::OKClick() {
  float a = 0;
  if (!Number(a)) {  // no number: the angle and the run stay as they are
    accept();
    return;
  }
  if (a < 0) a = 0;
  if (a > 360) a = 360;
  form_.State().Change([a](AppState& app) { SetDriverAngle(app, a); });
  accept();
}

// --- TStpAng ---

TStpAng::TStpAng(MainPort& form) : SetUpDialog(form, "Step Angle", 47) {
  AngleDialog("Min = 0.01", "Max = 45.00");
  OK->onClick = [this] { OKClick(); };
  onActivate = [this] { FormActivate(); };
}

void TStpAng::FormActivate() {
  Edit1->setText(S(form_.App().model.DrvAngInc, 4, 2));
  Cancel->setFocus();
}

void TStpAng::OKClick() {
  float step = 0;
  if (!Number(step)) {  // no number: the step stays as it is
    accept();
    return;
  }
  if (step > 45) step = 45;
  if (step < 0.01f) step = 0.01f;
  form_.State().Change([step](AppState& a) { SetTypedStep(a, step); });
  accept();
}

}  // namespace brevold

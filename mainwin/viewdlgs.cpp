// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The view's dialogs: reference points typed in, and the highlight's zoom factor.
#include "mainwin/viewdlgs.h"

#include "state/appstate.h"
#include "platform/mainport.h"
#include "mainwin/mainctl.h"
#include "model/numfmt.h"
#include "platform/accessible.h"

namespace brevold {

TRefPnts::TRefPnts(MainPort& form) : FixedDialog(form.Window(), "Reference Points", 208, 76), form_(form) {
  QLabel* labels[] = {AddLabel("RefPt V1", 4, 6), AddLabel("RefPt H1", 4, 28), AddLabel("RefPt V2", 106, 6),
                      AddLabel("RefPt H2", 106, 28)};
  Edit1 = new NumberEdit(this, 52, 3, 50, 19);
  Edit2 = new NumberEdit(this, 52, 25, 50, 19);
  Edit3 = new NumberEdit(this, 154, 3, 50, 19);
  Edit4 = new NumberEdit(this, 154, 25, 50, 19);
  // Each label names the field beside it.
  labels[0]->setBuddy(Edit1);
  labels[1]->setBuddy(Edit2);
  labels[2]->setBuddy(Edit3);
  labels[3]->setBuddy(Edit4);
  for (NumberEdit* e : {Edit1, Edit2, Edit3, Edit4})
    e->onKeyPress = [](char k, const QString& t) { return NumberKeyAllowed(k, t, true, false); };
  OK = new Button(this, "OK", 4, 50, 62, 22);
  Cancel = new Button(this, "Cancel", 72, 50, 62, 22);
  Zero = new Button(this, "Zero", 140, 50, 64, 22);
  OK->onClick = [this] { OKClick(); };
  Cancel->onClick = [this] { CancelClick(); };
  Zero->onClick = [this] { ZeroClick(); };
  onActivate = [this] { FormActivate(); };
  NameControls(this);
}

void TRefPnts::FormActivate() {
  const auto& X = form_.App().model.mech.PtX;
  const auto& Y = form_.App().model.mech.PtY;
  Edit1->setText(QString::fromStdString(Str(Y[19], 5, 3)));
  Edit2->setText(QString::fromStdString(Str(X[19], 5, 3)));
  Edit3->setText(QString::fromStdString(Str(Y[20], 5, 3)));
  Edit4->setText(QString::fromStdString(Str(X[20], 5, 3)));
  Cancel->setFocus();
}

void TRefPnts::OKClick() {
  form_.State().Change([this](AppState& a) {
    Mechanism& m = a.model.mech;
    m.PtY[19] = Edit1->NumberOr(m.PtY[19]);
    m.PtX[19] = Edit2->NumberOr(m.PtX[19]);
    m.PtY[20] = Edit3->NumberOr(m.PtY[20]);
    m.PtX[20] = Edit4->NumberOr(m.PtX[20]);
    MainControls& c = a.controls;
    if (m.PtY[19] != 0 || m.PtX[19] != 0) c.RefPtZeroOn[1] = true;
    if (m.PtY[20] != 0 || m.PtX[20] != 0) c.RefPtZeroOn[2] = true;
    a.model.view.RefPointsOn = false;
    RefPointsClicked(a);  // on, with their controls
  });
  accept();
}

void TRefPnts::CancelClick() { reject(); }

// Cancel, Esc and the close box all switch the reference points off.
void TRefPnts::reject() {
  form_.State().Change([](AppState& a) {
    a.model.view.RefPointsOn = true;
    RefPointsClicked(a);  // off
  });
  FixedDialog::reject();
}

void TRefPnts::ZeroClick() {
  form_.State().Change([](AppState& a) {
    Mechanism& m = a.model.mech;
    m.PtX[19] = m.PtY[19] = m.PtX[20] = m.PtY[20] = 0;
    a.controls.RefPtZeroOn[1] = a.controls.RefPtZeroOn[2] = false;
    a.model.view.RefPointsOn = true;
    RefPointsClicked(a);
  });
  accept();
}

TGraphZoom::TGraphZoom(ViewState& view, QWidget* parent)
    : FixedDialog(parent, "Set Zoom of Dimensional Graphic Position", 270, 68), view_(view) {
  AddLabel("Enter", 6, 7);
  Edit1 = new NumberEdit(this, 40, 4, 56, 19);
  Edit1->onKeyPress = [](char k, const QString& t) { return k != '-' && NumberKeyAllowed(k, t, false, false); };
  AddLabel("Min = 0.5", 104, 7);
  AddLabel("Max = 2000.0", 176, 7);
  AddLabel("Approximate Factor = Locomotive Gauge in Units Used", 6, 27);
  OK = new Button(this, "OK", 60, 44, 70, 21);
  Cancel = new Button(this, "Cancel", 140, 44, 70, 21);
  OK->onClick = [this] { OKClick(); };
  Cancel->onClick = [this] { reject(); };
  onActivate = [this] { FormActivate(); };
  // The field's label only says "Enter": the field is named by what it sets.
  Edit1->setAccessibleName(windowTitle());
  NameControls(this);
}

void TGraphZoom::FormActivate() { Edit1->setText(QString::fromStdString(Str(view_.GraphZoomFactor, 4, 2))); }

void TGraphZoom::OKClick() {
  float v = Edit1->NumberOr(view_.GraphZoomFactor);
  if (v < MinGraphZoomFactor) v = MinGraphZoomFactor;
  if (v > MaxGraphZoomFactor) v = MaxGraphZoomFactor;
  view_.GraphZoomFactor = v;
  accept();
}

}  // namespace brevold

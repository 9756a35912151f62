// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TSetRevArm: the reverse-arm positions the diagrams draw, and their vertical scale.
#include "diagrams/setrevarm.h"

#include "state/screen.h"
#include "model/numfmt.h"
#include "model/state.h"
#include "platform/accessible.h"

namespace brevold {

namespace {
QString S(long double v) { return QString::fromStdString(Str(v, 5, 3)); }
constexpr int kRowY[10] = {0, 62, 86, 110, 134, 62, 86, 110, 134, 158};
}  // namespace

TSetRevArm::TSetRevArm(ModelState& model, const ScreenState& screen, QWidget* parent)
    : FixedDialog(parent, "Set Reverse Arm Positions", 430, 200), m_(model), s_(screen) {
  for (auto& h : Header) h = new QLabel(this);
  VertScaleLabel = new QLabel("Vertical Scale", this);
  VertScaleEdit = new NumberEdit(this, 110, 30, 60, 19);
  VertScaleLabel->setBuddy(VertScaleEdit);
  VertScaleEdit->onKeyPress = [](char k, const QString& t) { return NumberKeyAllowed(k, t, true, true); };
  VertScaleEdit->onExit = [this] { StoreVertScale(m_, VertScaleEdit->NumberOr(m_.revArm.VertScale)); };
  for (int k = 1; k <= 9; ++k) {
    const size_t i = static_cast<size_t>(k);
    PosLabel[i] = new QLabel(QString("Rev Arm Position  %1").arg(k), this);
    const int fieldX = k <= 4 ? 130 : 345;
    PosEdit[i] = new NumberEdit(this, fieldX, kRowY[k] - 2, 64, 19);
    PosLabel[i]->setBuddy(PosEdit[i]);
    PosEdit[i]->onKeyPress = [this, k](char key, const QString& t) {
      if (k <= 8) {  // any key opens the next position
        PosLabel[static_cast<size_t>(k + 1)]->show();
        PosEdit[static_cast<size_t>(k + 1)]->show();
      }
      return NumberKeyAllowed(key, t, true, true);
    };
    PosEdit[i]->onExit = [this, k] {
      const std::string text = PosEdit[static_cast<size_t>(k)]->text().toStdString();
      float v = 0;
      // A position emptied is a position taken out of the list, as 0 is;
      // other text that is no number leaves it as it was.
      if (text.find_first_not_of(' ') == std::string::npos || ReadNumber(text, v)) StorePosition(m_, k, v);
    };
  }
  Note = new QLabel("Max of 9 Positions", this);
  Close = new Button(this, "Close", 345, 176, 64, 21);
  Close->onClick = [this] { CloseClick(); };
  onActivate = [this] { FormActivate(); };
  NameControls(this);
}

void TSetRevArm::Place(QLabel* l, int x, int y) {
  l->move(RoundEven(static_cast<long double>(x) * s_.TextScaleX), RoundEven(static_cast<long double>(y) * s_.TextScaleY));
  l->adjustSize();
}

void TSetRevArm::FormActivate() {
  const long double c = m_.revArm.Positions[0], mx = m_.dims.frame.RevArmMax, n = m_.dims.frame.RevArmNorm;
  struct H {
    const char* word;
    long double v;
  };
  const bool positive = SensePositive(m_.mech);
  const H pos[5] = {{"Min ", c - mx}, {"Rev ", c - n}, {"Cent ", c}, {"Fwd ", c + n}, {"Max ", c + mx}};
  const H neg[5] = {{"Max ", c + mx}, {"Rev ", c + n}, {"Cent ", c}, {"Fwd ", c - n}, {"Min ", c - mx}};
  for (size_t i = 0; i < 5; ++i) {
    const H& h = positive ? pos[i] : neg[i];
    Header[i]->setText(h.word + S(h.v));
    Place(Header[i], 8 + 84 * static_cast<int>(i), 8);
  }
  Place(VertScaleLabel, 8, 32);
  for (int k = 1; k <= 9; ++k) Place(PosLabel[static_cast<size_t>(k)], k <= 4 ? 8 : 222, kRowY[k]);
  Place(Note, 8, 160);
  VertScaleEdit->setText(S(m_.revArm.VertScale));
  ShowTable();
}

void TSetRevArm::ShowTable() {
  RevArmState& r = m_.revArm;
  TidyPositions(r);
  for (size_t k = 1; k <= 9; ++k) PosEdit[k]->setText(S(r.Positions[k]));
  for (size_t k = 1; k <= 8; ++k) {
    const bool shown = r.Positions[k] != 0;
    PosLabel[k + 1]->setVisible(shown);
    PosEdit[k + 1]->setVisible(shown);
  }
  Close->setFocus();
}

void TSetRevArm::CloseClick() {
  Close->setFocus();  // leaving the field being edited stores it first
  ShowTable();
  m_.revArm.RedrawPending = 1;
  accept();
}

// Esc and the close box close as "Close" does and the diagrams redraw; the
// close box stores the field being edited, Esc leaves it as it was stored.
void TSetRevArm::reject() {
  Close->setFocus();
  ShowTable();
  m_.revArm.RedrawPending = 1;
  FixedDialog::reject();
}

}  // namespace brevold

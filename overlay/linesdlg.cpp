// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TDrawLines: the lines-and-circles dialog's widgets over its rules.
#include "overlay/linesdlg.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "overlay/linesctl.h"
#include "state/appstate.h"
#include "platform/mainport.h"
#include "platform/accessible.h"
#include "platform/dialog.h"
#include "platform/qtcanvas.h"
#include "platform/services.h"

namespace brevold {

namespace {
// The window was laid out for a 120-dpi screen: its positions are 0.8 of
// those numbers in our 96-dpi layout.
int S(int v) { return static_cast<int>(v * 0.8 + 0.5); }
constexpr int kRowY[21] = {0,   123, 140, 158, 175, 192, 209, 226, 244, 261, 278,
                           295, 313, 330, 347, 364, 382, 399, 416, 433, 450};
}  // namespace

TDrawLines::TDrawLines(MainPort& form) : QDialog(form.Window()), form_(form) {
  setWindowTitle("Draw Lines");
  resize(S(584), S(470));
  setFont(DialogFont());  // 14 pixels at 120 dpi, 92% wide
  setModal(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setAutoFillBackground(true);

  RadioGroup1 = Group("  Type    ", {"Line", "Circle"}, 1, 11, 9, 84, 67);
  RadioGroup2 = Group("  Color  ", {"Black", "Red", "Green", "Yellow", "Blue", "Gray"}, 3, 101, 9, 209, 67);
  RadioGroup3 = Group("  Referenced to  ", {"0,0", "Pivot1", "Piv1/0,0", "Piv1/Piv2"}, 2, 316, 9, 179, 67);
  connect(RadioGroup1, &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup1Click);
  connect(RadioGroup2, &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup2Click);
  connect(RadioGroup3, &QButtonGroup::idClicked, this, &TDrawLines::RadioGroup3Click);

  DrawBut = new Button(this, "Draw Close", S(500), S(9), S(74), S(30));
  ClearLine = new Button(this, "Clear Line", S(500), S(43), S(74), S(31));
  CloseBut = new Button(this, "Close", S(522), S(78), S(52), S(30));
  DrawBut->setEnabled(false);
  DrawBut->onClick = [this] { DrawButClick(); };
  ClearLine->onClick = [this] { ClearLineClick(); };
  CloseBut->onClick = [this] { CloseButClick(); };

  auto label = [this](const char* t, int x, int y) {
    QLabel* l = new QLabel(t, this);
    l->move(S(x), S(y));
  };
  label("Line1Vert   Line1Horz     Line2Vert   Line2Horz", 241, 84);
  label("CirCentV    CirCentH                        CirRadius", 246, 98);
  label("Item", 44, 84);
  label("No.", 48, 98);
  label("Type     Color     Ref to", 82, 92);

  const int labelX[4] = {10, 46, 91, 143};
  const int fieldX[4] = {207, 272, 351, 416};
  // The headings over the fields: a line's two ends, or a circle's centre and radius.
  const char* const fieldWords[4] = {"Line1Vert or CirCentV", "Line1Horz or CirCentH", "Line2Vert",
                                     "Line2Horz or CirRadius"};
  for (int n = 1; n <= 20; ++n) {
    const size_t i = static_cast<size_t>(n);
    QFrame* row = new QFrame(this);
    row->setGeometry(S(39), S(kRowY[n]), S(480), S(16));
    row->setAutoFillBackground(true);
    Rows[i] = row;
    for (int k = 0; k < 4; ++k) {
      QLabel* l = new QLabel(row);
      l->move(S(labelX[k]), 0);
      l->setFixedHeight(S(16));
      l->setMinimumWidth(S(k == 0 ? 30 : 50));
      RowLabels[i][static_cast<size_t>(k)] = l;
      NumberEdit* e = new NumberEdit(row, S(fieldX[k]), 0, S(52), S(16));
      e->setFrame(false);
      e->setStyleSheet("QLineEdit { border: 0px; background: silver; }");
      e->onKeyPress = [this, n, k](char key, const QString& t) {
        return LineFieldKeyAllowed(form_.App().lines, n, k, key, t.toStdString());
      };
      e->onExit = [this, n, k, e] {
        StoreLineField(form_.App().model, form_.App().lines, n, k, e->text().toStdString());
      };
      e->setAccessibleName(QString("Item %1 %2").arg(n).arg(fieldWords[k]));
      RowFields[i][static_cast<size_t>(k)] = e;
    }
    RowLabels[i][0]->setText(n < 10 ? QString("%1  ").arg(n) : QString::number(n));
    RowLabels[i][0]->setCursor(Qt::PointingHandCursor);
    RowLabels[i][0]->installEventFilter(this);
  }
  NameControls(this);
}

QButtonGroup* TDrawLines::Group(const char* caption, const std::vector<const char*>& items, int columns, int x, int y,
                                int w, int h) {
  QGroupBox* box = new QGroupBox(caption, this);
  box->setGeometry(S(x), S(y), S(w), S(h));
  box->setAutoFillBackground(true);
  QPalette pal = box->palette();
  pal.setColor(QPalette::Window, QColor(192, 192, 192));
  box->setPalette(pal);
  auto* group = new QButtonGroup(box);
  group->setExclusive(true);
  const int rows = (static_cast<int>(items.size()) + columns - 1) / columns;
  const int colWidth = (S(w) - 8) / columns;
  for (size_t i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], box);
    const int r = static_cast<int>(i) % rows, c = static_cast<int>(i) / rows;
    b->setGeometry(6 + colWidth * c, 16 + 17 * r, colWidth, 17);
    group->addButton(b, static_cast<int>(i));
  }
  return group;
}

void TDrawLines::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  LinesFormActivate(form_.App().model, form_.App().lines);
  ShowLines();
}

bool TDrawLines::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress)
    for (int n = 1; n <= 20; ++n)
      if (o == RowLabels[static_cast<size_t>(n)][0]) RowClick(n);
  return QDialog::eventFilter(o, e);
}

void TDrawLines::ShowLines() {
  const LinesDialogState& d = form_.App().lines;
  auto setChoice = [](QButtonGroup* g, int id) {
    g->setExclusive(false);
    for (QAbstractButton* b : g->buttons()) b->setChecked(g->id(b) == id);
    g->setExclusive(true);
  };
  setChoice(RadioGroup1, d.Type);
  setChoice(RadioGroup2, d.Color);
  setChoice(RadioGroup3, d.Ref);
  DrawBut->setEnabled(d.DrawButEnabled);
  for (size_t n = 1; n <= 20; ++n) {
    RowLabels[n][1]->setText(QString::fromStdString(d.TypeText[n]));
    RowLabels[n][2]->setText(QString::fromStdString(d.ColorText[n]));
    RowLabels[n][3]->setText(QString::fromStdString(d.RefText[n]));
    for (size_t k = 0; k < 4; ++k)
      if (!RowFields[n][k]->hasFocus()) RowFields[n][k]->setText(QString::fromStdString(d.Fields[n][k]));
  }
  MarkLineRow();
}

void TDrawLines::MarkLineRow() {
  const int current = form_.App().model.overlay.LineNo;
  for (int n = 1; n <= 20; ++n) {
    QPalette pal = Rows[static_cast<size_t>(n)]->palette();
    pal.setColor(QPalette::Window, n == current ? QColor(0, 255, 255) : Qt::white);
    Rows[static_cast<size_t>(n)]->setPalette(pal);
  }
}

void TDrawLines::After(const LinesStep& step) {
  if (step.beep) Beep();
  ShowLines();
  if (step.close) accept();
}

void TDrawLines::RadioGroup1Click(int i) { After(TypeChosen(form_.App().model, form_.App().lines, i)); }
void TDrawLines::RadioGroup2Click(int i) { After(ColorChosen(form_.App().model, form_.App().lines, i)); }
void TDrawLines::RadioGroup3Click(int i) { After(RefChosen(form_.App().model, form_.App().lines, i)); }
void TDrawLines::DrawButClick() { After(DrawClose(form_.App().model, form_.App().lines)); }

void TDrawLines::ClearLineClick() {
  brevold::ClearLine(form_.App().model, form_.App().lines);
  ShowLines();
}

void TDrawLines::CloseButClick() {
  CloseLines(form_.App().lines);
  ShowLines();
  accept();
}

void TDrawLines::reject() {
  CloseLines(form_.App().lines);
  ShowLines();
  QDialog::reject();
}

void TDrawLines::RowClick(int row) {
  RowNumberClicked(form_.App().model, form_.App().lines, row);
  ShowLines();
}

}  // namespace brevold

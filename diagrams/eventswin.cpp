// The valve-events window: the events table of the model shown, copied and saved.
#include "diagrams/eventswin.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "mainwin/mainport.h"
#include "model/dimfile.h"
#include "model/dynvars.h"
#include "model/events.h"
#include "model/numfmt.h"
#include "platform/controls.h"
#include "state/appstate.h"

namespace brevold {

TValveEvents::TValveEvents(MainPort& form) : QDialog(form.Window()), form_(form) {
  setWindowTitle("Valve Events");
  setModal(true);
  resize(900, 480);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Menu = new QMenuBar(this);
  layout->setMenuBar(Menu);
  CopyItem = Menu->addAction("&Copy");
  SaveItem = Menu->addAction("&Save CSV...");
  CloseItem = Menu->addAction("C&lose");
  connect(CopyItem, &QAction::triggered, this, &TValveEvents::CopyClick);
  connect(SaveItem, &QAction::triggered, this, &TValveEvents::SaveClick);
  connect(CloseItem, &QAction::triggered, this, &QDialog::accept);
  // The dynamic-variable strip: the four bars of the diagram windows, each
  // with its dimension's name and value, and the "UnDo" button.
  auto* strip = new QWidget(this);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(6, 4, 6, 4);
  for (int k = 1; k <= 4; ++k) {
    auto* cell = new QWidget(strip);
    cell->setFixedSize(190, 34);
    auto* b = new ScrollBar(cell, 0, 22, 121, 10, QString());
    b->SetRange(-200, 200);
    b->SetSmallChange(1);
    b->SetLargeChange(10);
    b->onEnter = [this, k] { DynVarBarEnter(form_.App().model, k); };
    b->onChange = [this, k] { BarChange(k); };
    b->onEndScroll = [this, k] { BarEndScroll(k); };
    Bars[static_cast<size_t>(k)] = b;
    auto* label = new QLabel(cell);
    label->setGeometry(0, 0, 190, 20);
    BarLabels[static_cast<size_t>(k)] = label;
    row->addWidget(cell);
  }
  Notice = new QLabel("* First Select Dimensions *", strip);
  Notice->setStyleSheet("color: red");
  row->addWidget(Notice);
  row->addStretch();
  UnDoButton = new Button(strip, "UnDo", 0, 0, 40, 16);
  UnDoButton->setFixedSize(48, 22);
  UnDoButton->onClick = [this] { UnDoButtonClick(); };
  form_.JoinUndoButtons(UnDoButton);
  row->addWidget(UnDoButton);
  layout->addWidget(strip);
  recompute_ = new QTimer(this);
  recompute_->setSingleShot(true);
  recompute_->setInterval(0);
  connect(recompute_, &QTimer::timeout, this, &TValveEvents::Recompute);

  Table = new QTableWidget(this);
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->verticalHeader()->hide();
  layout->addWidget(Table);
}

// The table is the CSV the command line writes, so the window and a script
// read the same numbers.
void TValveEvents::Recompute() {
  EventRequest r;
  r.side = EventRequest::Both;
  csv_ = FormatEvents(ValveEventsTable(form_.App().model, r), "csv");
  const QStringList lines = QString::fromStdString(csv_).split('\n', Qt::SkipEmptyParts);
  Table->clear();
  if (lines.isEmpty()) return;
  Table->setColumnCount(static_cast<int>(lines.front().split(',').size()));
  Table->setHorizontalHeaderLabels(lines.front().split(','));
  Table->setRowCount(static_cast<int>(lines.size()) - 1);
  for (int row = 1; row < lines.size(); ++row) {
    const QStringList cells = lines[row].split(',');
    for (int col = 0; col < cells.size(); ++col) {
      // Shown to three decimals; copied and saved in full.
      bool number = false;
      const double v = cells[col].toDouble(&number);
      auto* item = new QTableWidgetItem(number ? QString::number(v, 'f', 3) : cells[col]);
      if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Table->setItem(row - 1, col, item);
    }
  }
  Table->resizeColumnsToContents();
}

void TValveEvents::RecomputeSoon() { recompute_->start(); }
bool TValveEvents::RecomputePending() const { return recompute_->isActive(); }

void TValveEvents::ShowStrip() {
  const DynVars& dv = form_.App().model.dyn;
  const bool empty = dv.DynVarName[1] == EmptyDynVarName;
  Notice->setVisible(empty);
  for (size_t k = 1; k <= 4; ++k) {
    const bool listed = dv.DynVarName[k] != EmptyDynVarName;
    Bars[k]->setEnabled(listed);
    BarLabels[k]->setText(listed ? QString::fromStdString(dv.DynVarName[k] + " " + Str(dv.DynVarVal[k], 6, 3))
                                 : QString());
  }
}

// A step of a bar applies its increment, and the bar goes back to 0 as in the
// other windows; the table follows.
void TValveEvents::BarChange(int k) {
  ScrollBar* b = Bars[static_cast<size_t>(k)];
  const int p = b->Position();
  DynVarBarStep(form_.App().model, k, p);
  {
    const QSignalBlocker quiet(b);
    b->SetPosition(0);
  }
  ShowStrip();
  RecomputeSoon();
}

void TValveEvents::BarEndScroll(int k) {
  DynVarEndScroll(form_.App().model, k);
  ShowStrip();
}

void TValveEvents::UnDoButtonClick() {
  Undo(form_.App().model);  // with nothing to undo, turns the buttons off
  ShowStrip();
  RecomputeSoon();
}

void TValveEvents::CopyClick() { QApplication::clipboard()->setText(QString::fromStdString(csv_)); }

void TValveEvents::SaveClick() {
  QFileDialog dlg(this, "Save Valve Events");
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setNameFilters({"CSV File (*.csv)", "All Files (*)"});
  dlg.setDefaultSuffix("csv");
  if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) SaveCsv(dlg.selectedFiles().front());
}

bool TValveEvents::SaveCsv(const QString& path) {
  const FileResult r = ReplaceFile(path.toStdString(), csv_.data(), csv_.size());
  if (!r.ok) QMessageBox::critical(this, "BREVOLD", QString::fromStdString(r.message));
  return r.ok;
}

void TValveEvents::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  form_.StopAnimation();
  ShowStrip();
  Recompute();
}

void TValveEvents::done(int r) {
  recompute_->stop();
  form_.ShowState();
  form_.RestartAnimation();
  QDialog::done(r);
}

}  // namespace brevold

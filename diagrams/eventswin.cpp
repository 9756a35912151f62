// The valve-events window: the events table of the model shown, copied and saved.
#include "diagrams/eventswin.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "mainwin/mainport.h"
#include "model/dimfile.h"
#include "model/events.h"
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
  Recompute();
}

void TValveEvents::done(int r) {
  form_.RestartAnimation();
  QDialog::done(r);
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The valve-events window: the events table of the model, worked out beside the window, shown, copied and saved.
#include "diagrams/eventswin.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "help/helpwin.h"
#include "platform/mainport.h"
#include "model/dimfile.h"
#include "model/dynvars.h"
#include "model/eventsjob.h"
#include "model/numfmt.h"
#include "platform/accessible.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/services.h"
#include "state/appstate.h"

namespace brevold {

namespace {

// How often the window looks at the table being worked out.
constexpr int PollMs = 50;

int ColumnOf(const char* id) {
  const std::vector<EventColumn>& cols = EventColumns();
  for (size_t c = 0; c < cols.size(); ++c)
    if (std::string(cols[c].id) == id) return static_cast<int>(c);
  return -1;
}

// The strip in a band that scrolls sideways when the window is narrower
// than the strip (a small screen at a large scale), so the window still
// fits the screen; the band is as high as the strip, and its scroll bar's
// height more only while the bar is needed.
class StripScroll : public QScrollArea {
 public:
  StripScroll(QWidget* strip, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setWidget(strip);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FitHeight();
  }

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QScrollArea::resizeEvent(e);
    FitHeight();
  }

 private:
  void FitHeight() {
    const bool narrow = widget()->minimumSizeHint().width() > width();
    const int h = widget()->sizeHint().height() + (narrow ? horizontalScrollBar()->sizeHint().height() : 0);
    if (minimumHeight() != h || maximumHeight() != h) setFixedHeight(h);
  }
};

}  // namespace

TValveEvents::TValveEvents(MainPort& form) : QDialog(form.Window()), form_(form) {
  setWindowTitle("Valve Events");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Menu = new QMenuBar(this);
  layout->setMenuBar(Menu);
  CopyItem = Menu->addAction("&Copy");
  SaveItem = Menu->addAction("&Save CSV...");
  ColumnsMenu = Menu->addMenu("C&olumns");
  // The settings: the port diagram's rows by travel, or the notches a
  // driver works in, by cut-off.
  RowsMenu = Menu->addMenu("&Rows");
  ByTravelItem = RowsMenu->addAction("By &Travel (the port diagram's rows)");
  ByCutOffItem = RowsMenu->addAction("By &Cut-off (15 to 75 %)");
  auto* rows = new QActionGroup(this);
  for (QAction* a : {ByTravelItem, ByCutOffItem}) {
    a->setCheckable(true);
    rows->addAction(a);
  }
  ByTravelItem->setChecked(true);
  connect(rows, &QActionGroup::triggered, this, [this] { Recompute(); });
  CloseItem = Menu->addAction("C&lose");
  HelpItem = Menu->addAction("&Help");
  HelpItem->setShortcut(QKeySequence(Qt::Key_F1));
  connect(HelpItem, &QAction::triggered, this, [this] { ShowGuide(this, guide::ValveEvents); });
  connect(CopyItem, &QAction::triggered, this, &TValveEvents::CopyClick);
  connect(SaveItem, &QAction::triggered, this, &TValveEvents::SaveClick);
  connect(CloseItem, &QAction::triggered, this, &QDialog::accept);
  const std::vector<EventColumn>& columns = EventColumns();
  for (size_t c = 0; c < columns.size(); ++c) {
    QAction* item = ColumnsMenu->addAction(columns[c].title);
    item->setCheckable(true);
    item->setChecked(columns[c].shownAtFirst);
    connect(item, &QAction::toggled, this, [this, c](bool on) { ShowColumn(static_cast<int>(c), on); });
    ColumnItems.push_back(item);
  }

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
  undoShown_ = form_.State().FollowUndoButtons([b = UnDoButton](bool enabled) { b->setEnabled(enabled); });
  row->addWidget(UnDoButton);
  layout->addWidget(new StripScroll(strip, this));

  // Every column is in the table; those not chosen are hidden. The headings
  // take two lines, so that the columns are as narrow as their figures.
  Table = new QTableWidget(this);
  Table->setAccessibleName("Valve events");
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->verticalHeader()->hide();
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);  // rows as close as a printed table's
  Table->setColumnCount(static_cast<int>(columns.size()));
  QStringList headings;
  for (const EventColumn& c : columns) headings << QString::fromStdString(HeadingLines(c.title));
  Table->setHorizontalHeaderLabels(headings);
  for (size_t c = 0; c < columns.size(); ++c) {
    Table->horizontalHeaderItem(static_cast<int>(c))->setToolTip(columns[c].title);
    Table->setColumnHidden(static_cast<int>(c), !columns[c].shownAtFirst);
  }
  Table->resizeColumnsToContents();
  layout->addWidget(Table);

  // The state of the table: what it is of, or how far its working out is.
  auto* foot = new QWidget(this);
  auto* line = new QHBoxLayout(foot);
  line->setContentsMargins(6, 2, 6, 4);
  Status = new QLabel(foot);
  // A long state is cut short rather than widening the window past the screen.
  Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  line->addWidget(Status, 1);
  Progress = new QProgressBar(foot);
  Progress->setFixedWidth(180);
  Progress->setFormat("%v of %m");
  line->addWidget(Progress);
  CancelButton = new Button(foot, "Cancel", 0, 0, 60, 22);
  CancelButton->setFixedSize(64, 24);
  CancelButton->onClick = [this] { CancelClick(); };
  line->addWidget(CancelButton);
  layout->addWidget(foot);

  recompute_ = new QTimer(this);
  recompute_->setSingleShot(true);
  recompute_->setInterval(0);
  connect(recompute_, &QTimer::timeout, this, &TValveEvents::Recompute);
  poll_ = new QTimer(this);
  poll_->setInterval(PollMs);
  connect(poll_, &QTimer::timeout, this, &TValveEvents::Poll);
  ShowWorking(false);
  // Wide enough for the whole strip where the screen allows.
  FitOnScreen(this, QSize(std::max(900, strip->sizeHint().width()), 480));
  for (int k = 1; k <= 4; ++k)
    Bars[static_cast<size_t>(k)]->setAccessibleName(QString::fromStdString(DynVarBarName(form_.App().model.dyn, k)));
  NameControls(this);
}

// A table still being worked out ends on its own once it sees the flag; the
// window does not wait for it.
TValveEvents::~TValveEvents() { Drop(); }

void TValveEvents::Drop() {
  if (job_) job_->Cancel();
  job_.reset();
}

// The table of the gear as it stands, on a copy of it, on another thread;
// the window hears of it at its next look.
void TValveEvents::Recompute() {
  recompute_->stop();
  Drop();
  csv_.clear();
  EventRequest r;
  r.side = EventRequest::Both;
  if (ByCutOffItem->isChecked()) r.cutOffs = WindowCutOffs;
  job_ = std::make_shared<EventsJob>(form_.App().model, r);
  QThreadPool::globalInstance()->start([job = job_] { job->Run(); });
  Progress->setRange(0, 0);  // until the table says how many settings
  Status->setText("Working out the events of the gear as it stands...");
  ShowWorking(true);
  poll_->start();
}

// The table shown is no longer of the gear as it stands: it stays to read
// until the new one comes, but is not copied or saved.
void TValveEvents::RecomputeSoon() {
  Drop();
  csv_.clear();
  ShowWorking(true);
  recompute_->start();
}

bool TValveEvents::RecomputePending() const { return recompute_->isActive() || job_ != nullptr; }

void TValveEvents::WaitForTable() {
  while (RecomputePending()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, PollMs);
}

void TValveEvents::Poll() {
  if (!job_) {
    poll_->stop();
    return;
  }
  if (!job_->Finished()) {
    if (job_->Total() > 0) {
      Progress->setRange(0, job_->Total());
      Progress->setValue(job_->Done());
      if (!job_->CancelAsked())
        Status->setText(QString("Working out the events of the gear as it stands: %1 of %2 settings")
                            .arg(job_->Done())
                            .arg(job_->Total()));
    }
    return;
  }
  const std::shared_ptr<EventsJob> job = std::move(job_);
  poll_->stop();
  ShowWorking(false);
  if (!job->Failure().empty()) {
    Status->setText("The events could not be worked out: " + QString::fromStdString(job->Failure()));
    return;
  }
  ShowTable(job->Table());
}

void TValveEvents::ShowWorking(bool working) {
  Progress->setVisible(working);
  CancelButton->setVisible(working);
  CopyItem->setEnabled(!working && !csv_.empty());
  SaveItem->setEnabled(!working && !csv_.empty());
}

// The user's Cancel: the settings done so far are shown once the table
// stops; a change of the gear starts it again.
void TValveEvents::CancelClick() {
  if (recompute_->isActive()) {
    recompute_->stop();
    Status->setText("Cancelled: the table shown is of the gear before the last change.");
    ShowWorking(false);
    return;
  }
  if (!job_) return;
  job_->Cancel();
  Status->setText("Cancelling...");
}

// The cells as the model writes them for reading, numbers and absent values
// to the right; the front-minus-rear line of each setting shaded, and the
// verdict of an unsound setting in red. Rows and columns stay where they
// are, and a column only widens, so the table does not jump at a bar step.
void TValveEvents::ShowTable(const EventTable& t) {
  csv_ = t.cancelled ? std::string() : FormatEvents(t, "csv");
  const std::vector<std::vector<std::string>> cells = EventCells(t, EventCellStyle::Text);
  const int verdict = ColumnOf("verdict");
  const bool byRow = cells.size() == 3 * t.rows.size();
  Table->setUpdatesEnabled(false);
  Table->setRowCount(static_cast<int>(cells.size()));
  std::vector<int> widths(static_cast<size_t>(Table->columnCount()));
  for (int c = 0; c < Table->columnCount(); ++c) widths[static_cast<size_t>(c)] = Table->columnWidth(c);
  for (size_t l = 0; l < cells.size(); ++l) {
    const bool difference = l % 3 == 2;
    const bool unsound = byRow && !t.rows[l / 3].sound.Sound();
    for (size_t c = 0; c < cells[l].size() && c < static_cast<size_t>(Table->columnCount()); ++c) {
      const QString text = QString::fromStdString(cells[l][c]);
      const int row = static_cast<int>(l), col = static_cast<int>(c);
      QTableWidgetItem* item = Table->item(row, col);
      if (!item) {
        item = new QTableWidgetItem;
        Table->setItem(row, col, item);
      }
      item->setText(text);
      bool number = false;
      text.toDouble(&number);
      item->setTextAlignment((number || text == "-" ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
      item->setBackground(difference ? palette().alternateBase() : QBrush());
      item->setForeground(unsound && col == verdict ? QBrush(Qt::darkRed) : QBrush());
    }
  }
  for (int c = 0; c < Table->columnCount(); ++c) {
    if (Table->isColumnHidden(c)) continue;
    Table->resizeColumnToContents(c);
    if (Table->columnWidth(c) < widths[static_cast<size_t>(c)]) Table->setColumnWidth(c, widths[static_cast<size_t>(c)]);
  }
  Table->setUpdatesEnabled(true);
  const int settings = static_cast<int>(t.rows.size());
  const int unsound = static_cast<int>(std::count_if(t.rows.begin(), t.rows.end(), [](const EventRow& r) { return !r.sound.Sound(); }));
  QString status = t.cancelled ? QString("Cancelled: %1 settings worked out, shown; copy and save need the whole table.").arg(settings)
                               : QString("%1 settings, both sides, events found by bisection.").arg(settings);
  if (unsound > 0) status += QString(" %1 not sound (see Soundness).").arg(unsound);
  for (const std::string& note : t.notes) status += " Not given: " + QString::fromStdString(note) + ".";
  Status->setText(status);
  ShowWorking(false);
}

void TValveEvents::ShowColumn(int column, bool shown) {
  if (column < 0 || column >= Table->columnCount()) return;
  Table->setColumnHidden(column, !shown);
  if (shown) Table->resizeColumnToContents(column);
  const size_t c = static_cast<size_t>(column);
  if (c < ColumnItems.size() && ColumnItems[c]->isChecked() != shown) {
    const QSignalBlocker quiet(ColumnItems[c]);
    ColumnItems[c]->setChecked(shown);
  }
}

void TValveEvents::ShowStrip() {
  const DynVars& dv = form_.App().model.dyn;
  const bool empty = dv.DynVarName[1] == EmptyDynVarName;
  Notice->setVisible(empty);
  for (size_t k = 1; k <= 4; ++k) {
    const bool listed = dv.DynVarName[k] != EmptyDynVarName;
    Bars[k]->setEnabled(listed);
    Bars[k]->setAccessibleName(QString::fromStdString(DynVarBarName(dv, static_cast<int>(k))));
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

void TValveEvents::CopyClick() {
  if (!csv_.empty()) QApplication::clipboard()->setText(QString::fromStdString(csv_));
}

void TValveEvents::SaveClick() {
  if (csv_.empty()) return;
  QFileDialog dlg(this, "Save Valve Events");
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  dlg.setNameFilters({"CSV File (*.csv)", "All Files (*)"});
  dlg.setDefaultSuffix("csv");
  AppState& a = form_.App();
  const QString path = ChooseFile(dlg, a.folders.tables, a.folders.gears);
  if (!path.isEmpty()) SaveCsv(path);
}

bool TValveEvents::SaveCsv(const QString& path) {
  const FileResult r = ReplaceFile(path.toStdString(), csv_.data(), csv_.size());
  if (!r.ok) QMessageBox::critical(this, "BREVOLD", QString::fromStdString(r.message));
  return r.ok;
}

// Not again when the window comes back from being minimised.
void TValveEvents::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (e->spontaneous()) return;
  form_.StopAnimation();
  ShowStrip();
  Recompute();
}

void TValveEvents::done(int r) {
  recompute_->stop();
  poll_->stop();
  Drop();
  // The bars stepped the gear in place while the window was open.
  form_.State().Changed();
  form_.RestartAnimation();
  QDialog::done(r);
}

}  // namespace brevold

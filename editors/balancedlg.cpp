// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Balance Events" dialog: choices, a search on a worker thread, before and after, Apply.
#include "editors/balancedlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <vector>

#include "help/helpwin.h"
#include "platform/mainport.h"
#include "model/dimensions.h"
#include "model/numfmt.h"
#include "model/revarm.h"
#include "model/sensitivity.h"
#include "platform/accessible.h"
#include "platform/dialog.h"
#include "state/appstate.h"

namespace brevold {

namespace {

enum Column { Tick = 0, Name, Today, Low, High, Columns };

// The dimensions a designer adjusts first to even out the ends: the link-crank
// back set and the radius-rod lift point.
bool TickedAtFirst(int id) { return id == 13 || id == 17; }

QString Number(double v) { return QString::fromStdString(Str(v, 1, 4)); }

QDoubleSpinBox* Weight(QWidget* parent, double v) {
  auto* w = new QDoubleSpinBox(parent);
  w->setRange(0, 1000);
  w->setDecimals(2);
  w->setSingleStep(0.1);
  w->setValue(v);
  return w;
}

}  // namespace

TBalanceEvents::TBalanceEvents(MainPort& form) : QDialog(form.Window()), form_(form) {
  setWindowTitle("Balance Events");
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  Dims = new QTableWidget(0, Columns, this);
  Dims->setAccessibleName("Dimensions to vary");
  Dims->setHorizontalHeaderLabels({"", "Dimension", "Today", "Low", "High"});
  Dims->verticalHeader()->hide();
  Dims->setSelectionMode(QAbstractItemView::NoSelection);
  top->addWidget(Dims, 3);

  auto* choices = new QFormLayout;
  Side = new QComboBox(this);
  Side->addItems({"Forward", "Reverse", "Both"});
  choices->addRow("Side", Side);
  // In a designer's order: equal lead first, then cut-off, release and
  // compression last.
  LeadWeight = Weight(this, BalanceWeights{}.lead);
  LeadHoldWeight = Weight(this, BalanceWeights{}.leadHold);
  CutOffWeight = Weight(this, BalanceWeights{}.cutOff);
  ReleaseWeight = Weight(this, BalanceWeights{}.release);
  CompressionWeight = Weight(this, BalanceWeights{}.compression);
  choices->addRow("Lead weight", LeadWeight);
  choices->addRow("Lead held weight", LeadHoldWeight);
  choices->addRow("Cut-off weight", CutOffWeight);
  choices->addRow("Release weight", ReleaseWeight);
  choices->addRow("Compression weight", CompressionWeight);
  AllowLoss = new QCheckBox("Full-gear cut-off and port opening may fall", this);
  AllowLoss->setToolTip("Unticked, the search keeps full-gear cut-off within 2 % of stroke and the largest "
                        "opening within a tenth of what they were");
  choices->addRow(AllowLoss);
  MaxEvals = new QSpinBox(this);
  MaxEvals->setRange(5, 100000);
  MaxEvals->setValue(BalanceRequest{}.maxEvaluations);
  choices->addRow("Most evaluations", MaxEvals);
  // Beside the choices, where it does not widen the row of buttons.
  HelpButton = new QPushButton("Help", this);
  HelpButton->setToolTip("The user guide's section on this window (F1)");
  choices->addRow(HelpButton);
  top->addLayout(choices, 1);
  layout->addLayout(top, 2);

  auto* buttons = new QHBoxLayout;
  RunButton = new QPushButton("&Run", this);
  StrongestButton = new QPushButton("Tick &Strongest", this);
  StrongestButton->setToolTip("Tick the three dimensions that move the front-minus-rear cut-off most on the side "
                              "chosen, at 15, 25 and 40 % cut-off");
  CancelButton = new QPushButton("Cancel", this);
  ApplyButton = new QPushButton("&Apply", this);
  CloseButton = new QPushButton("Close", this);
  Progress = new QProgressBar(this);
  Progress->setRange(0, MaxEvals->value());
  Progress->setValue(0);
  buttons->addWidget(StrongestButton);
  buttons->addWidget(RunButton);
  buttons->addWidget(CancelButton);
  buttons->addWidget(Progress, 1);
  buttons->addWidget(ApplyButton);
  buttons->addWidget(CloseButton);
  layout->addLayout(buttons);
  connect(RunButton, &QPushButton::clicked, this, &TBalanceEvents::RunClick);
  connect(StrongestButton, &QPushButton::clicked, this, &TBalanceEvents::StrongestClick);
  connect(CancelButton, &QPushButton::clicked, this, &TBalanceEvents::CancelClick);
  connect(ApplyButton, &QPushButton::clicked, this, &TBalanceEvents::ApplyClick);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  auto* help = new QAction(this);
  help->setShortcut(QKeySequence(Qt::Key_F1));
  addAction(help);
  connect(help, &QAction::triggered, this, [this] { ShowGuide(this, guide::BalanceEvents); });
  connect(HelpButton, &QPushButton::clicked, help, &QAction::trigger);

  Summary = new QLabel(this);
  Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Summary->setWordWrap(true);
  layout->addWidget(Summary);
  auto* sides = new QHBoxLayout;
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPointSizeF(mono.pointSizeF() - 1);  // two tables side by side without scrolling
  for (QPlainTextEdit** t : {&Before, &After}) {
    *t = new QPlainTextEdit(this);
    (*t)->setReadOnly(true);
    (*t)->setLineWrapMode(QPlainTextEdit::NoWrap);
    (*t)->setFont(mono);
    sides->addWidget(*t);
  }
  Before->setPlaceholderText("Before");
  After->setPlaceholderText("After");
  Before->setAccessibleName("Events before the search");
  After->setAccessibleName("Events after the search");
  layout->addLayout(sides, 3);
  ShowRunning(false);
  ApplyButton->setEnabled(false);
  FitOnScreen(this, QSize(1060, 640));
  NameControls(this);
}

TBalanceEvents::~TBalanceEvents() { LetGoOfWorker(); }

void TBalanceEvents::FillDims() {
  const ModelState& m = form_.App().model;
  Dims->setRowCount(0);
  // The dimensions ticked at first lead the list, the others follow in the
  // model's order.
  std::vector<DimInfo> order;
  for (const DimInfo& d : DimTable())
    if (TickedAtFirst(d.id)) order.push_back(d);
  for (const DimInfo& d : DimTable())
    if (!TickedAtFirst(d.id)) order.push_back(d);
  for (const DimInfo& d : order) {
    const int row = Dims->rowCount();
    Dims->insertRow(row);
    auto* tick = new QTableWidgetItem;
    tick->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    tick->setCheckState(TickedAtFirst(d.id) ? Qt::Checked : Qt::Unchecked);
    tick->setData(Qt::UserRole, d.id);
    Dims->setItem(row, Tick, tick);
    auto* name = new QTableWidgetItem(d.shortName);
    name->setFlags(Qt::ItemIsEnabled);
    Dims->setItem(row, Name, name);
    const double today = GetDim(m, d.id);
    auto* value = new QTableWidgetItem(Number(today));
    value->setFlags(Qt::ItemIsEnabled);
    Dims->setItem(row, Today, value);
    // The search's own default bounds, shown so they can be edited.
    const double half = std::max(DefaultBoundMinimum, std::fabs(today) * DefaultBoundFraction);
    Dims->setItem(row, Low, new QTableWidgetItem(Number(today - half)));
    Dims->setItem(row, High, new QTableWidgetItem(Number(today + half)));
  }
  Dims->resizeColumnsToContents();
  Dims->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
}

bool TBalanceEvents::Request(BalanceRequest& r, QString& message) const {
  r = BalanceRequest{};
  for (int row = 0; row < Dims->rowCount(); ++row) {
    if (Dims->item(row, Tick)->checkState() != Qt::Checked) continue;
    bool okLo = false, okHi = false;
    const double lo = Dims->item(row, Low)->text().toDouble(&okLo);
    const double hi = Dims->item(row, High)->text().toDouble(&okHi);
    if (!okLo || !okHi || !std::isfinite(lo) || !std::isfinite(hi) || lo >= hi) {
      message = "The bounds of " + Dims->item(row, Name)->text() + " must be two numbers, the low one first.";
      return false;
    }
    BalanceVary v;
    v.key = std::to_string(Dims->item(row, Tick)->data(Qt::UserRole).toInt());
    v.bounds = BalanceVary::Interval;
    v.a = lo;
    v.b = hi;
    r.vary.push_back(v);
  }
  if (r.vary.empty()) {
    message = "Tick at least one dimension the search may change.";
    return false;
  }
  const EventRequest::Side sides[] = {EventRequest::Forward, EventRequest::Reverse, EventRequest::Both};
  r.side = sides[Side->currentIndex()];
  r.weights.cutOff = CutOffWeight->value();
  r.weights.lead = LeadWeight->value();
  r.weights.leadHold = LeadHoldWeight->value();
  r.allowLoss = AllowLoss->isChecked();
  r.weights.release = ReleaseWeight->value();
  r.weights.compression = CompressionWeight->value();
  r.maxEvaluations = MaxEvals->value();
  return true;
}

void TBalanceEvents::ShowRunning(bool running) {
  RunButton->setEnabled(!running);
  StrongestButton->setEnabled(!running);
  CancelButton->setEnabled(running);
  CloseButton->setEnabled(!running);
  Dims->setEnabled(!running);
  if (running) ApplyButton->setEnabled(false);
}

// The search runs on a copy of the gear, away from the window's thread; the
// window hears its progress and its end through queued calls.
void TBalanceEvents::RunClick() {
  if (worker_) return;
  BalanceRequest request;
  QString message;
  if (!Request(request, message)) {
    QMessageBox::warning(this, "Balance Events", message);
    return;
  }
  ModelState start = form_.App().model;
  start.undo.onButtons = nullptr;  // the copy reaches no window
  result_.reset();
  Progress->setRange(0, request.maxEvaluations);
  Progress->setValue(0);
  Summary->setText("Searching...");
  ShowRunning(true);
  outcome_ = std::make_shared<Outcome>();
  auto outcome = outcome_;
  QPointer<TBalanceEvents> self(this);
  // The thread reaches the window only through queued calls that check it
  // is still there: a window that closes does not wait for the search.
  StartWorker([start = std::move(start), request, outcome, self](const std::atomic<bool>& cancel) {
    outcome->result = Balance(start, request, &cancel, [self](int evals, double) {
      QMetaObject::invokeMethod(qApp, [self, evals] {
        if (self) self->Progress->setValue(std::min(evals, self->Progress->maximum()));
      }, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(qApp, [self, outcome] {
      if (self && self->outcome_ == outcome) self->Finished();
    }, Qt::QueuedConnection);
  });
}

void TBalanceEvents::StartWorker(std::function<void(const std::atomic<bool>& cancel)> work) {
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  ended_ = std::make_shared<std::atomic<bool>>(false);
  worker_ = std::make_unique<std::thread>([work = std::move(work), cancel = cancel_, ended = ended_] {
    work(*cancel);
    ended->store(true);
  });
}

// The worker has made its last call to the window and is ending.
void TBalanceEvents::JoinWorker() {
  if (worker_) worker_->join();
  worker_.reset();
}

void TBalanceEvents::LetGoOfWorker() {
  if (!worker_) return;
  cancel_->store(true);
  if (ended_->load()) worker_->join();
  else form_.App().background.Leave(std::move(*worker_), ended_);
  worker_.reset();
}

void TBalanceEvents::Finished() {
  JoinWorker();
  ShowRunning(false);
  if (!outcome_) return;
  const BalanceResult& r = outcome_->result;
  result_ = std::make_unique<BalanceResult>(r);
  // A search that ran its course fills the bar; a cancelled one shows how
  // far it came.
  Progress->setValue(r.stop == BalanceResult::Cancelled ? std::min(r.evaluations, Progress->maximum()) : Progress->maximum());
  Before->setPlainText(r.beforeRows.rows.empty() ? QString()
                                                 : "Before, at equal cut-offs\n\n" + QString::fromStdString(BalanceRowsText(r.beforeRows)));
  After->setPlainText(r.afterRows.rows.empty()
                          ? QString()
                          : "After, at equal cut-offs\n\n" + QString::fromStdString(BalanceRowsText(r.afterRows)) +
                                "\nWhat else changed (before, after)\n\n" + QString::fromStdString(BalanceChangesText(r.changes)));
  Summary->setText(QString::fromStdString(BalanceSummary(r)));
  ApplyButton->setEnabled(r.Gained());
}

void TBalanceEvents::CancelClick() {
  if (cancel_) cancel_->store(true);
}

// The sensitivity of the cut-off difference to every dimension, worked out
// beside the window like a search; the three strongest are ticked, the
// others cleared.
void TBalanceEvents::StrongestClick() {
  if (worker_) return;
  const EventRequest::Side sides[] = {EventRequest::Forward, EventRequest::Reverse, EventRequest::Both};
  const EventRequest::Side side = sides[Side->currentIndex()];
  ModelState start = form_.App().model;
  start.undo.onButtons = nullptr;
  outcome_.reset();
  Progress->setRange(0, 100);
  Progress->setValue(0);
  Summary->setText("Finding the strongest levers...");
  ShowRunning(true);
  auto levers = std::make_shared<std::vector<int>>();
  QPointer<TBalanceEvents> self(this);
  StartWorker([start = std::move(start), side, levers, self](const std::atomic<bool>& cancel) {
    *levers = StrongestLevers(start, side, 3, &cancel, [self](int done, int total) {
      QMetaObject::invokeMethod(qApp, [self, done, total] {
        if (self && total > 0) self->Progress->setValue(100 * done / total);
      }, Qt::QueuedConnection);
    });
    QMetaObject::invokeMethod(qApp, [self, levers] {
      if (self && !self->outcome_) self->LeversFound(*levers);
    }, Qt::QueuedConnection);
  });
}

void TBalanceEvents::LeversFound(const std::vector<int>& ids) {
  JoinWorker();
  ShowRunning(false);
  if (ids.empty()) {
    Summary->setText("Cancelled.");
    return;
  }
  Progress->setValue(Progress->maximum());
  QStringList names;
  for (int row = 0; row < Dims->rowCount(); ++row) {
    const int id = Dims->item(row, Tick)->data(Qt::UserRole).toInt();
    const bool strong = std::find(ids.begin(), ids.end(), id) != ids.end();
    Dims->item(row, Tick)->setCheckState(strong ? Qt::Checked : Qt::Unchecked);
  }
  for (int id : ids)
    if (const DimInfo* d = FindDim(id)) names << d->shortName;
  Summary->setText("Ticked the strongest levers on the cut-off difference: " + names.join(", ") + ".");
}

void TBalanceEvents::WaitForSearch() {
  while (worker_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// Each changed dimension stored as a typed value leaving its editor field:
// one undo entry each, the last the newest dynamic variable; then mid gear
// is found again, as closing an editor does.
void TBalanceEvents::ApplyClick() {
  if (!result_) return;
  form_.State().Change([this](AppState& a) {
    ApplyBalanceAsEdits(a.model, *result_);
    ApplyButton->setEnabled(false);
    FillDims();
  });
}

void TBalanceEvents::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  form_.StopAnimation();
  FillDims();
}

// A search still running is cancelled and left to end on its own: the
// window closes at once.
void TBalanceEvents::done(int r) {
  LetGoOfWorker();
  form_.RestartAnimation();
  QDialog::done(r);
}

}  // namespace brevold

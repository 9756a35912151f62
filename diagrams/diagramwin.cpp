// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four diagram windows: picture, menus, the dynamic-variable strip and the undo button.
#include "diagrams/diagramwin.h"

#include <QEvent>
#include <QMenuBar>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "state/appstate.h"
#include "platform/mainport.h"
#include "mainwin/mainctl.h"
#include "diagrams/setrevarm.h"
#include "help/helpwin.h"
#include "platform/accessible.h"
#include "platform/picturefile.h"
#include "platform/services.h"
#include "platform/qtcanvas.h"

namespace brevold {

namespace {

class PictureWidget : public QWidget {
 public:
  PictureWidget(QWidget* parent, const QImage* img) : QWidget(parent), img_(img) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, *img_);
  }

 private:
  const QImage* img_;
};

}  // namespace

DiagramWindow::DiagramWindow(MainPort& form, Kind kind)
    : QDialog(form.Window()), form_(form), app_(form.App()), state_(form.App().diagrams), kind_(kind) {
  const int height = KindOf(kind).height;
  picture_ = QImage(632, height, QImage::Format_RGB32);
  ClearPicture();
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Menu = new QMenuBar(this);
  layout->setMenuBar(Menu);
  canvas_ = new PictureWidget(this, &picture_);
  canvas_->setFixedSize(632, height);
  canvas_->setAccessibleName(KindOf(kind).title);
  canvas_->installEventFilter(this);
  layout->addWidget(canvas_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  const bool port = kind == Kind::Port;
  CloseButton = new Button(canvas_, "Close", port ? 447 : 408, port ? 2 : 8, 75, 25);
  CloseButton->onClick = [this] { close(); };
  for (int k = 1; k <= 4; ++k) {
    ScrollBar* b = new ScrollBar(canvas_, 112, 3 + 12 * (k - 1), 121, 10, QString());
    b->SetRange(-200, 200);
    b->SetSmallChange(1);
    b->SetLargeChange(10);
    b->hide();
    b->onEnter = [this, k] { DynVarBarEnter(app_.model, k); };
    b->onChange = [this, k] { BarChange(k); };
    b->onEndScroll = [this, k] { BarEndScroll(k); };
    Bars[static_cast<size_t>(k)] = b;
  }
  UnDoButton = new Button(canvas_, "UnDo", 110, 54, 40, 16);
  UnDoButton->hide();
  undoShown_ = form_.State().FollowUndoButtons([b = UnDoButton](bool enabled) { b->setEnabled(enabled); });
  UnDoButton->onClick = [this] { UnDoButtonClick(); };

  auto add = [this](const char* caption, std::function<void()> f) {
    QAction* a = Menu->addAction(caption);
    connect(a, &QAction::triggered, this, std::move(f));
    return a;
  };
  if (kind != Kind::Port) {  // the port window builds its own menu
    // Kinds added to the menu take the sine window's menu, accelerators and all.
    const bool sine = kind == Kind::Sine || KindOf(kind).menuItem;
    SetRevArmPosItem = add(sine ? "&SetRevArmPos" : "SetRevArmPos", [this] { SetRevArmPosClick(); });
    ReDrawItem = add(sine ? "&ReDraw" : "ReDraw", [this] { ClearAndDraw(); });
    UnDoItem = add("&UnDo", [this] { UnDoMenuClick(); });
    // The sine window's item is spelt as it always was; the added kinds' is not.
    const char* dynVari = !sine ? "DynamicVari" : KindOf(kind).menuItem ? "&DynamicVariables" : "&DymamicVariables";
    DynVariItem = add(dynVari, [this] { DynamicVariClick(); });
    AddExportItem();
    if (const char* section = KindOf(kind).guideSection) {
      HelpItem = add("&Help", [this, section] { ShowGuide(this, section); });
      HelpItem->setShortcut(QKeySequence(Qt::Key_F1));
    }
  }
  NameBars();
  NameControls(this);
}

// A bar is named by the dimension it moves.
void DiagramWindow::NameBars() {
  for (int k = 1; k <= 4; ++k)
    Bars[static_cast<size_t>(k)]->setAccessibleName(QString::fromStdString(DynVarBarName(app_.model.dyn, k)));
}

void DiagramWindow::ClearPicture() {
  picture_.fill(Qt::white);
  words_.clear();
}

void DiagramWindow::AddExportItem() {
  ExportPictureItem = Menu->addAction("&Export Picture...");
  connect(ExportPictureItem, &QAction::triggered, this, [this] { ExportPictureClick(); });
  PrintItem = Menu->addAction("&Print...");
  connect(PrintItem, &QAction::triggered, this, [this] { PrintClick(); });
}

// The picture as a redraw draws it, vector in SVG and PDF.
void DiagramWindow::ExportPictureClick() {
  const Kind kind = kind_;
  ExportPictureDialog(
      this, DiagramPictureWidth, DiagramPictureHeight(kind), [this, kind](Canvas& c) { DrawDiagramPicture(c, app_, kind); },
      app_.folders.pictures, app_.folders.gears);
}

void DiagramWindow::PrintClick() {
  const Kind kind = kind_;
  // The gear's name and the date at the page's foot.
  PrintPictureDialog(
      this, DiagramPictureWidth, DiagramPictureHeight(kind), [this, kind](Canvas& c) { DrawDiagramPicture(c, app_, kind); },
      app_.model.dims.DimFileName + "     " + DateTimeText().toStdString());
}

DiagramWindow::~DiagramWindow() = default;

void DiagramWindow::ClearAndDraw() {
  ClearPicture();
  Draw();
}

void DiagramWindow::Draw() {
  const QSize size = picture_.size();
  const qreal ratio = picture_.devicePixelRatio();
  MatchScreenResolution(picture_, 632, canvas_->height(), canvas_->devicePixelRatioF());
  if (picture_.size() != size || picture_.devicePixelRatio() != ratio) words_.clear();  // a new picture
  DiagramControls ctl;
  {
    QtCanvas picture(&picture_, nullptr, &texts_);
    TextTapCanvas c(picture);
    ctl = DrawDiagram(c, app_, state_, Table().kind);
    // What the picture reads, with what was drawn on it before.
    words_.insert(words_.end(), c.texts.begin(), c.texts.end());
  }
  ShowTextOf(canvas_, QString::fromStdString(ReadingText(words_)));
  NameBars();
  for (size_t k = 1; k <= 4; ++k) {
    Bars[k]->setVisible(ctl.barsVisible);
    if (ctl.barsVisible) Bars[k]->setEnabled(ctl.barEnabled[k]);
  }
  UnDoButton->setVisible(ctl.undoVisible);
  canvas_->update();
}

void DiagramWindow::Redraw() { ClearAndDraw(); }

void DiagramWindow::FormActivate() {
  form_.StopAnimation();
  if (Table().asksPositions && AskPositionsOnOpen) {
    TSetRevArm dlg(app_.model, app_.screen, this);
    dlg.exec();
  }
  ClearAndDraw();
}

void DiagramWindow::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  setWindowTitle(QString::fromStdString(DiagramCaption(Table(), app_.screen)));
  // Once the window is up, so that the positions dialog opens over it.
  QTimer::singleShot(0, this, [this] { FormActivate(); });
}

void DiagramWindow::done(int r) {
  form_.RestartAnimation();
  QDialog::done(r);
}

bool DiagramWindow::eventFilter(QObject* o, QEvent* e) {
  if (o == canvas_ && e->type() == QEvent::MouseMove && Table().asksPositions && app_.model.revArm.RedrawPending) {
    ClearAndDraw();
    app_.model.revArm.RedrawPending = 0;
  }
  return QDialog::eventFilter(o, e);
}

void DiagramWindow::SetRevArmPosClick() {
  TSetRevArm dlg(app_.model, app_.screen, this);
  dlg.exec();
}

void DiagramWindow::DynamicVariClick() {
  // The port window shows the main window's bars first, the others redraw first.
  if (kind_ == Kind::Port) {
    form_.State().Change(DynVarsClicked);
    Redraw();
  } else {
    form_.State().Change([this](AppState& a) {
      DynVarsClicked(a);
      Redraw();
    });
  }
}

void DiagramWindow::UnDoMenuClick() {
  bool& on = app_.model.dyn.UndoOn;
  if (on) {
    on = false;
    ClearPicture();
  } else {
    on = true;
    Draw();
  }
  if (kind_ == Kind::Port) Redraw();
  else Draw();
}

void DiagramWindow::UnDoButtonClick() {
  Undo(app_.model);  // with nothing to undo, turns the buttons off
  Redraw();
  if (kind_ == Kind::Oval || kind_ == Kind::Sine) Redraw();
}

// A step of the bar applies its increment, and the bar set back to 0 changes
// once more. That echo normally carries an increment of 0: the gear, the
// strip and the sweep are then those just drawn, and so would be its picture,
// except for the undo line. Each drawing writes the undo line it found and
// then the one it builds over it, so the echo is drawn only when the drawing
// for the step rebuilt a different line (the old one may still show past the
// new one's end) or the echo moved the dimension.
void DiagramWindow::BarChange(int k) {
  ScrollBar* b = Bars[static_cast<size_t>(k)];
  const int p = b->Position();
  DynVarBarChange(app_.model, k, p);
  bool echoDrawn = true;
  if (p != 0) {
    DynVarBarChange(app_.model, k, 0);
    const std::string undoLine = state_.UndoText;
    Redraw();
    echoDrawn = app_.model.ScrollInc != 0 || state_.UndoText != undoLine;
  }
  {
    const QSignalBlocker quiet(b);
    b->SetPosition(0);
  }
  if (echoDrawn) Redraw();
}

void DiagramWindow::BarEndScroll(int k) {
  DynVarEndScroll(app_.model, k);
  CloseButton->setFocus();
  if (kind_ == Kind::Port) Redraw();
  else Draw();
}

TPortDia::TPortDia(MainPort& form) : DiagramWindow(form, Kind::Port) {
  QMenu* setUp = Menu->addMenu("SetUp");
  ForwardGraph1 = setUp->addAction("ForwardGraph");
  ReverseGraph1 = setUp->addAction("ReverseGraph");
  BothGraphs1 = setUp->addAction("BothGraphs");
  connect(ForwardGraph1, &QAction::triggered, this, [this] {
    state_.PortGraphMode = PortGraphs::Forward;
    ClearAndDraw();
  });
  connect(ReverseGraph1, &QAction::triggered, this, [this] {
    state_.PortGraphMode = PortGraphs::Reverse;
    ClearAndDraw();
  });
  connect(BothGraphs1, &QAction::triggered, this, [this] { BothGraphs1Click(); });
  ReDrawItem = Menu->addAction("ReDraw");
  connect(ReDrawItem, &QAction::triggered, this, [this] { Redraw(); });
  UnDoItem = Menu->addAction("&UnDo");
  connect(UnDoItem, &QAction::triggered, this, [this] { UnDoMenuClick(); });
  DynVariItem = Menu->addAction("DynamicVari");
  connect(DynVariItem, &QAction::triggered, this, [this] { DynamicVariClick(); });
  AddExportItem();
}

void TPortDia::Redraw() {
  if (state_.PortGraphMode == PortGraphs::Both) BothGraphs1Click();
  else ClearAndDraw();
}

// The forward graph, with the reverse graph drawn over it.
void TPortDia::BothGraphs1Click() {
  state_.PortGraphMode = PortGraphs::Forward;
  ClearAndDraw();
  state_.PortGraphMode = PortGraphs::Reverse;
  state_.PortEventLabels = false;
  Draw();
  state_.PortEventLabels = true;
  state_.PortGraphMode = PortGraphs::Both;
}

}  // namespace brevold

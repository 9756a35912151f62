#include "mainwin/mainform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <cmath>

#include "diagrams/datatablewin.h"
#include "diagrams/diagramwin.h"
#include "editors/dimeditor.h"
#include "help/helpwin.h"
#include "overlay/linesdlg.h"
#include "mainwin/dialogs.h"
#include "mainwin/mechdraw.h"
#include "mainwin/pivotdata.h"
#include "mainwin/setupdlg.h"
#include "model/dimfile.h"
#include "model/numfmt.h"
#include "platform/icons.h"
#include "platform/qtcanvas.h"

namespace brevold {

namespace {

// The step bar's sixteen bands: upper position, step, SBDrvAng small and large change.
struct StepBand {
  int upTo;
  float step;
  int small, large;
};
constexpr StepBand kStepBands[] = {
    {704, 0.01f, 1, 5},       {1591, 0.02f, 2, 10},      {2408, 0.03f, 3, 15},    {3612, 0.05f, 5, 25},
    {4704, 0.1f, 10, 50},     {5591, 0.2f, 20, 100},     {6408, 0.3f, 30, 150},   {7612, 0.5f, 50, 250},
    {8704, 1, 100, 500},      {9591, 2, 200, 1000},      {10408, 3, 300, 1500},   {11612, 5, 500, 2500},
    {12704, 10, 1000, 4500},  {13591, 20, 2000, 4500},   {14408, 30, 3000, 4500}, {14613, 45, 4500, 4500},
};

constexpr int kTimerInterval = 16;  // ms

QFont ControlFont() {
  return ToQFont(Font{FontFace::Serif, 10, true, true, clBlack});
}

}  // namespace

ClientArea::ClientArea(TMainForm* form, const QImage* frame) : QWidget(form), form_(form), frame_(frame) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clSilver));
  setPalette(pal);
  setAutoFillBackground(false);
}

void ClientArea::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ToQColor(clSilver));
  p.drawImage(0, 0, *frame_);
}

void ClientArea::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  form_->FormMouseDown(e->button(), pos.x(), pos.y());
}

TMainForm::TMainForm(AppState& app, QWidget* parent)
    : QMainWindow(parent), app_(app), m_(app.model), s_(app.screen), frame_(FrameWidth, FrameHeight, QImage::Format_RGB32) {
  frame_.fill(Qt::white);
  FormCreate();
}

TMainForm::~TMainForm() {
  m_.undo.onButtons = nullptr;
  if (hourglass_) QApplication::restoreOverrideCursor();
}

void TMainForm::FormCreate() {
  m_.undo.onButtons = [this](bool enabled) {
    for (QPushButton* b : undoButtons_) b->setEnabled(enabled);
  };
  StartUp(m_);
  s_ = ScreenState{};
  setWindowTitle("BREVOLD Inside Admission");
  setWindowIcon(WindowIcon());
  Client = new ClientArea(this, &frame_);
  Client->setFont(ControlFont());
  setCentralWidget(Client);
  BuildMenu();
  BuildToolBar();
  BuildControls();
  SyncRevArmRange();
  Sound.SetVolume(0x8000, 0x8000);
  FrameDi = new TFrameDi(*this);
  CylDimen = new TCylDimen(*this);
  AboutBox = new TAboutBox(this);
  Inst = new TInst(this);
  BrvSpIn = new TBrvSpIn(this);
  SineDia = new TSineDia(*this);
  OvalDia = new TOvalDia(*this);
  SteamDia = new TSteamDia(*this);
  PortDia = new TPortDia(*this);
  DataTable = new TDataTable(*this);
  DrawLines = new TDrawLines(*this);

  // Client area 632 x 380 below the menu, centred on the screen.
  // The strip and the picture need the whole start size; a larger window
  // shows more of the picture, about the same origin.
  Client->setMinimumSize(632, 380);
  resize(632, 380 + menuBar()->sizeHint().height());
  if (QScreen* scr = QGuiApplication::primaryScreen()) {
    const QRect g = scr->availableGeometry();
    move(g.center() - QPoint(width() / 2, height() / 2));
  }

  Timer1 = new QTimer(this);
  // The program asks for a 1 ms timer; the desktop it was made for never
  // delivers window timer messages faster than its 15.6 ms clock tick, and
  // the animation's pace (10 degrees a tick is under two turns a second) was
  // set by that. A precise 16 ms timer keeps that pace here.
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer1->setInterval(kTimerInterval);
  connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
  Timer1->start();
  SBRevArm->setFocus();
}

void TMainForm::BuildMenu() {
  QMenuBar* mb = menuBar();
  mb->setFont(QApplication::font());
  auto item = [this](QMenu* menu, const char* caption, void (TMainForm::*handler)() = nullptr) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    if (handler) connect(a, &QAction::triggered, this, handler);
    return a;
  };
  File1 = mb->addMenu("&File");
  OpenDimensions = item(File1, "&OpenDimensions", &TMainForm::OpenDimensionsClick);
  OpenDosVersionDim = item(File1, "Open&DosVersionDim");  // kept in the menu; it does nothing
  SaveAsDimensions = item(File1, "Save&AsDimensions", &TMainForm::SaveAsDimensionsClick);
  File1->addSeparator();
  Exit1 = item(File1, "E&xit", &TMainForm::Exit1Click);

  SetUp = mb->addMenu("&SetUp");
  RevArmPos = item(SetUp, "Set&RevArmPos", &TMainForm::RevArmPosClick);
  DriverAng = item(SetUp, "Set&DriverAng", &TMainForm::DriverAngClick);
  StepAng1 = item(SetUp, "Set&StepAng", &TMainForm::StepAng1Click);
  RefPoints1 = item(SetUp, "SetRef&Points", &TMainForm::RefPoints1Click);
  SetUp->addSeparator();
  LargeFont = item(SetUp, "SetLarge&Font", &TMainForm::LargeFontClick);
  FindRevArmCent = item(SetUp, "&CalcCentRevArm", &TMainForm::FindRevArmCentClick);
  SetSteam = item(SetUp, "SetS&teamDisp On", &TMainForm::SetSteamClick);
  SetBeepOnError = item(SetUp, "Set&ErrorBeep Off", &TMainForm::SetBeepOnErrorClick);
  SetLineWidth = item(SetUp, "Set&LineWidth 2", &TMainForm::SetLineWidthClick);
  SetScreenData = item(SetUp, "SetScree&nData Off", &TMainForm::SetScreenDataClick);
  SetPanZoom = item(SetUp, "SetP&anZoom On", &TMainForm::SetPanZoomClick);
  SetPanZoom->setEnabled(false);

  Edit1 = mb->addMenu("&EditDimen");
  FrameDim = item(Edit1, "&FrameDimensions", &TMainForm::FrameDimClick);
  CylDim = item(Edit1, "&CylinderDimensions", &TMainForm::CylDimClick);
  Edit1->addSeparator();
  SetGraphicZoom = item(Edit1, "Set&GraphicZoom", &TMainForm::SetGraphicZoomClick);
  Edit1->addSeparator();
  ResetAll = item(Edit1, "&ResetAllDimensions", &TMainForm::ResetAllClick);
  RefPoints = item(Edit1, "&ReferPoints", &TMainForm::RefPointsClick);
  DrawLines1 = item(Edit1, "&DrawLinesCircles", &TMainForm::DrawLines1Click);
  DrawLines1->setEnabled(false);
  SetPivotData = item(Edit1, "Pi&votData", &TMainForm::SetPivotDataClick);
  DynamicVariables = item(Edit1, "D&ynamicVari", &TMainForm::DynamicVariablesClick);
  SetUnDo = item(Edit1, "&UnDo", &TMainForm::SetUnDoClick);

  View1 = mb->addMenu("Draw&Graphs");
  SineDiag = item(View1, "&SineDiagram");
  OvalDiag = item(View1, "&OvalDiagram");
  SteamDiag = item(View1, "S&teamDiagram");
  FourEvents = item(View1, "&PortOpenClose");
  connect(SineDiag, &QAction::triggered, this, [this] { SineDia->exec(); });
  connect(OvalDiag, &QAction::triggered, this, [this] { OvalDia->exec(); });
  connect(SteamDiag, &QAction::triggered, this, [this] { SteamDia->exec(); });
  connect(FourEvents, &QAction::triggered, this, [this] {
    Diagrams.PortGraphMode = 'F';
    PortDia->exec();
  });

  Help1 = mb->addMenu("&Help");
  Instructions = item(Help1, "&Instructions");
  SpecInstr = item(Help1, "Instructions&Special");
  Help1->addSeparator();
  About1 = item(Help1, "&About");
  connect(Instructions, &QAction::triggered, this, [this] { Inst->exec(); });
  connect(SpecInstr, &QAction::triggered, this, [this] { BrvSpIn->exec(); });
  connect(About1, &QAction::triggered, this, [this] { AboutBox->exec(); });

  Error = mb->addAction(ErrorIcon(), QString());
  Error->setVisible(false);
  AddKeyboardCommands();
}

// What every desktop user reaches for, beside the menus' own mnemonics:
// the usual file, exit, undo and help keys, and Space to start or stop the
// wheel (also an item of its own at the end of the SetUp menu).
void TMainForm::AddKeyboardCommands() {
  OpenDimensions->setShortcut(QKeySequence::Open);
  SaveAsDimensions->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  Instructions->setShortcut(QKeySequence(Qt::Key_F1));
  SetUp->addSeparator();
  RunStop = SetUp->addAction("Start / Stop Driver Rotation");
  RunStop->setShortcut(QKeySequence(Qt::Key_Space));
  connect(RunStop, &QAction::triggered, this, &TMainForm::RunClick);
  UndoKey = new QAction(this);
  UndoKey->setShortcut(QKeySequence::Undo);
  connect(UndoKey, &QAction::triggered, this, [this] {
    if (UnDoDn->isVisible() && UnDoDn->isEnabled()) UnDoDnClick();
  });
  addAction(UndoKey);
}

void TMainForm::BuildToolBar() {
  ToolBar1 = new QToolBar(Client);
  ToolBar1->setGeometry(0, 0, 632, 24);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setAutoFillBackground(true);
  QPalette pal = ToolBar1->palette();
  pal.setColor(QPalette::Window, ToQColor(clSilver));
  pal.setColor(QPalette::Button, ToQColor(clSilver));
  ToolBar1->setPalette(pal);
  ToolBar1->setStyleSheet("QToolBar { background: #c0c0c0; border: 0px; spacing: 0px; padding: 0px; }");
  struct Tb {
    int number, image;
    const char* hint;
    QAction* same;
    bool separatorAfter;
  };
  const Tb buttons[] = {
      {1, 0, "Open File: Dimensional Data", OpenDimensions, false},
      {2, 1, "Save As: Dimensional Data", SaveAsDimensions, true},
      {4, 3, "Change Frame Dimensions", FrameDim, false},
      {5, 4, "Change Cylinder Dimensions", CylDim, true},
      {6, 5, "Set Driver Angle to Desired Position", DriverAng, false},
      {7, 6, "Set Step Angle to Desired Amount", StepAng1, false},
      {8, 7, "Set Reverse Arm to Desired Position", RevArmPos, true},
      {9, 8, "Calculate Mid Gear Position if Necessary", FindRevArmCent, true},
      {10, 9, "Turn On Steam Display and Sound", SetSteam, true},
      {11, 10, "Turn On Reference Points", RefPoints, false},
      {23, 16, "Draw Lines and Circles", DrawLines1, false},
      {24, 17, "Turn On Pivot Data", SetPivotData, false},
      {12, 11, "Turn On Dynamic Variables", DynamicVariables, false},
      {3, 2, "Turn On UnDo", SetUnDo, true},
      {13, 12, "View Sine Diagram", SineDiag, false},
      {14, 13, "View Oval Diagram", OvalDiag, false},
      {15, 14, "View Steam Diagram", SteamDiag, false},
      {16, 15, "View Port Events vs Reverse Arm Position", FourEvents, false},
  };
  for (const Tb& b : buttons) {
    QAction* a = ToolBar1->addAction(ToolIcon(b.image), QString());
    a->setToolTip(b.hint);
    QAction* same = b.same;
    connect(a, &QAction::triggered, same, &QAction::trigger);
    ToolButton[static_cast<size_t>(b.number)] = a;
    if (QWidget* w = ToolBar1->widgetForAction(a)) w->setFixedSize(30, 22);  // button width 30
    if (b.separatorAfter) {
      QWidget* gap = new QWidget(ToolBar1);
      gap->setFixedWidth(8);
      ToolBar1->addWidget(gap);
    }
  }
  ToolButton[23]->setEnabled(false);
}

void TMainForm::BuildControls() {
  QWidget* c = Client;
  auto bar = [c](int l, int t, int w, int h, const char* hint, int lo, int hi, int small, int large) {
    ScrollBar* b = new ScrollBar(c, l, t, w, h, hint);
    b->SetRange(lo, hi);
    b->SetSmallChange(small);
    b->SetLargeChange(large);
    return b;
  };
  auto button = [c](const char* caption, int l, int t, int w, int h, const char* hint = "") {
    return new Button(c, caption, l, t, w, h, hint);
  };

  for (int i = 1; i <= 12; ++i) {
    QFrame* p = new QFrame(c);
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setLineWidth(1);
    Panel[static_cast<size_t>(i)] = p;
  }
  Panel[1]->setGeometry(0, 67, 539, 4);
  Panel[2]->setGeometry(247, 26, 4, 41);
  Panel[3]->setGeometry(539, 26, 4, 109);
  Panel[4]->setGeometry(539, 134, 93, 4);
  Panel[5]->setGeometry(0, 120, 251, 4);
  Panel[6]->setGeometry(247, 72, 4, 49);
  Panel[7]->setGeometry(247, 72, 4, 49);
  Panel[8]->setGeometry(247, 120, 292, 4);
  Panel[9]->setGeometry(535, 72, 4, 49);
  Panel[10]->setGeometry(0, 26, 4, 41);
  Panel[11]->setGeometry(0, 72, 4, 49);
  Panel[12]->setGeometry(628, 26, 4, 108);
  for (int i : {5, 6, 7, 8, 9, 11}) Panel[static_cast<size_t>(i)]->hide();

  SBRevArm = bar(336, 26, 121, 12, "Set Reverse Arm Between Max & Min", -900, 900, 1, 20);
  SBDrvAng = bar(336, 40, 121, 12, "Set Driver Angle From 0 to 360 Deg", -4000, 40000, 1000, 4500);
  SBStepAng = bar(336, 54, 121, 12, "Set Driver Step Angle to Predefined Values", 0, 14613, 920, 2760);
  SBDrvAng->SetPosition(1);
  SBDrvAng->setEnabled(false);
  SBStepAng->SetPosition(12000);

  Rev = button("Rev", 252, 25, 28, 14, "Set Reverse Arm to Normal Reverse");
  Center = button("Cen", 280, 25, 27, 14, "Set Reverse Arm to Mid Gear");
  Fwd = button("Fwd", 307, 25, 28, 14, "Set Reverse Arm to Normal Forward");
  Deg180 = button("180", 252, 39, 25, 14, "Set Driver Angle to 180 Deg");
  Run = button("Stop", 277, 39, 36, 14, "Start / Stop Driver Rotation");
  Deg00 = button("0.0", 313, 39, 22, 14, "Set Driver to 0 Deg");
  Step1 = button("1.0", 252, 53, 25, 14, "Set Driver Step Angle to 1 Deg");
  Step10 = button("10.0", 277, 53, 29, 14, "Set Driver Step Angle to 10 Deg");
  Step45 = button("45.0", 306, 53, 29, 14, "Set Driver Step Angle to 45 Deg");
  UnDoDn = button("UnDo", 280, 127, 38, 14);
  DataTableBut = button("DataTable", 2, 214, 60, 15);
  DataTableBut->setFont(ToQFont(Font{FontFace::Serif, 8, true, false, clBlack}));
  Center->setEnabled(false);
  Step10->setEnabled(false);
  UnDoDn->hide();
  UnDoDn->setEnabled(false);
  DataTableBut->hide();

  SBPanVert = bar(76, 26, 121, 12, "Pan Vertical", -500, 500, 1, 10);
  SBPanHorz = bar(76, 40, 121, 12, "Pan Horizontal", -500, 500, 1, 10);
  SBZoom = bar(76, 54, 121, 12, "Zoom In / Out", -200, 200, 1, 10);
  NormVHZ = button("Norm", 33, 39, 42, 14, "Return Pan & Zoom to Normal");
  NormVHZ->setEnabled(false);
  const int px[] = {0, 5, 19, 33, 47, 61, 5};
  const int py[] = {0, 25, 25, 25, 25, 25, 39};
  for (int n = 1; n <= 6; ++n)
    Preset[static_cast<size_t>(n)] = button(QString::number(n).toUtf8().constData(), px[n], py[n], 14, 14,
                                            QString("Pan & Zoom to Preset %1").arg(n).toUtf8().constData());
  Preset[0] = button("P", 19, 39, 14, 14, "Select First to Change Presets");
  RefPt1 = button("RP1", 5, 53, 35, 14, "Pan to Ref Point 1");
  RefPt2 = button("RP2", 40, 53, 35, 14, "Pan to Ref Point 2");
  RefPt1->setEnabled(false);
  RefPt2->setEnabled(false);
  SBRef1Vert = bar(20, 72, 121, 10, "Change Ref Point 1 Vert", -5000, 5000, 1, 25);
  SBRef1Horz = bar(20, 84, 121, 10, "Change Ref Point 1 Horz", -10000, 10000, 1, 25);
  SBRef2Vert = bar(20, 96, 121, 10, "Change Ref Point 2 Vert", -5000, 5000, 1, 25);
  SBRef2Horz = bar(20, 108, 121, 10, "Change Ref Point 2 Horz", -10000, 10000, 1, 25);
  RefPt1Zero = button("0", 5, 72, 14, 23, "Zero Reference Point 1");
  RefPt2Zero = button("0", 5, 95, 14, 23, "Zero Reference Point 2");
  const QFont zeroFont = ToQFont(Font{FontFace::Serif, 10, true, false, clBlack});
  RefPt1Zero->setFont(zeroFont);
  RefPt2Zero->setFont(zeroFont);
  for (QWidget* w : std::initializer_list<QWidget*>{SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz, RefPt1Zero, RefPt2Zero})
    w->hide();
  RefPt1Zero->setEnabled(false);
  RefPt2Zero->setEnabled(false);

  const char* dynHints[] = {"", "Change Last Variable Clicked", "Change Next to Last Variable Clicked",
                            "Change 2nd to Last Variable Clicked", "Change 3rd to Last Variable Clicked"};
  for (int k = 1; k <= 4; ++k) {
    ScrollBar* b = bar(252, 72 + 12 * (k - 1), 121, 10, dynHints[k], -200, 200, 1, 10);
    b->hide();
    b->onChange = [this, k] { SBDynVarChange(k); };
    b->onEnter = [this, k] { SBDynVarEnter(k); };
    b->onEndScroll = [this, k] { SBDynVarEndScroll(k); };
    SBDynVar[static_cast<size_t>(k)] = b;
  }
  JoinUndoButtons(UnDoDn);
  UnDoDn->onClick = [this] { UnDoDnClick(); };
  DataTableBut->onClick = [this] { DataTable->exec(); };

  // Buttons take no focus from a click, so the keyboard stays on the bars.
  for (QPushButton* b : Client->findChildren<QPushButton*>()) b->setFocusPolicy(Qt::NoFocus);

  SBRevArm->onChange = [this] { SBRevArmChange(); };
  SBDrvAng->onChange = [this] { SBDrvAngChange(); };
  SBStepAng->onChange = [this] { SBStepAngChange(); };
  Run->onClick = [this] { RunClick(); };
  Center->onClick = [this] { CenterClick(); };
  Rev->onClick = [this] { RevClick(); };
  Fwd->onClick = [this] { FwdClick(); };
  Deg180->onClick = [this] { Deg180Click(); };
  Deg00->onClick = [this] { Deg00Click(); };
  Step1->onClick = [this] { Step1Click(); };
  Step10->onClick = [this] { Step10Click(); };
  Step45->onClick = [this] { Step45Click(); };
  SBPanVert->onChange = [this] { SBPanVertChange(); };
  SBPanHorz->onChange = [this] { SBPanHorzChange(); };
  SBZoom->onChange = [this] { SBZoomChange(); };
  NormVHZ->onClick = [this] { NormVHZClick(); };
  Preset[0]->onClick = [this] { Preset0Click(); };
  for (int n = 1; n <= 6; ++n) Preset[static_cast<size_t>(n)]->onClick = [this, n] { PresetClick(n); };
  RefPt1->onClick = [this] { RefPt1Click(); };
  RefPt2->onClick = [this] { RefPt2Click(); };
  SBRef1Vert->onChange = [this] { SBRef1VertChange(); };
  SBRef1Horz->onChange = [this] { SBRef1HorzChange(); };
  SBRef2Vert->onChange = [this] { SBRef2VertChange(); };
  SBRef2Horz->onChange = [this] { SBRef2HorzChange(); };
  RefPt1Zero->onClick = [this] { RefPt1ZeroClick(); };
  RefPt2Zero->onClick = [this] { RefPt2ZeroClick(); };
}

void TMainForm::SyncRevArmRange() { SBRevArm->SetRange(m_.revArm.BarMin, m_.revArm.BarMax); }

void TMainForm::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  Sound.SetVolume(0x8000, 0x8000);
  QMainWindow::closeEvent(e);
}

void TMainForm::FormActivate() { SBDrvAng->setEnabled(false); }

// --- The animation tick ---

void TMainForm::Timer1Timer() {
  SolveAndTransform(app_);
  AdvanceAngle(app_);
  MatchScreenResolution(frame_, FrameWidth, FrameHeight, Client->devicePixelRatioF());
  {
    QtCanvas canvas(&frame_);
    DrawMechanism(canvas, app_, DateTimeText().toStdString());
  }
  ApplyFrameEffects();
  Client->repaint();
}

void TMainForm::ApplyFrameEffects() {
  const QString title = QString::fromStdString(s_.MainCaption);
  if (windowTitle() != title) setWindowTitle(title);
  if (UnDoDn->isHidden() == s_.UnDoDnVisible) UnDoDn->setVisible(s_.UnDoDnVisible);
  if (UnDoDn->y() != s_.UnDoDnTop) UnDoDn->move(UnDoDn->x(), s_.UnDoDnTop);
  if (m_.dyn.DynVarsOn)
    for (size_t k = 1; k <= 4; ++k) SBDynVar[k]->setEnabled(s_.DynVarBarEnabled[k]);

  // The dimension highlight closes the editor that asked, shows the
  // hourglass, and at its end shows the editor again. The editor reopens
  // from the event loop, not from inside this tick, so the animation keeps
  // ticking while it is open.
  using Editor = ScreenState::Editor;
  auto editor = [this](Editor e) -> QDialog* {
    return e == Editor::Frame ? static_cast<QDialog*>(FrameDi) : e == Editor::Cylinder ? CylDimen : nullptr;
  };
  if (QDialog* d = editor(s_.HiliteCloseEditor); d && d->isVisible()) d->done(QDialog::Rejected);
  if (QDialog* d = editor(s_.HiliteReopenEditor)) {
    s_.HiliteReopenEditor = Editor::None;
    QTimer::singleShot(0, d, [d] {
      if (!d->isVisible()) d->exec();
    });
  }
  if (s_.HourglassCursor != hourglass_) {
    hourglass_ = s_.HourglassCursor;
    if (hourglass_) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  }
  if (Error->isVisible() != s_.ErrorItemVisible) Error->setVisible(s_.ErrorItemVisible);
  while (soundsPlayed_ < s_.ErrorSoundRequests) {
    ++soundsPlayed_;
    Sound.Play("Error.wav");
  }
  if (exhaustPlayed_ < s_.ExhaustSoundRequests) {
    exhaustPlayed_ = s_.ExhaustSoundRequests;  // a new beat cuts off one still playing
    Sound.SetVolume(s_.ExhaustVolume, s_.ExhaustVolume);
    Sound.Play("Exhaust.wav");
  }
  for (; beeped_ < s_.BeepRequests; ++beeped_) Beep();
}

// --- Run, driver angle and step ---

void TMainForm::RunClick() {
  if (Run->text() == "Run") {
    m_.DrvAngInc = m_.StepAng;
    SBDrvAng->setEnabled(false);
    Run->setText("Stop");
  } else {
    SBDrvAng->SetPosition(RoundEven(static_cast<long double>(m_.mech.DrvAngle) * 100));
    m_.DrvAngInc = 0;
    SBDrvAng->setEnabled(true);
    Run->setText("Run");
  }
  Deg00->setEnabled(true);
  Deg180->setEnabled(true);
}

void TMainForm::SBDrvAngChange() {
  m_.mech.DrvAngle = static_cast<float>(SBDrvAng->Position() / 100.0L);
  Deg180->setEnabled(true);
  Deg00->setEnabled(true);
}

// "0.0" and "180": the driver stopped at a dead centre.
void TMainForm::DeadCentre(float angle, Button* clicked, Button* other) {
  m_.mech.DrvAngle = angle;
  SBDrvAng->SetPosition(RoundEven(static_cast<long double>(angle) * 100));
  m_.DrvAngInc = 0;
  SBDrvAng->setEnabled(true);
  Run->setText("Run");
  clicked->setEnabled(false);
  other->setEnabled(true);
}

void TMainForm::Deg00Click() { DeadCentre(0, Deg00, Deg180); }
void TMainForm::Deg180Click() { DeadCentre(180, Deg180, Deg00); }

void TMainForm::SBStepAngChange() {
  if (s_.StepSnapOn) {
    const int p = SBStepAng->Position();
    for (const StepBand& b : kStepBands) {
      if (p <= b.upTo) {
        m_.StepAng = b.step;
        SBDrvAng->SetSmallChange(b.small);
        SBDrvAng->SetLargeChange(b.large);
        break;
      }
    }
    if (Running()) m_.DrvAngInc = m_.StepAng;
  } else {
    s_.StepSnapOn = true;
  }
  Step10->setEnabled(m_.StepAng != 10);
  Step45->setEnabled(m_.StepAng != 45);
  Step1->setEnabled(m_.StepAng != 1);
}

// The three step buttons: the step, then the bar to its position, whose
// change handler snaps to the same step and sets the buttons.
void TMainForm::StepButton(Button* clicked, float step, int position) {
  clicked->setEnabled(false);
  m_.StepAng = step;
  if (Running()) m_.DrvAngInc = m_.StepAng;
  SBStepAng->SetPosition(position);
}

void TMainForm::Step1Click() { StepButton(Step1, 1, 8000); }
void TMainForm::Step10Click() { StepButton(Step10, 10, 12000); }
void TMainForm::Step45Click() { StepButton(Step45, 45, 14613); }

// --- Reverse arm ---

void TMainForm::EmptyCutOffTexts() {
  m_.FrontCOText.clear();
  m_.RearCOText.clear();
}

void TMainForm::SBRevArmChange() {
  const int p = SBRevArm->Position();
  const float mid = m_.revArm.Positions[0];
  const FrameDims& f = m_.dims.frame;
  float& x = m_.mech.RevArmX;
  x = RevArmFromBar(m_, p);
  if (SensePositive(m_.mech)) {
    s_.GearDir = x >= mid ? "Fwd" : "Rev";
    Fwd->setEnabled(x != static_cast<float>(static_cast<long double>(mid) + f.RevArmNorm));
    Rev->setEnabled(x != static_cast<float>(static_cast<long double>(mid) - f.RevArmNorm));
  } else {
    s_.GearDir = x > mid ? "Rev" : "Fwd";
    Fwd->setEnabled(x != static_cast<float>(static_cast<long double>(mid) - f.RevArmNorm));
    Rev->setEnabled(x != static_cast<float>(static_cast<long double>(mid) + f.RevArmNorm));
  }
  Center->setEnabled(p != 0);
  EmptyCutOffTexts();
}

// "Fwd" and "Rev": the reverse arm at its normal travel. The bar's position
// then sets RevArmX again through its own handler, in the gear's sense.
void TMainForm::NormalGear(bool forward) {
  const FrameDims& f = m_.dims.frame;
  const long double norm = forward ? f.RevArmNorm : -static_cast<long double>(f.RevArmNorm);
  m_.mech.RevArmX = static_cast<float>(static_cast<long double>(m_.revArm.Positions[0]) + norm);
  SBRevArm->SetPosition(RoundEven(static_cast<long double>(f.RevArmNorm) * (forward ? SBRevArm->Max() : SBRevArm->Min()) /
                                  f.RevArmMax));
  (forward ? Fwd : Rev)->setEnabled(false);
  (forward ? Rev : Fwd)->setEnabled(true);
  Center->setEnabled(true);
  EmptyCutOffTexts();
}

void TMainForm::FwdClick() { NormalGear(true); }
void TMainForm::RevClick() { NormalGear(false); }

void TMainForm::CenterClick() {
  SBRevArm->SetPosition(0);
  m_.mech.RevArmX = m_.revArm.Positions[0];
  Fwd->setEnabled(true);
  Rev->setEnabled(true);
  Center->setEnabled(false);
  EmptyCutOffTexts();
}

void TMainForm::FindRevArmCentClick() {
  CalcCentre(m_);
  CenterClick();
}

// --- Toggles ---

void TMainForm::LargeFontClick() {
  if (LargeFont->text() == "SetLarge&Font") {
    s_.TextScaleX = 1.27f;
    s_.TextScaleY = 1.22f;
    LargeFont->setText("SetSmall&Font");
  } else {
    s_.TextScaleX = s_.TextScaleY = 1;
    LargeFont->setText("SetLarge&Font");
  }
}

void TMainForm::SetLineWidthClick() {
  s_.LineWidth = s_.LineWidth == 1 ? 2 : 1;
  SetLineWidth->setText(s_.LineWidth == 2 ? "Set&LineWidth 1" : "Set&LineWidth 2");
}

void TMainForm::SetBeepOnErrorClick() {
  m_.mech.BeepOnError = !m_.mech.BeepOnError;
  SetBeepOnError->setText(m_.mech.BeepOnError ? "Set&ErrorBeep Off" : "Set&ErrorBeep On");
}

void TMainForm::SetSteamClick() {
  s_.SteamDisp = !s_.SteamDisp;
  SetSteam->setText(s_.SteamDisp ? "SetS&teamDisp Off" : "SetS&teamDisp On");
}

void TMainForm::ResetAllClick() {
  ResetFrameDimensions(m_);
  SyncRevArmRange();
  ResetCylDimensions(m_);
  CalcCentre(m_);
  CenterClick();
  NormVHZClick();
  m_.dims.DimFileName = "Nominal";
  m_.revArm.VertScale = 1.5f;
  m_.dyn.DynVarsOn = false;
  ShowDynVarControls(false);
  ClearUndo(m_);
  m_.dyn.UndoOn = false;
}

// --- Dynamic variables and undo ---

void TMainForm::JoinUndoButtons(QPushButton* b) {
  undoButtons_.push_back(b);
  b->setEnabled(m_.undo.ButtonsEnabled);
}

void TMainForm::SBDynVarChange(int k) {
  ScrollBar* b = SBDynVar[static_cast<size_t>(k)];
  DynVarBarChange(m_, k, b->Position());
  b->SetPosition(0);
}

void TMainForm::SBDynVarEnter(int k) { DynVarBarEnter(m_, k); }

void TMainForm::SBDynVarEndScroll(int k) {
  UnDoDn->setEnabled(true);
  DynVarEndScroll(m_, k);
  SBRevArm->setFocus();  // so that the next use of the bar enters it again
}

void TMainForm::UnDoDnClick() { Undo(m_); }

void TMainForm::DynamicVariablesClick() {
  m_.dyn.DynVarsOn = !m_.dyn.DynVarsOn;
  ShowDynVarControls(m_.dyn.DynVarsOn);
}

void TMainForm::ShowDynVarControls(bool on) {
  for (size_t k = 1; k <= 4; ++k) SBDynVar[k]->setVisible(on);
  for (int i : {7, 8, 9}) Panel[static_cast<size_t>(i)]->setVisible(on);
}

void TMainForm::SetUnDoClick() { m_.dyn.UndoOn = !m_.dyn.UndoOn; }

// --- Dimension files ---

// The file dialogs: "All Files" shows every file ("*.*" would hide the
// names without a dot), and each opens in the folder last used in this run.
QString TMainForm::ChooseDimensionFile(bool save) {
  QFileDialog dlg(this, save ? QString("Save As.....") : QString());
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (!save) dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setNameFilters({save ? "Data File (*.dmi)" : "Data File (*.dmi) ", "All Files (*)"});
  dlg.setDefaultSuffix("dmi");
  if (!lastFolder_.isEmpty()) dlg.setDirectory(lastFolder_);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
  lastFolder_ = dlg.directory().absolutePath();
  return dlg.selectedFiles().front();
}

void TMainForm::SaveAsDimensionsClick() {
  const QString path = ChooseDimensionFile(true);
  if (!path.isEmpty()) SaveDimensionsFile(path);
}

bool TMainForm::SaveDimensionsFile(const QString& path) {
  const FileResult r = SaveDimensions(m_, path.toStdString());
  if (!r.ok) QMessageBox::critical(this, "BREVOLD", QString::fromStdString(r.message));
  return r.ok;
}

void TMainForm::OpenDimensionsClick() {
  const QString path = ChooseDimensionFile(false);
  if (!path.isEmpty()) OpenDimensionsFile(path);
}

bool TMainForm::OpenDimensionsFile(const QString& path) {
  // The whole file is read and checked first: a file that cannot be read
  // leaves the working set, its name and the lines dialog as they were.
  DimFileImage img;
  const FileResult r = ReadDimFile(path.toStdString(), img);
  if (!r.ok) {
    QMessageBox::critical(this, "BREVOLD", QString::fromStdString(r.message));
    return false;
  }
  EmptyLineTexts(app_.lines);
  m_.dims.DimFileName = DimNameFromPath(path.toStdString());
  ApplyDimFile(m_, img);
  SyncRevArmRange();
  // The bar's own change handler then sets RevArmX to the thousandth it shows.
  SBRevArm->SetPosition(RevArmBarPosition(m_));
  LinesDataClick(m_, app_.lines);
  return true;
}

// --- Screen data ---

void TMainForm::SetScreenDataClick() {
  const bool on = !s_.ScreenDataOn;
  s_.ScreenDataOn = on;
  SetScreenData->setText(on ? "SetScree&nData Off" : "SetScree&nData On");
  std::vector<QWidget*> strip = {NormVHZ, RefPt1, RefPt2, SBPanVert, SBPanHorz, SBZoom, Rev, Center, Fwd, Deg180,
                                 Run, Deg00, Step1, Step10, Step45, SBRevArm, SBDrvAng, SBStepAng, ToolBar1};
  for (Button* p : Preset) strip.push_back(p);
  if (on) {
    for (int i : {1, 2, 3, 4, 9, 10, 12}) strip.push_back(Panel[static_cast<size_t>(i)]);
    for (QWidget* w : strip) w->show();
  } else {
    for (int i = 1; i <= 12; ++i) strip.push_back(Panel[static_cast<size_t>(i)]);
    for (QWidget* w : {static_cast<QWidget*>(RefPt1Zero), static_cast<QWidget*>(RefPt2Zero), static_cast<QWidget*>(SBRef1Vert),
                       static_cast<QWidget*>(SBRef1Horz), static_cast<QWidget*>(SBRef2Vert), static_cast<QWidget*>(SBRef2Horz),
                       static_cast<QWidget*>(DataTableBut)})
      strip.push_back(w);
    for (size_t k = 1; k <= 4; ++k) strip.push_back(SBDynVar[k]);
    for (QWidget* w : strip) w->hide();
  }
  DriverAng->setEnabled(on);
  RefPoints1->setVisible(on);
  for (QAction* a : {FindRevArmCent, DynamicVariables, RefPoints, SetUnDo, SetPivotData}) a->setEnabled(on);
  if (!on) {
    DrawLines1->setEnabled(false);
    ToolButton[23]->setEnabled(false);
    // The optional features go off without their usual handlers.
    m_.dyn.DynVarsOn = false;
    m_.view.RefPointsOn = false;
    m_.dyn.UndoOn = false;
    s_.PivotDataOn = false;
  }
  SetPanZoom->setEnabled(!on);
  if (on) SetPanZoom->setText("Set&PanZoom On");
}

void TMainForm::SetPanZoomClick() {
  const bool show = SetPanZoom->text() != "SetP&anZoom Off";
  SetPanZoom->setText(show ? "SetP&anZoom Off" : "SetP&anZoom On");
  for (QWidget* w : {SBPanVert, SBPanHorz, SBZoom}) w->setVisible(show);
}

void TMainForm::FrameDimClick() { FrameDi->exec(); }

void TMainForm::CylDimClick() { CylDimen->exec(); }

void TMainForm::RevArmPosClick() {
  TRevPos dlg(*this);
  dlg.exec();
}

void TMainForm::DriverAngClick() {
  TDrivAng dlg(*this);
  dlg.exec();
}

void TMainForm::StepAng1Click() {
  TStpAng dlg(*this);
  dlg.exec();
}

void TMainForm::Exit1Click() { close(); }

void TMainForm::DrawLines1Click() {
  const auto& X = m_.mech.PtX;
  const auto& Y = m_.mech.PtY;
  if (X[19] == 0 && Y[19] == 0 && X[20] == 0 && Y[20] == 0) Beep();
  if (!DrawLines->isVisible()) DrawLines->exec();
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
  const bool picture = y > 120 || (y >= 68 && x > 247);
  const bool left = button == Qt::LeftButton, right = button == Qt::RightButton;
  const bool refOn = m_.view.RefPointsOn;
  if (refOn && picture && left) {
    SetRefPoint1FromMouse(x, y);
    RefPt1Zero->setEnabled(true);
  }
  if (refOn && picture && right) {
    SetRefPoint2FromMouse(x, y);
    RefPt2Zero->setEnabled(true);
  }
  if (refOn && left && PickReopensOnLeft(app_.lines)) DrawLines1Click();
  if (left) s_.LeftFirst = true;
  if (refOn && right && PickReopensOnRight(app_.lines, s_.LeftFirst)) {
    s_.LeftFirst = false;
    DrawLines1Click();
  }
  // A row label armed before: this left click chooses its joint.
  if (s_.PivotDataOn && s_.PivotArmed && refOn && left) {
    SetRefPoint1FromMouse(x, y);
    s_.PivotSel[static_cast<size_t>(s_.PivotRow)] = static_cast<float>(FindNearestJoint(app_));
    s_.PivotArmed = false;
  }
  if (s_.PivotDataOn && refOn && !s_.PivotArmed && left) {
    if (const int r = PivotRowAt(s_, x, y)) {
      s_.PivotRow = r;
      s_.PivotRowSet[static_cast<size_t>(r)] = 1;
      s_.PivotArmed = true;
    }
  }
  if (s_.HiliteDim > 0) s_.HiliteTicks = 1005;  // a click ends the highlight at the next frame
}

void TMainForm::SetPivotDataClick() {
  if (s_.PivotDataOn) {
    s_.PivotDataOn = false;
    DataTableBut->hide();
  } else {
    s_.PivotDataOn = true;
    DataTableBut->show();
    if (!m_.view.RefPointsOn) RefPointsClick();
  }
}

// --- The view ---

float TMainForm::RecentreInc(RecentreCells& cells, ScrollBar* bar, float u, int pageStep) {
  return RecentreIncrement(cells, bar->Position(), u, pageStep);
}

void TMainForm::SBPanVertChange() {
  const float inc = RecentreInc(panVert_, SBPanVert, 10, 10);
  NormVHZ->setEnabled(true);
  PanVertical(m_.view, inc);
  SBPanVert->SetPosition(0);
}

void TMainForm::SBPanHorzChange() {
  const float inc = RecentreInc(panHorz_, SBPanHorz, 10, 10);
  NormVHZ->setEnabled(true);
  PanHorizontal(m_.view, inc);
  SBPanHorz->SetPosition(0);
}

void TMainForm::SBZoomChange() {
  const float inc = RecentreInc(zoom_, SBZoom, 10, 10);
  NormVHZ->setEnabled(true);
  Zoom(m_.view, inc);
  SBZoom->SetPosition(0);
}

void TMainForm::NormVHZClick() {
  ViewState& v = m_.view;
  v.SavedScale = v.Scale;
  v.SavedOriginX = v.OriginX;
  v.SavedOriginY = v.OriginY;
  SBPanVert->SetPosition(0);
  SBPanHorz->SetPosition(0);
  SBZoom->SetPosition(0);
  NormalView(v);
  NormVHZ->setEnabled(false);
  Preset[0]->setEnabled(true);
}

void TMainForm::Preset0Click() {
  ViewState& v = m_.view;
  v.ViewPreset[0] = {v.Scale, v.OriginX, v.OriginY};
  Preset[0]->setEnabled(false);
  NormVHZ->setEnabled(true);
}

void TMainForm::PresetClick(int n) {
  ViewState& v = m_.view;
  if (!Preset[0]->isEnabled()) v.ViewPreset[static_cast<size_t>(n)] = v.ViewPreset[0];
  const ViewPresetSlot& p = v.ViewPreset[static_cast<size_t>(n)];
  v.Scale = p.Scale;
  v.OriginX = p.OriginX;
  v.OriginY = p.OriginY;
  NormVHZ->setEnabled(true);
  Preset[0]->setEnabled(true);
}

void TMainForm::RefPointsClick() {
  ViewState& v = m_.view;
  const bool on = !v.RefPointsOn;
  v.RefPointsOn = on;
  if (!on) {
    s_.PivotDataOn = false;
    DataTableBut->hide();
  }
  for (QWidget* w : std::initializer_list<QWidget*>{SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz, RefPt1Zero,
                                                    RefPt2Zero, Panel[5], Panel[6], Panel[11]})
    w->setVisible(on);
  RefPt1->setEnabled(on);
  RefPt2->setEnabled(on);
  DrawLines1->setEnabled(on);
  ToolButton[23]->setEnabled(on);
}

// Brings a reference point to the screen point (320, 240); the pan bars
// then take positions that pan a little further through their own rule.
void TMainForm::PanToRefPoint(int joint) {
  ViewState& v = m_.view;
  CentreOn(v, m_.mech.PtX[static_cast<size_t>(joint)], m_.mech.PtY[static_cast<size_t>(joint)]);
  using LD = long double;
  SBPanHorz->SetPosition(RoundEven(-((static_cast<LD>(v.OriginX) - 320) * v.NormScale / v.Scale + 320 - v.NormOriginX) *
                                   100 / v.NormOriginX));
  SBPanVert->SetPosition(RoundEven(((static_cast<LD>(v.OriginY) - 240) * v.NormScale / v.Scale + 240 - v.NormOriginY) *
                                   200 / v.NormOriginY));
}

void TMainForm::RefPt1Click() { PanToRefPoint(19); }
void TMainForm::RefPt2Click() { PanToRefPoint(20); }

// A reference-point bar moves one coordinate by 0.001 per arrow click and
// 0.025 per page.
void TMainForm::RefPointBar(RecentreCells& cells, ScrollBar* bar, Button* zero, float& coord) {
  const float inc = RecentreInc(cells, bar, 1000, 25);
  zero->setEnabled(true);
  coord += inc;
  bar->SetPosition(0);
}

void TMainForm::SBRef1VertChange() { RefPointBar(ref1Vert_, SBRef1Vert, RefPt1Zero, m_.mech.PtY[19]); }
void TMainForm::SBRef1HorzChange() { RefPointBar(ref1Horz_, SBRef1Horz, RefPt1Zero, m_.mech.PtX[19]); }
void TMainForm::SBRef2VertChange() { RefPointBar(ref2Vert_, SBRef2Vert, RefPt2Zero, m_.mech.PtY[20]); }
void TMainForm::SBRef2HorzChange() { RefPointBar(ref2Horz_, SBRef2Horz, RefPt2Zero, m_.mech.PtX[20]); }

void TMainForm::RefPt1ZeroClick() {
  m_.mech.PtX[19] = m_.mech.PtY[19] = 0;
  SBRef1Vert->SetPosition(0);
  SBRef1Horz->SetPosition(0);
  RefPt1Zero->setEnabled(false);
}

void TMainForm::RefPt2ZeroClick() {
  m_.mech.PtX[20] = m_.mech.PtY[20] = 0;
  SBRef2Vert->SetPosition(0);
  SBRef2Horz->SetPosition(0);
  RefPt2Zero->setEnabled(false);
}

void TMainForm::SetRefPoint1FromMouse(int mx, int my) {
  m_.mech.PtX[19] = WorldX(m_.view, mx);
  m_.mech.PtY[19] = WorldY(m_.view, my);
}

void TMainForm::SetRefPoint2FromMouse(int mx, int my) {
  m_.mech.PtX[20] = WorldX(m_.view, mx);
  m_.mech.PtY[20] = WorldY(m_.view, my);
}

void TMainForm::RefPoints1Click() {
  TRefPnts dlg(*this);
  dlg.exec();
}

void TMainForm::SetGraphicZoomClick() {
  TGraphZoom dlg(m_.view, this);
  dlg.exec();
}

}  // namespace brevold

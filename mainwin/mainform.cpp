// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TMainForm: the main window's handlers, the controls shown from the state, files and window openers.
#include "mainwin/mainform.h"
#include "mainwin/mainctl.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "diagrams/datatablewin.h"
#include "diagrams/diagramwin.h"
#include "editors/dimeditor.h"
#include "help/helpwin.h"
#include "overlay/linesctl.h"
#include "overlay/linesdlg.h"
#include "mainwin/viewdlgs.h"
#include "mainwin/mechdraw.h"
#include "mainwin/setupdlg.h"
#include "model/dimfile.h"
#include "model/dimjson.h"
#include "model/numfmt.h"
#include "platform/accessible.h"
#include "platform/icons.h"
#include "platform/picturefile.h"
#include "platform/qtcanvas.h"

namespace brevold {

namespace {

constexpr int kTimerInterval = 16;  // ms

QFont ControlFont() {
  return ToQFont(Font{FontFace::Serif, 10, true, true, clBlack});
}

}  // namespace

TMainForm::TMainForm(Session& session, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      app_(session.App()),
      m_(app_.model),
      s_(app_.screen),
      frame_(FrameWidth, FrameHeight, QImage::Format_RGB32) {
  frame_.fill(Qt::white);
  FormCreate();
}

TMainForm::~TMainForm() {
  if (hourglass_) QApplication::restoreOverrideCursor();
}

void TMainForm::FormCreate() {
  StartUp(m_);
  s_ = ScreenState{};
  app_.controls = MainControls{};
  setWindowTitle("BREVOLD Inside Admission");
  setWindowIcon(WindowIcon());
  Client = new ClientArea(this, &frame_);
  Client->setFont(ControlFont());
  setCentralWidget(Client);
  BuildMenu();
  BuildToolBar();
  BuildControls();
  // From here on every change through the session shows the controls afresh.
  shown_ = session_.Follow([this] {
    still_.Redraw();
    ShowState();
  });
  session_.Change(FollowRevArmRange);
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
  for (const DiagramKind& k : DiagramKinds())
    if (k.menuItem) AddedDiagrams.push_back(new DiagramWindow(*this, k.kind));
  DataTable = new TDataTable(*this);
  DrawLines = new TDrawLines(*this);
  // The readouts are the client area's description, the frame's words.
  Client->setAccessibleName("Valve gear and readouts");
  NameControls(this);
  for (InstructionWindow* w : {static_cast<InstructionWindow*>(Inst), static_cast<InstructionWindow*>(BrvSpIn)}) {
    w->Memo1->setAccessibleName(w->windowTitle());
    NameControls(w);
  }

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
  qApp->installEventFilter(this);
  SBRevArm->setFocus();
}

void TMainForm::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainForm::closeEvent(QCloseEvent* e) {
  if (!MayLeaveSet()) {
    e->ignore();
    return;
  }
  Sound.SetVolume(0x8000, 0x8000);
  QMainWindow::closeEvent(e);
}

void TMainForm::FormActivate() {
  session_.Change([](AppState& a) { a.controls.DrvAngBarEnabled = false; });
}

// --- The animation tick ---

// A tick that would make the frame on show again, the gear at rest, makes
// no frame: no solve, no painting, no readouts for assistive technology; it
// shows the captions of a new second.
void TMainForm::Timer1Timer() {
  const std::string& time = CaptionTime();
  const FrameSurface surface{Client->width(), Client->height(), Client->devicePixelRatioF()};
  switch (still_.Needed(app_, time, surface)) {
    case StillFrames::Work::None: Rest(); return;
    case StillFrames::Work::Captions:
      ShowCaptions(Captions(m_, time));
      Rest();
      return;
    case StillFrames::Work::Frame: break;
  }
  const FrameEffects fx = AdvanceFrame(app_, time);
  MatchScreenResolution(frame_, FrameWidth, FrameHeight, surface.ratio);
  {
    QtCanvas canvas(&frame_, &damage_, &texts_);
    TextTapCanvas words(canvas);
    PaintFrame(words, app_);
    ShowTextOf(Client, QString::fromStdString(ReadingText(std::move(words.texts))));
  }
  ApplyFrameEffects(fx);
  Client->ShowNewFrame(damage_.Changed());
  still_.Made(app_, time, surface, fx);
  ++framesMade_;
}

// A tick passed over needs no tick after it until something happens: an
// event of any kind (input, a window change, a job's result, a timer of
// another window) or the captions' next second. Till then the timer waits
// for that second, so a gear at rest costs a wake-up a second, not one
// every 16 ms; the first event sets the pace back, and the change it brings
// shows at the next tick as it would have.
void TMainForm::Rest() {
  if (!Timer1->isActive()) return;  // ticks driven by hand, or the animation stopped
  const qint64 ms = QDateTime::currentMSecsSinceEpoch() % 1000;
  resting_ = true;
  Timer1->start(static_cast<int>(1000 - ms) + 1);
}

void TMainForm::TickAtPace() {
  resting_ = false;
  if (Timer1->isActive() && Timer1->interval() != kTimerInterval) Timer1->start(kTimerInterval);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (resting_ && !(watched == Timer1 && event->type() == QEvent::Timer)) TickAtPace();
  return QMainWindow::eventFilter(watched, event);
}

const std::string& TMainForm::CaptionTime() {
  const qint64 second = Clock();
  if (captionTime_.empty() || second != captionSecond_) {
    captionSecond_ = second;
    captionTime_ = DateTimeText(QDateTime::fromSecsSinceEpoch(second)).toStdString();
  }
  return captionTime_;
}

void TMainForm::ShowCaptions(const FrameCaptions& c) {
  const QString title = QString::fromStdString(c.main);
  if (windowTitle() != title) setWindowTitle(title);
  // The diagram windows and the data table take theirs when they open.
  s_.MainCaption = c.main;
  s_.SineCaption = c.sine;
  s_.OvalCaption = c.oval;
  s_.SteamCaption = c.steam;
  s_.PortCaption = c.port;
  s_.DataTableCaption = c.dataTable;
  s_.CaptionTail = c.tail;
}

void TMainForm::ApplyFrameEffects(const FrameEffects& fx) {
  ShowCaptions(fx.captions);
  if (UnDoDn->isHidden() == fx.undoVisible) UnDoDn->setVisible(fx.undoVisible);
  if (UnDoDn->y() != fx.undoTop) UnDoDn->move(UnDoDn->x(), fx.undoTop);
  if (fx.dynVarBarsShown)
    for (size_t k = 1; k <= 4; ++k) SBDynVar[k]->setEnabled(fx.dynVarBarEnabled[k]);

  // The dimension highlight closes the editor that asked, shows the
  // hourglass, and at its end shows the editor again. The editor reopens
  // from the event loop, not from inside this tick, so the animation keeps
  // ticking while it is open.
  using Editor = FrameEffects::Editor;
  auto editor = [this](Editor e) -> QDialog* {
    return e == Editor::Frame ? static_cast<QDialog*>(FrameDi) : e == Editor::Cylinder ? CylDimen : nullptr;
  };
  if (QDialog* d = editor(fx.closeEditor); d && d->isVisible()) d->done(QDialog::Rejected);
  if (QDialog* d = editor(fx.reopenEditor)) {
    QTimer::singleShot(0, d, [d] {
      if (!d->isVisible()) d->exec();
    });
  }
  if (fx.hourglass != hourglass_) {
    hourglass_ = fx.hourglass;
    if (hourglass_) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  }
  if (Error->isVisible() != fx.errorItemVisible) Error->setVisible(fx.errorItemVisible);
  if (fx.errorSound) Sound.Play("Error.wav");
  if (fx.exhaustBeat) {  // a new beat cuts off one still playing
    Sound.SetVolume(fx.exhaustVolume, fx.exhaustVolume);
    Sound.Play("Exhaust.wav");
  }
  if (fx.beep) Beep();
}

// --- The controls shown from the state ---

namespace {
void ShowBar(ScrollBar* bar, int position) {
  if (bar->Position() == position) return;
  const QSignalBlocker quiet(bar);
  bar->SetPosition(position);
}
}  // namespace

void TMainForm::ShowState() {
  UpdateRedoItem();
  const MainControls& c = app_.controls;
  const bool data = s_.ScreenDataOn, ref = m_.view.RefPointsOn && data, dyn = m_.dyn.DynVarsOn && data;
  {
    const QSignalBlocker quiet(SBRevArm);
    SBRevArm->SetRange(m_.revArm.BarMin, m_.revArm.BarMax);
  }
  ShowBar(SBRevArm, c.RevArmBar);
  ShowBar(SBDrvAng, c.DrvAngBar);
  ShowBar(SBStepAng, c.StepBar);
  SBDrvAng->setEnabled(c.DrvAngBarEnabled);
  SBDrvAng->SetSmallChange(c.DrvAngSmall);
  SBDrvAng->SetLargeChange(c.DrvAngLarge);
  Run->setText(c.Running ? "Stop" : "Run");
  const std::pair<QWidget*, bool> enabled[] = {
      {Fwd, c.FwdOn},       {Rev, c.RevOn},       {Center, c.CenterOn},       {Deg00, c.Deg00On},
      {Deg180, c.Deg180On}, {Step1, c.Step1On},   {Step10, c.Step10On},       {Step45, c.Step45On},
      {NormVHZ, c.NormOn},  {Preset[0], c.Preset0On}, {RefPt1, c.RefPtButtonsOn}, {RefPt2, c.RefPtButtonsOn},
      {RefPt1Zero, c.RefPtZeroOn[1]}, {RefPt2Zero, c.RefPtZeroOn[2]}};
  for (const auto& [w, on] : enabled) w->setEnabled(on);

  std::vector<QWidget*> strip = {NormVHZ, RefPt1, RefPt2, Rev, Center, Fwd, Deg180, Run, Deg00, Step1, Step10, Step45,
                                 SBRevArm, SBDrvAng, SBStepAng, ToolBar1};
  for (Button* p : Preset) strip.push_back(p);
  for (int i : {1, 2, 3, 4, 10, 12}) strip.push_back(Panel[static_cast<size_t>(i)]);
  for (QWidget* w : strip) w->setVisible(data);
  for (QWidget* w : {SBPanVert, SBPanHorz, SBZoom}) w->setVisible(data || c.PanZoomShown);
  for (QWidget* w : std::initializer_list<QWidget*>{SBRef1Vert, SBRef1Horz, SBRef2Vert, SBRef2Horz, RefPt1Zero,
                                                    RefPt2Zero, Panel[5], Panel[6], Panel[11]})
    w->setVisible(ref);
  for (size_t k = 1; k <= 4; ++k) SBDynVar[k]->setVisible(dyn);
  Panel[7]->setVisible(dyn);
  Panel[8]->setVisible(dyn);
  Panel[9]->setVisible(data && (m_.dyn.DynVarsOn || c.Panel9Left));
  DataTableBut->setVisible(s_.PivotDataOn && data);

  LargeFont->setText(c.LargeFont ? "SetSmall&Font" : "SetLarge&Font");
  SetLineWidth->setText(s_.LineWidth == 2 ? "Set&LineWidth 1" : "Set&LineWidth 2");
  SetBeepOnError->setText(m_.mech.BeepOnError ? "Set&ErrorBeep Off" : "Set&ErrorBeep On");
  SetSteam->setText(s_.SteamDisp ? "SetS&teamDisp Off" : "SetS&teamDisp On");
  SetScreenData->setText(data ? "SetScree&nData Off" : "SetScree&nData On");
  SetPanZoom->setText(c.PanZoomShown ? "SetP&anZoom Off" : c.PanZoomRestored ? "Set&PanZoom On" : "SetP&anZoom On");
  SetPanZoom->setEnabled(!data);
  DriverAng->setEnabled(data);
  RefPoints1->setVisible(data);
  for (QAction* a : {FindRevArmCent, DynamicVariables, RefPoints, SetUnDo, SetPivotData}) a->setEnabled(data);
  DrawLines1->setEnabled(m_.view.RefPointsOn);
  ToolButton[23]->setEnabled(m_.view.RefPointsOn);
}

// A rule of mainctl.h run on the state through the session, which then
// shows the controls from it.
template <class Rule>
void TMainForm::Apply(Rule rule) {
  session_.Change(rule);
}

// --- Run, driver angle and step ---

void TMainForm::RunClick() { Apply(RunClicked); }

void TMainForm::SBDrvAngChange() {
  app_.controls.DrvAngBar = SBDrvAng->Position();
  Apply(DriverBarMoved);
}

void TMainForm::Deg00Click() { Apply([](AppState& a) { DeadCentre(a, 0); }); }
void TMainForm::Deg180Click() { Apply([](AppState& a) { DeadCentre(a, 180); }); }

void TMainForm::SBStepAngChange() {
  app_.controls.StepBar = SBStepAng->Position();
  Apply(StepBarMoved);
}

void TMainForm::Step1Click() { Apply([](AppState& a) { StepButton(a, 1); }); }
void TMainForm::Step10Click() { Apply([](AppState& a) { StepButton(a, 10); }); }
void TMainForm::Step45Click() { Apply([](AppState& a) { StepButton(a, 45); }); }

// --- Reverse arm ---

void TMainForm::SBRevArmChange() {
  app_.controls.RevArmBar = SBRevArm->Position();
  Apply(RevArmBarMoved);
}

void TMainForm::FwdClick() { Apply([](AppState& a) { NormalGear(a, true); }); }
void TMainForm::RevClick() { Apply([](AppState& a) { NormalGear(a, false); }); }
void TMainForm::CenterClick() { Apply(CentreGear); }
void TMainForm::FindRevArmCentClick() { Apply(FindCentre); }
void TMainForm::SyncRevArmRange() { Apply(FollowRevArmRange); }

// --- Toggles ---

void TMainForm::LargeFontClick() { Apply(LargeFontClicked); }
void TMainForm::SetLineWidthClick() { Apply(LineWidthClicked); }
void TMainForm::SetBeepOnErrorClick() { Apply(ErrorBeepClicked); }
void TMainForm::SetSteamClick() { Apply(SteamClicked); }
void TMainForm::ResetAllClick() {
  if (MayLeaveSet()) Apply(brevold::ResetAll);
}
void TMainForm::SetScreenDataClick() { Apply(ScreenDataClicked); }
void TMainForm::SetPanZoomClick() { Apply(PanZoomClicked); }

// --- Dynamic variables and undo ---

void TMainForm::SBDynVarChange(int k) {
  ScrollBar* b = SBDynVar[static_cast<size_t>(k)];
  const int p = b->Position();
  DynVarBarStep(m_, k, p);
  ShowBar(b, 0);
}

void TMainForm::SBDynVarEnter(int k) { DynVarBarEnter(m_, k); }

void TMainForm::SBDynVarEndScroll(int k) {
  DynVarEndScroll(m_, k);
  SBRevArm->setFocus();  // so that the next use of the bar enters it again
}

void TMainForm::UnDoDnClick() {
  Undo(m_);
  UpdateRedoItem();
}

void TMainForm::RedoClick() {
  Redo(m_);
  UpdateRedoItem();
}

void TMainForm::UpdateRedoItem() {
  if (Redo1) Redo1->setEnabled(CanRedo(m_));
}
void TMainForm::DynamicVariablesClick() { Apply(DynVarsClicked); }
void TMainForm::SetUnDoClick() { Apply(UndoClicked); }

// --- Dimension files ---

// The file dialogs: "All Files" shows every file ("*.*" would hide the
// names without a dot), and each opens in the folder last used in this run.
QString TMainForm::ChooseDimensionFile(bool save) {
  QFileDialog dlg(this, save ? QString("Save As.....") : QString());
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (!save) dlg.setFileMode(QFileDialog::ExistingFile);
  if (save)
    dlg.setNameFilters({"Data File (*.dmi)", "All Files (*)"});
  else
    dlg.setNameFilters({"Data File (*.dmi) ", "Gear as JSON (*.json)", "All Files (*)"});
  dlg.setDefaultSuffix("dmi");
  // Save As proposes the file the set came from, in its folder.
  if (save && !m_.dims.DimFilePath.empty()) {
    const QFileInfo file(QString::fromStdString(m_.dims.DimFilePath));
    dlg.setDirectory(file.absolutePath());
    dlg.selectFile(file.fileName());
    std::string chosen;  // empty: the dialog stays where it was put
    const QString path = ChooseFile(dlg, chosen);
    if (!path.isEmpty()) app_.folders.gears = chosen;
    return path;
  }
  return ChooseFile(dlg, app_.folders.gears);
}

void TMainForm::SaveAsDimensionsClick() {
  const QString path = ChooseDimensionFile(true);
  if (!path.isEmpty()) SaveDimensionsFile(path);
}

bool TMainForm::SaveClick() {
  QString path = QString::fromStdString(m_.dims.DimFilePath);
  if (path.isEmpty()) path = ChooseDimensionFile(true);
  return !path.isEmpty() && SaveDimensionsFile(path);
}

bool TMainForm::MayLeaveSet() {
  if (!HasUnsavedChanges(m_)) return true;
  QMessageBox box(QMessageBox::Question, "BREVOLD",
                  QString("Save changes to %1?").arg(QString::fromStdString(m_.dims.DimFileName)),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Save: return SaveClick();
    case QMessageBox::Discard: return true;
    default: return false;
  }
}

bool TMainForm::SaveDimensionsFile(const QString& path) {
  const FileResult r = SaveGear(app_, path.toStdString());
  if (!r.ok) QMessageBox::critical(this, "BREVOLD", QString::fromStdString(r.message));
  return r.ok;
}

void TMainForm::OpenDimensionsClick() {
  if (!MayLeaveSet()) return;
  const QString path = ChooseDimensionFile(false);
  if (!path.isEmpty()) OpenDimensionsFile(path);
}

bool TMainForm::OpenDimensionsFile(const QString& path) {
  // The whole file is read and checked first: a file that cannot be read
  // leaves the working set, its name and the lines dialog as they were.
  // A .dmi or the JSON form, told apart by what the file holds.
  DimFileImage img;
  const FileResult r = ReadGearFile(path.toStdString(), img);
  if (!r.ok) {
    // The library's message, and the file it is about under it.
    QMessageBox box(QMessageBox::Critical, "BREVOLD", QString::fromStdString(r.message), QMessageBox::Ok, this);
    box.setInformativeText(path);
    box.exec();
    return false;
  }
  session_.Change([&img, &path](AppState& a) {
    EmptyLineTexts(a.lines);
    ApplyDimFile(a.model, img);
    FollowRevArmRange(a);
    // The bar's rule then sets RevArmX to the thousandth it shows.
    SetRevArmBar(a, RevArmBarPosition(a.model));
    LinesDataClick(a.model, a.lines);
    // What was undone belongs to the gear that was left.
    ClearRedo(a.model);
    NameAfterFile(a.model, path.toStdString());
  });
  return true;
}

// --- Windows opened from the menus ---

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

void TMainForm::RefPoints1Click() {
  TRefPnts dlg(*this);
  dlg.exec();
}

void TMainForm::SetGraphicZoomClick() {
  TGraphZoom dlg(m_.view, this);
  dlg.exec();
}

void TMainForm::Exit1Click() { close(); }

// The gear of the frame on show, painted again from the state over its own
// bounds; the gear does not move.
void TMainForm::ExportPictureClick() {
  const PictureBox box = GearPictureBox(app_);
  ExportPictureDialog(
      this, box.width, box.height, [this, box](Canvas& c) { PaintGearPicture(c, app_, box); },
      app_.folders.pictures, app_.folders.gears);
}

void TMainForm::PrintPictureClick() {
  const PictureBox box = GearPictureBox(app_);
  PrintPictureDialog(
      this, box.width, box.height, [this, box](Canvas& c) { PaintGearPicture(c, app_, box); },
      PictureFoot(app_, DateTimeText().toStdString()));
}

void TMainForm::DrawLines1Click() {
  const auto& X = m_.mech.PtX;
  const auto& Y = m_.mech.PtY;
  if (X[19] == 0 && Y[19] == 0 && X[20] == 0 && Y[20] == 0) Beep();
  if (!DrawLines->isVisible()) DrawLines->exec();
}

void TMainForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
  const MouseButton b = button == Qt::LeftButton ? MouseButton::Left
                        : button == Qt::RightButton ? MouseButton::Right
                                                    : MouseButton::Other;
  MousePick pick;
  session_.Change([&](AppState& a) { pick = MouseDown(a, b, x, y); });
  if (pick.reopenLines) DrawLines1Click();
}

void TMainForm::SetPivotDataClick() { Apply(PivotDataClicked); }

// --- The view ---

void TMainForm::SBPanVertChange() { Recentred(SBPanVert, PanVertMoved); }
void TMainForm::SBPanHorzChange() { Recentred(SBPanHorz, PanHorzMoved); }
void TMainForm::SBZoomChange() { Recentred(SBZoom, ZoomMoved); }
void TMainForm::NormVHZClick() { Apply(NormView); }
void TMainForm::Preset0Click() { Apply(Preset0Clicked); }
void TMainForm::PresetClick(int n) { Apply([n](AppState& a) { PresetClicked(a, n); }); }
void TMainForm::RefPointsClick() { Apply(RefPointsClicked); }
void TMainForm::RefPt1Click() { Apply([](AppState& a) { PanToRefPoint(a, 19); }); }
void TMainForm::RefPt2Click() { Apply([](AppState& a) { PanToRefPoint(a, 20); }); }

// A re-centring bar: its rule for the position it was moved to (and for
// its return to 0), the bar back at 0 without a second round.
void TMainForm::Recentred(ScrollBar* bar, void (*rule)(AppState&, int)) {
  session_.Change([bar, rule](AppState& a) {
    rule(a, bar->Position());
    ShowBar(bar, 0);
  });
}

void TMainForm::SBRef1VertChange() { RefBar(SBRef1Vert, 0); }
void TMainForm::SBRef1HorzChange() { RefBar(SBRef1Horz, 1); }
void TMainForm::SBRef2VertChange() { RefBar(SBRef2Vert, 2); }
void TMainForm::SBRef2HorzChange() { RefBar(SBRef2Horz, 3); }

void TMainForm::RefBar(ScrollBar* bar, int which) {
  session_.Change([bar, which](AppState& a) {
    RefPointBarMoved(a, which, bar->Position());
    ShowBar(bar, 0);
  });
}

void TMainForm::RefPt1ZeroClick() { Apply([](AppState& a) { RefPointZeroClicked(a, 1); }); }
void TMainForm::RefPt2ZeroClick() { Apply([](AppState& a) { RefPointZeroClicked(a, 2); }); }

// --- What the other windows ask ---

Session& TMainForm::State() { return session_; }
QWidget* TMainForm::Window() { return this; }
void TMainForm::StopAnimation() { Timer1->stop(); }
void TMainForm::RestartAnimation() {
  resting_ = false;
  Timer1->start(kTimerInterval);
}

}  // namespace brevold

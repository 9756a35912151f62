// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menus, tool bar and control strip, as the program has
// always laid them out, each control wired to its handler.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyle>
#include <algorithm>

#include "diagrams/datatablewin.h"
#include "diagrams/diagramwin.h"
#include "diagrams/eventswin.h"
#include "editors/balancedlg.h"
#include "help/helpwin.h"
#include "mainwin/mainform.h"
#include "platform/icons.h"
#include "platform/qtcanvas.h"

namespace brevold {

namespace {
// The menu bar's small icons at a size of its own.
class MenuBarIconStyle : public QProxyStyle {
 public:
  explicit MenuBarIconStyle(int size) : size_(size) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_SmallIconSize) return size_;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

 private:
  int size_;
};

// The blinking error item is an icon beside the menus' texts: drawn no
// taller than they are, so that the bar, and the picture under it, keep
// their height while it comes and goes.
void FitErrorItem(QMenuBar* mb, QAction* error) {
  error->setVisible(false);
  const int textOnly = mb->sizeHint().height();
  error->setVisible(true);
  const int withIcon = mb->sizeHint().height();
  if (withIcon <= textOnly) return;
  const int icon = mb->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, mb) - (withIcon - textOnly);
  auto* style = new MenuBarIconStyle(std::max(8, icon));
  style->setParent(mb);
  mb->setStyle(style);
}
}  // namespace

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
  // Back to the gear's own file, beside the Parts' Save As.
  Save1 = item(File1, "&Save");
  connect(Save1, &QAction::triggered, this, [this] { SaveClick(); });
  // The gear's picture to a file or a printer, between the files and "E&xit".
  File1->addSeparator();
  ExportPicture = item(File1, "&Export Picture...", &TMainForm::ExportPictureClick);
  PrintPicture = item(File1, "&Print...", &TMainForm::PrintPictureClick);
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

  Edit1 = mb->addMenu("&EditDimen");
  FrameDim = item(Edit1, "&FrameDimensions", &TMainForm::FrameDimClick);
  CylDim = item(Edit1, "&CylinderDimensions", &TMainForm::CylDimClick);
  Edit1->addSeparator();
  SetGraphicZoom = item(Edit1, "Set&GraphicZoom", &TMainForm::SetGraphicZoomClick);
  Edit1->addSeparator();
  ResetAll = item(Edit1, "&ResetAllDimensions", &TMainForm::ResetAllClick);
  RefPoints = item(Edit1, "&ReferPoints", &TMainForm::RefPointsClick);
  DrawLines1 = item(Edit1, "&DrawLinesCircles", &TMainForm::DrawLines1Click);
  SetPivotData = item(Edit1, "Pi&votData", &TMainForm::SetPivotDataClick);
  DynamicVariables = item(Edit1, "D&ynamicVari", &TMainForm::DynamicVariablesClick);
  SetUnDo = item(Edit1, "&UnDo", &TMainForm::SetUnDoClick);
  // The change an undo took back, made again.
  Redo1 = item(Edit1, "R&edo", &TMainForm::RedoClick);
  connect(Edit1, &QMenu::aboutToShow, this, &TMainForm::UpdateRedoItem);
  // The search for equal events at both ends, after the Parts' items.
  Edit1->addSeparator();
  BalanceEvents = item(Edit1, "&BalanceEvents");
  connect(BalanceEvents, &QAction::triggered, this, [this] {
    TBalanceEvents w(*this);
    w.exec();
  });

  View1 = mb->addMenu("Draw&Graphs");
  SineDiag = item(View1, "&SineDiagram");
  OvalDiag = item(View1, "&OvalDiagram");
  SteamDiag = item(View1, "S&teamDiagram");
  FourEvents = item(View1, "&PortOpenClose");
  connect(SineDiag, &QAction::triggered, this, [this] { SineDia->exec(); });
  connect(OvalDiag, &QAction::triggered, this, [this] { OvalDia->exec(); });
  connect(SteamDiag, &QAction::triggered, this, [this] { SteamDia->exec(); });
  connect(FourEvents, &QAction::triggered, this, [this] {
    app_.diagrams.PortGraphMode = PortGraphs::Forward;
    PortDia->exec();
  });
  // Diagram kinds added since, each opening its window.
  for (const DiagramKind& k : DiagramKinds()) {
    if (!k.menuItem) continue;
    const size_t n = AddedDiagramItems.size();
    AddedDiagramItems.push_back(item(View1, k.menuItem));
    connect(AddedDiagramItems.back(), &QAction::triggered, this, [this, n] { AddedDiagrams[n]->exec(); });
  }
  // The events as numbers, after the Parts' diagrams.
  View1->addSeparator();
  ValveEvents = item(View1, "&ValveEvents");
  connect(ValveEvents, &QAction::triggered, this, [this] {
    TValveEvents w(*this);
    w.exec();
  });

  Help1 = mb->addMenu("&Help");
  Instructions = item(Help1, "&Instructions");
  SpecInstr = item(Help1, "Instructions&Special");
  UserGuide = item(Help1, "User &Guide");
  Help1->addSeparator();
  About1 = item(Help1, "&About");
  connect(Instructions, &QAction::triggered, this, [this] { Inst->exec(); });
  connect(SpecInstr, &QAction::triggered, this, [this] { BrvSpIn->exec(); });
  connect(UserGuide, &QAction::triggered, this, [this] { ShowGuide(this); });
  connect(About1, &QAction::triggered, this, [this] { AboutBox->exec(); });

  Error = mb->addAction(ErrorIcon(), QString());
  FitErrorItem(mb, Error);
  Error->setVisible(false);
  AddKeyboardCommands();
}

// What every desktop user reaches for, beside the menus' own mnemonics:
// the usual file, exit, undo, redo and help keys, and Space to start or stop the
// wheel (also an item of its own at the end of the SetUp menu).
void TMainForm::AddKeyboardCommands() {
  OpenDimensions->setShortcut(QKeySequence::Open);
  Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  SaveAsDimensions->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
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

  SBRevArm = bar(336, 26, 121, 12, "Set Reverse Arm Between Max & Min", -900, 900, 1, 20);
  SBDrvAng = bar(336, 40, 121, 12, "Set Driver Angle From 0 to 360 Deg", -4000, 40000, 1000, 4500);
  SBStepAng = bar(336, 54, 121, 12, "Set Driver Step Angle to Predefined Values", 0, 14613, 920, 2760);
  SBDrvAng->SetPosition(1);
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
  UnDoDn->hide();
  UnDoDn->setEnabled(false);

  SBPanVert = bar(76, 26, 121, 12, "Pan Vertical", -500, 500, 1, 10);
  SBPanHorz = bar(76, 40, 121, 12, "Pan Horizontal", -500, 500, 1, 10);
  SBZoom = bar(76, 54, 121, 12, "Zoom In / Out", -200, 200, 1, 10);
  NormVHZ = button("Norm", 33, 39, 42, 14, "Return Pan & Zoom to Normal");
  const int px[] = {0, 5, 19, 33, 47, 61, 5};
  const int py[] = {0, 25, 25, 25, 25, 25, 39};
  for (int n = 1; n <= 6; ++n)
    Preset[static_cast<size_t>(n)] = button(QString::number(n).toUtf8().constData(), px[n], py[n], 14, 14,
                                            QString("Pan & Zoom to Preset %1").arg(n).toUtf8().constData());
  Preset[0] = button("P", 19, 39, 14, 14, "Select First to Change Presets");
  RefPt1 = button("RP1", 5, 53, 35, 14, "Pan to Ref Point 1");
  RefPt2 = button("RP2", 40, 53, 35, 14, "Pan to Ref Point 2");
  SBRef1Vert = bar(20, 72, 121, 10, "Change Ref Point 1 Vert", -5000, 5000, 1, 25);
  SBRef1Horz = bar(20, 84, 121, 10, "Change Ref Point 1 Horz", -10000, 10000, 1, 25);
  SBRef2Vert = bar(20, 96, 121, 10, "Change Ref Point 2 Vert", -5000, 5000, 1, 25);
  SBRef2Horz = bar(20, 108, 121, 10, "Change Ref Point 2 Horz", -10000, 10000, 1, 25);
  RefPt1Zero = button("0", 5, 72, 14, 23, "Zero Reference Point 1");
  RefPt2Zero = button("0", 5, 95, 14, 23, "Zero Reference Point 2");
  const QFont zeroFont = ToQFont(Font{FontFace::Serif, 10, true, false, clBlack});
  RefPt1Zero->setFont(zeroFont);
  RefPt2Zero->setFont(zeroFont);

  const char* dynHints[] = {"", "Change Last Variable Clicked", "Change Next to Last Variable Clicked",
                            "Change 2nd to Last Variable Clicked", "Change 3rd to Last Variable Clicked"};
  for (int k = 1; k <= 4; ++k) {
    ScrollBar* b = bar(252, 72 + 12 * (k - 1), 121, 10, dynHints[k], -200, 200, 1, 10);
    b->onChange = [this, k] { SBDynVarChange(k); };
    b->onEnter = [this, k] { SBDynVarEnter(k); };
    b->onEndScroll = [this, k] { SBDynVarEndScroll(k); };
    SBDynVar[static_cast<size_t>(k)] = b;
  }
  undoShown_ = session_.FollowUndoButtons([this](bool enabled) { UnDoDn->setEnabled(enabled); });
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

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// TMainForm: the main window. The control strip sets the driver angle, the
// step and the reverse arm; Timer1 solves, advances and redraws the gear on
// every tick; the menus and tool bar open every other window.
#pragma once
#include <QDateTime>
#include <QFrame>
#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "diagrams/diagramdraw.h"
#include "state/appstate.h"
#include "mainwin/clientarea.h"
#include "mainwin/stillframe.h"
#include "platform/mainport.h"
#include "platform/controls.h"
#include "platform/qtcanvas.h"
#include "platform/services.h"

class QAction;
class QMenu;

namespace brevold {

class TMainForm;
class TFrameDi;
class TCylDimen;
class TInst;
class TPortDia;
class TSteamDia;
class TOvalDia;
class TSineDia;
class DiagramWindow;
class TDataTable;
class TDrawLines;
class TBrvSpIn;
class TAboutBox;
struct FrameCaptions;
struct FrameEffects;

class TMainForm : public QMainWindow, public MainPort {
  Q_OBJECT
 public:
  explicit TMainForm(Session& session, QWidget* parent = nullptr);
  ~TMainForm() override;

  // What the other windows may ask (MainPort).
  Session& State() override;
  QWidget* Window() override;
  void StopAnimation() override;
  void RestartAnimation() override;
  // The controls, menus and reverse-arm bar range shown from the state: the
  // window's following of the session.
  void ShowState();

  const QImage& Frame() const { return frame_; }
  // The frames the tick has made (solved and painted) since the window
  // opened; a tick of a gear at rest makes none.
  int FramesMade() const { return framesMade_; }
  // The captions' clock, in seconds since the epoch.
  std::function<qint64()> Clock = &QDateTime::currentSecsSinceEpoch;
  bool Running() const { return app_.controls.Running; }
  // The timer waits for the captions' next second, the gear at rest and no
  // event since; any event sets it back to the animation's pace.
  bool Resting() const { return resting_; }

  // Event handlers.
  void FormCreate();
  void FormActivate();
  void Timer1Timer();
  void RunClick();
  void SBDrvAngChange();
  void Deg00Click();
  void Deg180Click();
  void SBStepAngChange();
  void Step1Click();
  void Step10Click();
  void Step45Click();
  void SBRevArmChange();
  void FwdClick();
  void RevClick();
  void CenterClick();
  void LargeFontClick();
  void SetLineWidthClick();
  void SetBeepOnErrorClick();
  void SetSteamClick();
  void ResetAllClick();
  void FindRevArmCentClick();
  void Exit1Click();
  void ExportPictureClick();
  void PrintPictureClick();
  void RefPoints1Click();
  void SetGraphicZoomClick();
  void DrawLines1Click();
  void FormMouseDown(Qt::MouseButton button, int x, int y);
  void OpenDimensionsClick();
  void SaveAsDimensionsClick();
  // "&Save": back to the file the set came from, or Save As for a set that
  // has none. False when nothing was written (cancelled or failed).
  bool SaveClick();
  // Before the set is left ("E&xit", the close box, "&OpenDimensions",
  // "ResetAllDimensions"): with unsaved changes, asks "Save changes to
  // NAME?". True when the set may go: nothing unsaved, saved, or discarded.
  bool MayLeaveSet();
  // The file operations without their dialogs; false after the error box.
  bool OpenDimensionsFile(const QString& path);
  bool SaveDimensionsFile(const QString& path);
  void SetPivotDataClick();
  void SetScreenDataClick();
  void SetPanZoomClick();
  void FrameDimClick();
  void CylDimClick();
  void RevArmPosClick();
  void DriverAngClick();
  void StepAng1Click();

  // Dynamic variables and undo.
  void SBDynVarChange(int k);
  void SBDynVarEnter(int k);
  void SBDynVarEndScroll(int k);
  void UnDoDnClick();
  void RedoClick();  // "R&edo", Ctrl+Shift+Z or Ctrl+Y
  void DynamicVariablesClick();
  void SetUnDoClick();

  // The view (pan, zoom, presets, reference points).
  void SBPanVertChange();
  void SBPanHorzChange();
  void SBZoomChange();
  void NormVHZClick();
  void Preset0Click();
  void PresetClick(int n);
  void RefPointsClick();
  void RefPt1Click();
  void RefPt2Click();
  void SBRef1VertChange();
  void SBRef1HorzChange();
  void SBRef2VertChange();
  void SBRef2HorzChange();
  void RefPt1ZeroClick();
  void RefPt2ZeroClick();

  // Moves the reverse-arm bar's range to the model's (after RevArmMax changed).
  void SyncRevArmRange();

  // Controls, named as the program has always named them.
  ClientArea* Client = nullptr;
  QToolBar* ToolBar1 = nullptr;
  ScrollBar *SBRevArm, *SBDrvAng, *SBStepAng;
  Button *Run, *Center, *Rev, *Fwd, *Deg180, *Deg00, *Step1, *Step10, *Step45, *UnDoDn, *DataTableBut;
  ScrollBar *SBPanVert, *SBPanHorz, *SBZoom;
  Button* NormVHZ;
  std::array<Button*, 7> Preset{};  // Preset0 ("P") .. Preset6
  Button *RefPt1, *RefPt2, *RefPt1Zero, *RefPt2Zero;
  ScrollBar *SBRef1Vert, *SBRef1Horz, *SBRef2Vert, *SBRef2Horz;
  std::array<ScrollBar*, 5> SBDynVar{};  // SBDynVar1..SBDynVar4 (index 0 unused)
  std::array<QFrame*, 13> Panel{};  // Panel1..Panel12 (index 0 unused)
  QTimer* Timer1 = nullptr;
  TFrameDi* FrameDi = nullptr;
  TCylDimen* CylDimen = nullptr;
  TInst* Inst = nullptr;
  TPortDia* PortDia = nullptr;
  TSteamDia* SteamDia = nullptr;
  TOvalDia* OvalDia = nullptr;
  TSineDia* SineDia = nullptr;
  // The windows of the diagram kinds added to Draw&Graphs, in the kinds' order.
  std::vector<DiagramWindow*> AddedDiagrams;
  TDataTable* DataTable = nullptr;
  TDrawLines* DrawLines = nullptr;
  TBrvSpIn* BrvSpIn = nullptr;
  TAboutBox* AboutBox = nullptr;
  SoundPlayer Sound;

  // Menu items.
  QMenu *File1, *SetUp, *Edit1, *View1, *Help1;
  QAction *OpenDimensions, *OpenDosVersionDim, *SaveAsDimensions, *Exit1;
  QAction* Save1 = nullptr;  // "&Save", after Save&AsDimensions
  QAction *ExportPicture = nullptr, *PrintPicture = nullptr;  // the File menu's last items
  QAction *RevArmPos, *DriverAng, *StepAng1, *RefPoints1, *LargeFont, *FindRevArmCent, *SetSteam,
      *SetBeepOnError, *SetLineWidth, *SetScreenData, *SetPanZoom;
  QAction *FrameDim, *CylDim, *SetGraphicZoom, *ResetAll, *RefPoints, *DrawLines1, *SetPivotData,
      *DynamicVariables, *SetUnDo;
  QAction* Redo1 = nullptr;  // "R&edo", after "&UnDo"
  QAction *SineDiag, *OvalDiag, *SteamDiag, *FourEvents;
  std::vector<QAction*> AddedDiagramItems;  // after FourEvents, one per added kind
  QAction* ValveEvents = nullptr;  // the events table window
  QAction* BalanceEvents = nullptr;  // the balance search, at the end of EditDimen
  QAction *Instructions, *SpecInstr, *UserGuide, *About1;
  QAction* Error = nullptr;
  QAction* RunStop = nullptr;  // "Start / Stop Driver Rotation" (Space)
  QAction* UndoKey = nullptr;  // Ctrl+Z: the "UnDo" button while it is shown
  std::array<QAction*, 25> ToolButton{};  // ToolButton1..ToolButton24 by number

 protected:
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildMenu();
  void UpdateRedoItem();
  void AddKeyboardCommands();
  QString ChooseDimensionFile(bool save);
  void BuildToolBar();
  void BuildControls();
  void ShowCaptions(const FrameCaptions& c);
  void ApplyFrameEffects(const FrameEffects& fx);
  template <class Rule>
  void Apply(Rule rule);
  void Recentred(ScrollBar* bar, void (*rule)(AppState&, int));
  void RefBar(ScrollBar* bar, int which);

  Session& session_;
  AppState& app_;
  ModelState& m_;
  ScreenState& s_;
  QImage frame_;
  bool hourglass_ = false;  // the highlight's hourglass cursor is up
  FrameDamage damage_;  // the tiles of frame_ that drawing touched
  TextCache texts_;     // the readouts' texts, laid out once
  StillFrames still_;   // the ticks of a gear at rest, passed over
  bool resting_ = false;
  void Rest();
  void TickAtPace();
  bool eventFilter(QObject* watched, QEvent* event) override;
  int framesMade_ = 0;
  // The captions' date and time, built again when its second has gone.
  qint64 captionSecond_ = 0;
  std::string captionTime_;
  const std::string& CaptionTime();
  Following shown_, undoShown_;  // the controls and the "UnDo" button following the session
};

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four diagram windows. Each shows its picture drawn by a sweep of the
// solver, stops the main window's animation while it is open, and carries
// the strip of dynamic-variable bars and the undo button.
#pragma once
#include <QDialog>
#include <QImage>
#include <array>
#include <functional>
#include <vector>

#include "diagrams/diagrampicture.h"
#include "platform/controls.h"
#include "platform/qtcanvas.h"
#include "state/session.h"

class QMenuBar;
class QAction;

namespace brevold {

class MainPort;

class DiagramWindow : public QDialog {
  Q_OBJECT
 public:
  using Kind = DiagramPicture;
  DiagramWindow(MainPort& form, Kind kind);
  ~DiagramWindow() override;

  void ClearAndDraw();
  void Draw();  // over the picture as it stands
  // A redraw as the window's own controls ask for one (the port window in
  // both-graphs mode draws both).
  virtual void Redraw();
  void DynamicVariClick();
  void UnDoMenuClick();
  void UnDoButtonClick();
  void SetRevArmPosClick();
  void BarChange(int k);
  void BarEndScroll(int k);
  void ExportPictureClick();
  void PrintClick();

  const QImage& Picture() const { return picture_; }
  // The widget the picture is shown on.
  QWidget* PictureArea() const { return canvas_; }
  Kind kind() const { return kind_; }
  const DiagramKind& Table() const { return KindOf(kind_); }
  QMenuBar* Menu = nullptr;
  Button* CloseButton = nullptr;
  Button* UnDoButton = nullptr;
  std::array<ScrollBar*, 5> Bars{};  // 1..4
  QAction *ReDrawItem = nullptr, *UnDoItem = nullptr, *DynVariItem = nullptr, *SetRevArmPosItem = nullptr;
  QAction *ExportPictureItem = nullptr, *PrintItem = nullptr;  // the menu bar's last items
  QAction* HelpItem = nullptr;  // after them, in the windows the guide describes
  // Whether activation opens the reverse-arm positions dialog first (tests
  // turn it off to drive the window directly).
  bool AskPositionsOnOpen = true;

 protected:
  void showEvent(QShowEvent* e) override;
  void done(int r) override;
  bool eventFilter(QObject* o, QEvent* e) override;
  void FormActivate();
  void AddExportItem();
  void NameBars();
  MainPort& form_;
  AppState& app_;
  DiagramState& state_;

 private:
  Kind kind_;
  void ClearPicture();  // white, and no words
  QImage picture_;
  TextCache texts_;  // the picture's texts, laid out once
  std::vector<TextTapCanvas::Placed> words_;  // the texts drawn on the picture since it was cleared
  Following undoShown_;  // the "UnDo" button following the undo stack
  QWidget* canvas_ = nullptr;
};

class TPortDia : public DiagramWindow {
  Q_OBJECT
 public:
  explicit TPortDia(MainPort& form);
  void Redraw() override;
  void BothGraphs1Click();
  QAction *ForwardGraph1, *ReverseGraph1, *BothGraphs1;
};

class TSteamDia : public DiagramWindow {
  Q_OBJECT
 public:
  explicit TSteamDia(MainPort& form) : DiagramWindow(form, Kind::Steam) {}
};

class TOvalDia : public DiagramWindow {
  Q_OBJECT
 public:
  explicit TOvalDia(MainPort& form) : DiagramWindow(form, Kind::Oval) {}
};

class TSineDia : public DiagramWindow {
  Q_OBJECT
 public:
  explicit TSineDia(MainPort& form) : DiagramWindow(form, Kind::Sine) {}
};

}  // namespace brevold

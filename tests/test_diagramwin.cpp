// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractSlider>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <memory>
#include <tuple>

#include "diagrams/diagramwin.h"
#include "platform/qtcanvas.h"
#include "mainwin/mechdraw.h"
#include "mainwin/mainform.h"

namespace brevold {

class DiagramWinTest : public ::testing::Test {
 protected:
  DiagramWinTest() : form(std::make_unique<TMainForm>(session)) {
    form->show();
    form->Timer1Timer();  // the first solve: the gear's sense
  }
  // Opens a window as the menu does, without its modal loop or the
  // positions dialog.
  DiagramWindow& Open(DiagramWindow* w) {
    w->AskPositionsOnOpen = false;
    w->show();
    QTest::qWait(20);
    return *w;
  }
  bool Blank(const QImage& img) {
    for (int y = 60; y < img.height(); y += 3)
      for (int x = 0; x < img.width(); x += 3)
        if (img.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
  }
  void Shot(DiagramWindow& w, const char* name) {
    const QByteArray dir = qgetenv("BREVOLD_SHOTS");
    if (!dir.isEmpty()) w.grab().save(QString(dir) + "/" + name + ".png");
  }
  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

TEST_F(DiagramWinTest, OpeningStopsTheAnimationAndClosingResumesIt) {
  for (DiagramWindow* w : std::initializer_list<DiagramWindow*>{form->PortDia, form->SteamDia, form->OvalDia, form->SineDia}) {
    Open(w);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(Blank(w->Picture()));
    for (size_t k = 1; k <= 4; ++k) EXPECT_TRUE(w->Bars[k]->isHidden());
    EXPECT_TRUE(w->UnDoButton->isHidden());
    w->close();
    EXPECT_TRUE(form->Timer1->isActive());
  }
  EXPECT_EQ(form->OvalDia->Picture().size(), QSize(632, 426));
  EXPECT_EQ(form->SineDia->CloseButton->geometry(), QRect(408, 8, 75, 25));
  EXPECT_EQ(form->PortDia->CloseButton->geometry(), QRect(447, 2, 75, 25));
}

TEST_F(DiagramWinTest, BarsChangeTheDimensionAndRedraw) {
  app.model.undo.EditDirty = 0;
  EditorFieldExit(app.model, 3, 16.5f, "Main Rod Length");
  DiagramWindow& w = Open(form->SineDia);
  w.DynamicVariClick();
  EXPECT_TRUE(app.model.dyn.DynVarsOn);
  EXPECT_FALSE(w.Bars[1]->isHidden());
  EXPECT_TRUE(w.Bars[1]->isEnabled());
  EXPECT_FALSE(w.Bars[2]->isEnabled());
  EXPECT_FALSE(form->SBDynVar[1]->isHidden());  // the main window's bars follow
  const QImage before = w.Picture();
  w.Bars[1]->onEnter();  // the bar takes the focus as it is clicked
  w.Bars[1]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_FLOAT_EQ(app.model.dims.frame.MainRodLen, 16.501f);
  EXPECT_EQ(w.Bars[1]->Position(), 0);
  EXPECT_NE(w.Picture(), before);  // the value in the strip changed
  w.BarEndScroll(1);
  EXPECT_EQ(app.model.undo.UndoCount, 1);
  w.UnDoMenuClick();
  EXPECT_TRUE(app.model.dyn.UndoOn);
  EXPECT_FALSE(w.UnDoButton->isHidden());
  QTest::mouseClick(w.UnDoButton, Qt::LeftButton);
  EXPECT_FLOAT_EQ(app.model.dims.frame.MainRodLen, 16.5f);
  EXPECT_FALSE(w.UnDoButton->isEnabled());
  EXPECT_FALSE(form->UnDoDn->isEnabled());
  Shot(w, "sine-diagram");
  w.close();
}

// An arrow click draws the window once; the picture is the one a second
// redraw (for the bar's return to 0) would leave, also when the undo line
// shown was not the one the click's drawing builds.
TEST_F(DiagramWinTest, AnArrowClickShowsWhatARedrawAfterItWouldShow) {
  app.model.undo.EditDirty = 0;
  EditorFieldExit(app.model, 3, 16.5f, "Main Rod Length");
  for (DiagramWindow* w : std::initializer_list<DiagramWindow*>{form->PortDia, form->SteamDia, form->OvalDia, form->SineDia}) {
    Open(w);
    if (!app.model.dyn.DynVarsOn) w->DynamicVariClick();
    if (!app.model.dyn.UndoOn) w->UnDoMenuClick();
    if (w == form->PortDia) form->PortDia->BothGraphs1Click();
    for (bool staleUndoLine : {false, true}) {
      if (staleUndoLine) app.diagrams.UndoText = std::string(70, 'W');
      w->Bars[1]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      const QImage clicked = w->Picture().copy();
      w->Redraw();
      EXPECT_EQ(clicked, w->Picture()) << static_cast<int>(w->kind()) << (staleUndoLine ? " stale undo line" : "");
    }
    w->close();
  }
}

TEST_F(DiagramWinTest, PositionsDialogClosingMakesTheNextMouseMoveRedraw) {
  DiagramWindow& w = Open(form->OvalDia);
  app.model.revArm.RedrawPending = 1;
  QMouseEvent move(QEvent::MouseMove, QPointF(300, 300), QPointF(300, 300), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  for (QWidget* child : w.findChildren<QWidget*>())
    if (child->hasMouseTracking()) QApplication::sendEvent(child, &move);
  EXPECT_EQ(app.model.revArm.RedrawPending, 0);
  Shot(w, "oval-diagram");
  w.close();
}

TEST_F(DiagramWinTest, PortWindowBothGraphsKeepsItsModeOnRedraw) {
  auto* port = form->PortDia;
  Open(port);
  port->BothGraphs1Click();
  EXPECT_EQ(app.diagrams.PortGraphMode, PortGraphs::Both);
  EXPECT_TRUE(app.diagrams.PortEventLabels);
  port->Redraw();
  EXPECT_EQ(app.diagrams.PortGraphMode, PortGraphs::Both);
  Shot(*port, "port-diagram");
  port->close();
  Open(form->SteamDia);
  Shot(*form->SteamDia, "steam-diagram");
  form->SteamDia->close();
}

}  // namespace brevold

#include <QMenu>
#include <QPlainTextEdit>

#include "diagrams/datatablewin.h"

namespace brevold {

TEST_F(DiagramWinTest, DataTableEditMenu) {
  TDataTable& t = *form->DataTable;
  t.show();
  EXPECT_TRUE(t.DataMemo->toPlainText().startsWith("Pivot Data   Nominal"));
  EXPECT_EQ(t.DataMemo->document()->blockCount(), 4 + 37);
  EXPECT_FALSE(t.Cut1->isEnabled());
  t.Edit1Click();  // nothing selected: Cut and Copy stay as they were
  EXPECT_FALSE(t.Copy1->isEnabled());
  t.SelectAll1Click();
  EXPECT_TRUE(t.Cut1->isEnabled());
  EXPECT_TRUE(t.Copy1->isEnabled());
  EXPECT_FALSE(t.SelectAll1->isEnabled());
  t.Copy1Click();
  EXPECT_TRUE(t.SelectAll1->isEnabled());
  t.close();
}

}  // namespace brevold

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>

#include "overlay/linesdlg.h"

namespace brevold {

TEST_F(DiagramWinTest, LinesDialogMakesALineFromTheReferencePoints) {
  form->RefPointsClick();
  form->FormMouseDown(Qt::LeftButton, 300, 300);
  form->FormMouseDown(Qt::RightButton, 400, 250);
  TDrawLines& d = *form->DrawLines;
  d.show();
  d.RadioGroup1->button(0)->click();
  d.RadioGroup2->button(1)->click();
  EXPECT_FALSE(d.DrawBut->isEnabled());
  d.RadioGroup3->button(0)->click();
  EXPECT_TRUE(d.DrawBut->isEnabled());
  EXPECT_EQ(d.RowLabels[1][1]->text(), "Line");
  EXPECT_EQ(d.RowLabels[1][3]->text(), "0 , 0");
  QTest::mouseClick(d.DrawBut, Qt::LeftButton);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(app.model.overlay.LineNo, 2);
  EXPECT_EQ(app.model.overlay.LineColor[1], 255);
  form->Timer1Timer();
  // The red line runs between the two clicks.
  EXPECT_EQ(form->Frame().pixel(350, 275), qRgb(255, 0, 0));
  d.show();
  EXPECT_EQ(d.RowFields[1][1]->text().trimmed(), QString::number(app.model.overlay.Line1Horz[1], 'f', 3));
  QTest::mouseClick(d.RowLabels[5][0], Qt::LeftButton);
  EXPECT_EQ(app.model.overlay.LineNo, 5);
  const QByteArray dir = qgetenv("BREVOLD_SHOTS");
  if (!dir.isEmpty()) d.grab().save(QString(dir) + "/lines-dialog.png");
  d.CloseButClick();
}

}  // namespace brevold

#include <QDir>

#include "cli/frame.h"
#include "diagrams/diagrampicture.h"
#include "model/dimfile.h"

namespace brevold {

namespace {

// How many drawing operations of two recordings differ, counting a length
// difference as that many more.
size_t DifferingOps(const RecordingCanvas& a, const RecordingCanvas& b) {
  size_t n = a.items.size() > b.items.size() ? a.items.size() - b.items.size() : b.items.size() - a.items.size();
  for (size_t i = 0; i < std::min(a.items.size(), b.items.size()); ++i) {
    const auto &x = a.items[i], &y = b.items[i];
    if (x.op != y.op || x.pts != y.pts || x.text != y.text || x.color != y.color || x.width != y.width ||
        !(x.font == y.font) || x.opaque != y.opaque)
      ++n;
  }
  return n;
}

}  // namespace

// brevold-cli diagram draws the picture the window's "Export Picture..."
// writes: for the nominal gear and for a file with other dimensions, every
// drawing operation the same.
TEST(DiagramPictures, CommandLineDrawsAsTheWindowExports) {
  const std::string file = QDir::temp().filePath("brevold-cli-diagram-gear.dmi").toStdString();
  {
    ModelState s;
    StartUp(s);
    ASSERT_TRUE(SetDim(s, FindDimByField("MainRodLen")->id, 17));
    ASSERT_TRUE(SetDim(s, FindDimByField("ValveStemLen")->id, 6.1f));
    CalcCentre(s);
    s.mech.RevArmX = s.revArm.Positions[0] + 0.4f;
    ASSERT_TRUE(SaveDimensions(s, file).ok);
  }
  for (const bool changed : {false, true}) {
    for (const DiagramKind& k : DiagramKinds()) {
      SCOPED_TRACE(std::string(k.name) + (changed ? " from the file" : " nominal"));
      const DiagramPicture kind = k.kind;
      std::vector<std::string> args = {"diagram", k.name, "--out", "x.png"};
      if (changed) args.insert(args.end(), {"--dmi", file});
      AppState cli;
      ASSERT_EQ(PrepareDiagram(cli, ParseOptions(args, CliMode::Diagram)), kind);
      RecordingCanvas fromCli;
      DrawDiagramPicture(fromCli, cli, kind);

      AppState app;
      Session session(app);
      TMainForm form(session);
      form.show();
      if (changed) {
        ASSERT_TRUE(form.OpenDimensionsFile(QString::fromStdString(file)));
      }
      form.Timer1Timer();
      form.StopAnimation();
      // Each kind has its window, of the kind's height.
      DiagramWindow* window = nullptr;
      for (DiagramWindow* w : form.findChildren<DiagramWindow*>())
        if (w->kind() == kind) window = w;
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(window->PictureArea()->height(), k.height);
      window->AskPositionsOnOpen = false;
      window->show();
      QTest::qWait(20);
      RecordingCanvas fromWindow;
      DrawDiagramPicture(fromWindow, app, kind);
      window->close();
      // A whole picture: the valve diagrams draw hundreds of strokes, the die's
      // one polyline per curve.
      EXPECT_GT(fromWindow.items.size(), kind == DiagramPicture::DieSlip ? 40u : 300u);
      EXPECT_EQ(DifferingOps(fromCli, fromWindow), 0u) << fromCli.items.size() << " and " << fromWindow.items.size() << " operations";
    }
  }
  std::remove(file.c_str());
}

// The steam card's pressure axis ends in an arrow made of four overlapping
// characters: every pixel each one inks alone is still inked in the whole
// picture, no other text's cell rubbing it out.
TEST(DiagramPictures, SteamCardArrowHeadIsWholeInThePicture) {
  AppState a;
  StartUp(a.model);
  AdvanceFrame(a, "");
  const int w = DiagramPictureWidth, h = DiagramPictureHeight(DiagramPicture::Steam);
  QImage whole(w, h, QImage::Format_RGB32), arrow(w, h, QImage::Format_RGB32);
  whole.fill(Qt::white);
  arrow.fill(Qt::white);
  {
    QtCanvas c(&whole);
    DrawDiagramPicture(c, a, DiagramPicture::Steam);
  }
  {
    QtCanvas c(&arrow);
    c.SetFont(Font{FontFace::Sans, 8, false, false, clBlack});
    for (const auto& [x, y, t] : {std::tuple{24, 77, "/"}, {29, 77, "\\"}, {28, 81, "|"}, {28, 94, "|"}}) c.TextOut(x, y, t);
  }
  int inked = 0, lost = 0;
  for (int y = 60; y < 120; ++y)
    for (int x = 10; x < 50; ++x)
      if (qGray(arrow.pixel(x, y)) < 128) {
        ++inked;
        if (qGray(whole.pixel(x, y)) >= 128) ++lost;
      }
  EXPECT_GT(inked, 15);
  EXPECT_EQ(lost, 0) << "of " << inked;
}

}  // namespace brevold

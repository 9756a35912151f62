// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAbstractSlider>
#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "mainwin/viewdlgs.h"
#include "mainwin/mainform.h"
#include "model/dimensions.h"

namespace brevold {

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() : form(std::make_unique<TMainForm>(session)) {
    form->Timer1->stop();  // ticks are driven by hand
    form->show();
  }
  ModelState& m() { return app.model; }
  ScreenState& s() { return app.screen; }
  void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
  void Arrow(ScrollBar* b, bool right) {
    b->triggerAction(right ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
  }
  void Page(ScrollBar* b, bool right) {
    b->triggerAction(right ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
  }
  float Mid() { return m().revArm.Positions[0]; }

  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, StartsRunningForwardAtMidGear) {
  EXPECT_EQ(form->Run->text(), "Stop");
  EXPECT_FLOAT_EQ(m().DrvAngInc, 10);
  EXPECT_FLOAT_EQ(m().StepAng, 10);
  EXPECT_EQ(form->SBStepAng->Position(), 12000);
  EXPECT_EQ(form->SBRevArm->Min(), -900);
  EXPECT_EQ(form->SBRevArm->Max(), 900);
  EXPECT_EQ(form->SBRevArm->Position(), 0);
  EXPECT_EQ(m().mech.RevArmX, Mid());
  EXPECT_EQ(s().GearDir, "Fwd");
  EXPECT_FALSE(form->Center->isEnabled());
  EXPECT_FALSE(form->Step10->isEnabled());
  EXPECT_FALSE(form->SBDrvAng->isEnabled());
  EXPECT_FALSE(form->NormVHZ->isEnabled());
  EXPECT_FALSE(form->DrawLines1->isEnabled());
  EXPECT_FALSE(form->SetPanZoom->isEnabled());
  EXPECT_TRUE(form->SBRef1Vert->isHidden());
  EXPECT_TRUE(form->UnDoDn->isHidden());
  EXPECT_EQ(form->SBRevArm->toolTip(), "Set Reverse Arm Between Max & Min");
  EXPECT_EQ(form->Run->toolTip(), "Start / Stop Driver Rotation");
  EXPECT_EQ(form->Client->size(), QSize(632, 380));
  EXPECT_EQ(form->Timer1->interval(), 16);  // the pace of the desktop the gear was drawn for

  form->Timer1Timer();
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 10);
  EXPECT_TRUE(form->windowTitle().startsWith("BREVOLD Inside Admission            Nominal     "));
  EXPECT_TRUE(form->windowTitle().endsWith("   Version 2.6"));
  // The frame shows the driver centre's cross at its screen point.
  EXPECT_EQ(form->Frame().pixel(81 + 3, 280 + 3), qRgb(255, 0, 0));
}

TEST_F(MainFormTest, MenuCaptionsAndToolBarHints) {
  QStringList top;
  for (QAction* a : form->menuBar()->actions())
    if (!a->text().isEmpty()) top << a->text();
  EXPECT_EQ(top, (QStringList{"&File", "&SetUp", "&EditDimen", "Draw&Graphs", "&Help"}));
  EXPECT_FALSE(form->Error->isVisible());
  QStringList setup;
  for (QAction* a : form->SetUp->actions()) setup << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(setup, (QStringList{"Set&RevArmPos", "Set&DriverAng", "Set&StepAng", "SetRef&Points", "-", "SetLarge&Font",
                                "&CalcCentRevArm", "SetS&teamDisp On", "Set&ErrorBeep Off", "Set&LineWidth 2",
                                "SetScree&nData Off", "SetP&anZoom On", "-", "Start / Stop Driver Rotation"}));
  // The diagrams the main window has always had, then the kinds added since,
  // then the events table.
  QStringList graphs;
  for (QAction* a : form->View1->actions()) graphs << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(graphs, (QStringList{"&SineDiagram", "&OvalDiagram", "S&teamDiagram", "&PortOpenClose", "&DieSlipDiagram", "-",
                                 "&ValveEvents"}));
  // A separator is a line, not a "-" item.
  for (QMenu* m : {form->File1, form->SetUp, form->Edit1, form->Help1})
    for (QAction* a : m->actions())
      if (a->isSeparator()) {
        EXPECT_TRUE(a->text().isEmpty());
      }
  EXPECT_EQ(form->ToolButton[16]->toolTip(), "View Port Events vs Reverse Arm Position");
  EXPECT_FALSE(form->ToolButton[23]->isEnabled());
}

TEST_F(MainFormTest, SilverToolBarAndAFocusMarkOnTheFocusedBar) {
  const QImage bar = form->ToolBar1->grab().toImage();
  EXPECT_EQ(bar.pixel(bar.width() - 2, bar.height() / 2), qRgb(192, 192, 192));
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->SBRevArm->setFocus();
  const QImage focused = form->SBRevArm->grab().toImage();
  form->SBStepAng->setFocus();
  const QImage unfocused = form->SBRevArm->grab().toImage();
  EXPECT_NE(focused, unfocused);
}

TEST_F(MainFormTest, StopRunAndTheFixedAngles) {
  m().mech.DrvAngle = 123.456f;
  Click(form->Run);  // stop
  EXPECT_EQ(form->Run->text(), "Run");
  EXPECT_EQ(form->SBDrvAng->Position(), 12346);
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 123.46f);  // the bar's change sets the angle it shows
  EXPECT_FLOAT_EQ(m().DrvAngInc, 0);
  EXPECT_TRUE(form->SBDrvAng->isEnabled());
  form->Timer1Timer();
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 123.46f);  // stopped: redrawn, not advanced

  Click(form->Deg180);
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 180);
  EXPECT_EQ(form->SBDrvAng->Position(), 18000);
  EXPECT_FALSE(form->Deg180->isEnabled());
  EXPECT_TRUE(form->Deg00->isEnabled());
  form->SBDrvAng->SetPosition(36020);  // 360.2 degrees
  EXPECT_TRUE(form->Deg180->isEnabled());
  form->Timer1Timer();
  EXPECT_NEAR(m().mech.DrvAngle, 0.2f, 1e-4);

  Click(form->Run);
  EXPECT_EQ(form->Run->text(), "Stop");
  EXPECT_FLOAT_EQ(m().DrvAngInc, 10);
  EXPECT_FALSE(form->SBDrvAng->isEnabled());

  form->FormActivate();  // a dialog closed: the angle bar is disabled again even when stopped
  Click(form->Deg00);
  EXPECT_TRUE(form->SBDrvAng->isEnabled());
  form->FormActivate();
  EXPECT_FALSE(form->SBDrvAng->isEnabled());
}

TEST_F(MainFormTest, StepBarSnapsToItsBandsAndTheButtonsFollow) {
  const struct {
    int position;
    float step;
    int small, large;
  } cases[] = {{0, 0.01f, 1, 5},      {704, 0.01f, 1, 5},    {705, 0.02f, 2, 10},     {7613, 1, 100, 500},
               {11000, 5, 500, 2500}, {12705, 20, 2000, 4500}, {14613, 45, 4500, 4500}};
  for (const auto& c : cases) {
    form->SBStepAng->SetPosition(c.position);
    EXPECT_FLOAT_EQ(m().StepAng, c.step) << c.position;
    EXPECT_FLOAT_EQ(m().DrvAngInc, c.step) << c.position;  // running: takes effect at once
    EXPECT_EQ(form->SBDrvAng->SmallChange(), c.small);
    EXPECT_EQ(form->SBDrvAng->LargeChange(), c.large);
  }
  EXPECT_FALSE(form->Step45->isEnabled());
  EXPECT_TRUE(form->Step10->isEnabled());

  Click(form->Run);  // stopped: the step changes, the increment stays 0
  form->SBStepAng->SetPosition(8000);
  EXPECT_FLOAT_EQ(m().StepAng, 1);
  EXPECT_FLOAT_EQ(m().DrvAngInc, 0);
  EXPECT_FALSE(form->Step1->isEnabled());
  Click(form->Run);
  EXPECT_FLOAT_EQ(m().DrvAngInc, 1);

  // A typed step keeps its value for one change of the bar.
  m().StepAng = 7.5f;
  s().StepSnapOn = false;
  form->SBStepAng->SetPosition(11500);
  EXPECT_FLOAT_EQ(m().StepAng, 7.5f);
  EXPECT_TRUE(s().StepSnapOn);
  form->SBStepAng->SetPosition(11400);
  EXPECT_FLOAT_EQ(m().StepAng, 5);

  Click(form->Step10);
  EXPECT_FLOAT_EQ(m().StepAng, 10);
  EXPECT_EQ(form->SBStepAng->Position(), 12000);
  EXPECT_FALSE(form->Step10->isEnabled());
  EXPECT_TRUE(form->Step1->isEnabled());
}

TEST_F(MainFormTest, ReverseArmRightAlwaysMeansForward) {
  // At start no solve has run: the sense is inverse.
  ASSERT_FALSE(SensePositive(m().mech));
  form->SBRevArm->SetPosition(300);
  EXPECT_FLOAT_EQ(m().mech.RevArmX, Mid() - 0.3f);
  EXPECT_EQ(s().GearDir, "Fwd");
  EXPECT_TRUE(form->Center->isEnabled());
  form->SBRevArm->SetPosition(-300);
  EXPECT_EQ(s().GearDir, "Rev");

  form->Timer1Timer();  // a solve: the nominal gear's sense is direct
  ASSERT_TRUE(SensePositive(m().mech));
  form->SBRevArm->SetPosition(300);
  EXPECT_FLOAT_EQ(m().mech.RevArmX, Mid() + 0.3f);
  EXPECT_EQ(s().GearDir, "Fwd");
  form->SBRevArm->SetPosition(-1);
  EXPECT_EQ(s().GearDir, "Rev");

  m().FrontCOText = "12.3";
  Click(form->Fwd);
  EXPECT_EQ(form->SBRevArm->Position(), 700);
  EXPECT_FALSE(form->Fwd->isEnabled());
  EXPECT_TRUE(form->Rev->isEnabled());
  EXPECT_TRUE(m().FrontCOText.empty());
  Click(form->Rev);
  EXPECT_EQ(form->SBRevArm->Position(), -700);
  EXPECT_FALSE(form->Rev->isEnabled());
  EXPECT_EQ(s().GearDir, "Rev");
  Click(form->Center);
  EXPECT_EQ(form->SBRevArm->Position(), 0);
  EXPECT_EQ(m().mech.RevArmX, Mid());
  EXPECT_EQ(s().GearDir, "Fwd");
  EXPECT_FALSE(form->Center->isEnabled());

  // Reverse gear turns the wheel backwards.
  Click(form->Rev);
  const float before = m().mech.DrvAngle;
  form->Timer1Timer();
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, before < 10 ? before + 350 : before - 10);
}

TEST_F(MainFormTest, ZoomKeepsTheCentrePointAndClamps) {
  const ViewState v0 = m().view;
  Arrow(form->SBZoom, true);
  EXPECT_EQ(form->SBZoom->Position(), 0);  // re-centred
  EXPECT_NEAR(m().view.Scale, v0.Scale * 1.001f, 1e-4);
  // The world point that was at (320, 240) stays there.
  const double wx = (320 - v0.OriginX) / v0.Scale;
  EXPECT_NEAR(wx * m().view.Scale + m().view.OriginX, 320, 1e-3);
  EXPECT_TRUE(form->NormVHZ->isEnabled());
  Page(form->SBZoom, true);
  EXPECT_NEAR(m().view.Scale, v0.Scale * 1.001f * 1.01f, 1e-3);

  m().view.Scale = 2990;
  for (int i = 0; i < 3; ++i) Page(form->SBZoom, true);
  EXPECT_FLOAT_EQ(m().view.Scale, 3000);
  // At the limit a further click leaves the picture where it is.
  const float ox = m().view.OriginX, oy = m().view.OriginY;
  for (int i = 0; i < 50; ++i) Page(form->SBZoom, true);
  EXPECT_EQ(m().view.OriginX, ox);
  EXPECT_EQ(m().view.OriginY, oy);
  m().view.Scale = 0.51f;
  for (int i = 0; i < 3; ++i) Page(form->SBZoom, false);
  EXPECT_FLOAT_EQ(m().view.Scale, 0.5f);
  const float lx = m().view.OriginX;
  Page(form->SBZoom, false);
  EXPECT_EQ(m().view.OriginX, lx);

  Arrow(form->SBPanHorz, true);
  Arrow(form->SBPanVert, true);
  Click(form->NormVHZ);
  EXPECT_FLOAT_EQ(m().view.Scale, 18.9f);
  EXPECT_FLOAT_EQ(m().view.OriginX, 81);
  EXPECT_FLOAT_EQ(m().view.OriginY, 280);
  EXPECT_FLOAT_EQ(m().view.SavedScale, 0.5f);
  EXPECT_FALSE(form->NormVHZ->isEnabled());
}

TEST_F(MainFormTest, PanBarsMoveByATenthPixelPerArrowAndAPixelPerPage) {
  Arrow(form->SBPanHorz, true);
  EXPECT_FLOAT_EQ(m().view.OriginX, 81.1f);
  Page(form->SBPanHorz, false);
  EXPECT_FLOAT_EQ(m().view.OriginX, 80.1f);
  Arrow(form->SBPanVert, true);
  EXPECT_FLOAT_EQ(m().view.OriginY, 279.9f);  // up the screen
}

TEST_F(MainFormTest, PresetStoreAndRecall) {
  m().view.Scale = 33;
  m().view.OriginX = 44;
  m().view.OriginY = 55;
  Click(form->Preset[0]);
  EXPECT_FALSE(form->Preset[0]->isEnabled());
  Click(form->Preset[3]);  // stores, the view stays
  EXPECT_FLOAT_EQ(m().view.ViewPreset[3].Scale, 33);
  EXPECT_FLOAT_EQ(m().view.Scale, 33);
  EXPECT_TRUE(form->Preset[0]->isEnabled());
  Click(form->Preset[5]);  // recalls
  EXPECT_FLOAT_EQ(m().view.Scale, 427);
  EXPECT_FLOAT_EQ(m().view.OriginX, -9764);
  Click(form->Preset[3]);
  EXPECT_FLOAT_EQ(m().view.OriginY, 55);
}

TEST_F(MainFormTest, ReferencePointsOnOffAndTheirControls) {
  form->RefPointsClick();
  EXPECT_TRUE(m().view.RefPointsOn);
  EXPECT_FALSE(form->SBRef1Vert->isHidden());
  EXPECT_FALSE(form->Panel[11]->isHidden());
  EXPECT_TRUE(form->RefPt1->isEnabled());
  EXPECT_TRUE(form->DrawLines1->isEnabled());
  EXPECT_TRUE(form->ToolButton[23]->isEnabled());

  Page(form->SBRef1Horz, true);
  EXPECT_FLOAT_EQ(m().mech.PtX[19], 0.025f);
  Arrow(form->SBRef1Vert, false);
  EXPECT_FLOAT_EQ(m().mech.PtY[19], -0.001f);
  EXPECT_TRUE(form->RefPt1Zero->isEnabled());
  Click(form->RefPt1Zero);
  EXPECT_EQ(m().mech.PtX[19], 0);
  EXPECT_FALSE(form->RefPt1Zero->isEnabled());

  // A left click in the picture sets RP1 where the mouse is.
  form->FormMouseDown(Qt::LeftButton, 81 + 189, 280 - 189);
  EXPECT_NEAR(m().mech.PtX[19], 10, 1e-5);
  EXPECT_NEAR(m().mech.PtY[19], 10, 1e-5);
  form->FormMouseDown(Qt::RightButton, 100, 50);  // in the control strip: nothing
  EXPECT_EQ(m().mech.PtX[20], 0);

  form->RefPointsClick();
  EXPECT_FALSE(m().view.RefPointsOn);
  EXPECT_TRUE(form->SBRef1Vert->isHidden());
  EXPECT_FALSE(form->RefPt1->isEnabled());
  EXPECT_FALSE(form->DrawLines1->isEnabled());
}

TEST_F(MainFormTest, PanToReferencePointCentresItThenPansThroughTheBars) {
  form->RefPointsClick();
  Click(form->RefPt1);  // RP1 at the driver centre
  // The driver centre first comes to (320, 240); the horizontal bar's
  // position -295 then pans 29.5 pixels further, the vertical's -29 lowers it 2.9.
  EXPECT_FLOAT_EQ(m().view.OriginX, 320 - 29.5f);
  EXPECT_FLOAT_EQ(m().view.OriginY, 240 + 2.9f);
  EXPECT_EQ(form->SBPanHorz->Position(), 0);
}

TEST_F(MainFormTest, RefPointsDialogOkCancelZero) {
  {
    TRefPnts d(*form);
    d.show();
    EXPECT_EQ(d.Edit1->text(), "0.000");
    EXPECT_EQ(d.focusWidget(), d.Cancel);  // Cancel has the focus on opening
    d.Edit1->setText("1.5");
    d.Edit2->setText("2");
    d.Edit3->setText("bad");
    d.Edit4->setText("-");
    d.OKClick();
    EXPECT_FLOAT_EQ(m().mech.PtY[19], 1.5f);
    EXPECT_FLOAT_EQ(m().mech.PtX[19], 2);
    EXPECT_EQ(m().mech.PtY[20], 0);
    EXPECT_TRUE(m().view.RefPointsOn);
    EXPECT_TRUE(form->RefPt1Zero->isEnabled());
    EXPECT_FALSE(form->RefPt2Zero->isEnabled());
  }
  {
    TRefPnts d(*form);
    d.show();
    EXPECT_EQ(d.Edit1->text(), "1.500");
    d.CancelClick();
    EXPECT_FALSE(m().view.RefPointsOn);
    EXPECT_FLOAT_EQ(m().mech.PtY[19], 1.5f);
  }
  {
    TRefPnts d(*form);
    d.show();
    d.ZeroClick();
    EXPECT_FALSE(m().view.RefPointsOn);
    EXPECT_EQ(m().mech.PtY[19], 0);
    EXPECT_FALSE(form->RefPt1Zero->isEnabled());
  }
  {
    TRefPnts d(*form);
    d.show();
    d.Edit1->clear();
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, "1a.2.-3");
    EXPECT_EQ(d.Edit1->text(), "1.2-3");  // letters and a second point refused
  }
}

TEST_F(MainFormTest, GraphZoomDialogClamps) {
  TGraphZoom d(m().view, form.get());
  d.show();
  EXPECT_EQ(d.Edit1->text(), "7.50");
  d.Edit1->setText("0.1");
  d.OKClick();
  EXPECT_FLOAT_EQ(m().view.GraphZoomFactor, 0.5f);
  d.Edit1->setText("99999");
  d.OKClick();
  EXPECT_FLOAT_EQ(m().view.GraphZoomFactor, 2000);
  d.Edit1->setText("15");
  d.OKClick();
  EXPECT_FLOAT_EQ(m().view.GraphZoomFactor, 15);
  d.Edit1->clear();
  d.Edit1->setFocus();
  QTest::keyClicks(d.Edit1, "-1.2.5");
  EXPECT_EQ(d.Edit1->text(), "1.25");
}

TEST_F(MainFormTest, TogglesShowTheNextAction) {
  form->LargeFontClick();
  EXPECT_FLOAT_EQ(s().TextScaleX, 1.27f);
  EXPECT_EQ(form->LargeFont->text(), "SetSmall&Font");
  form->SetLineWidthClick();
  EXPECT_EQ(s().LineWidth, 2);
  EXPECT_EQ(form->SetLineWidth->text(), "Set&LineWidth 1");
  form->SetBeepOnErrorClick();
  EXPECT_FALSE(m().mech.BeepOnError);
  EXPECT_EQ(form->SetBeepOnError->text(), "Set&ErrorBeep On");
  form->SetSteamClick();
  EXPECT_TRUE(s().SteamDisp);
  EXPECT_EQ(form->SetSteam->text(), "SetS&teamDisp Off");
}

TEST_F(MainFormTest, ErrorIndicatorBlinksAndPlaysOnce) {
  m().dims.frame.MainRodLen = 0.5f;
  const int barHeight = form->menuBar()->height(), clientTop = form->Client->mapTo(form.get(), QPoint(0, 0)).y();
  form->Timer1Timer();
  EXPECT_TRUE(form->Error->isVisible());
  QApplication::processEvents();
  // The blink changes the menu bar, not its height: the picture stays put.
  EXPECT_EQ(form->menuBar()->height(), barHeight);
  EXPECT_EQ(form->Client->mapTo(form.get(), QPoint(0, 0)).y(), clientTop);
  for (int i = 0; i < 9; ++i) form->Timer1Timer();
  EXPECT_FALSE(form->Error->isVisible());
  EXPECT_EQ(form->Sound.PlayCount(), 1);
}

// The window's icon is the picture the desktop's menus show for the
// installed program.
TEST_F(MainFormTest, WindowIconIsTheInstalledIcon) {
  QSvgRenderer installed(QStringLiteral(BREVOLD_SOURCE_DIR "/data/desktop/org.brevold.brevold.svg"));
  ASSERT_TRUE(installed.isValid());
  QImage expected(32, 32, QImage::Format_ARGB32_Premultiplied);
  expected.fill(Qt::transparent);
  {
    QPainter p(&expected);
    installed.render(&p);
  }
  const QImage shown = form->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  ASSERT_EQ(shown.size(), expected.size());
  EXPECT_EQ(shown, expected);
}

TEST_F(MainFormTest, ResetAllRestoresDimensionsCentreAndView) {
  m().dims.frame.Stroke = 7;
  m().dims.frame.RevArmMax = 2;
  m().view.Scale = 99;
  m().dims.DimFileName = "big";
  form->SBRevArm->SetPosition(500);
  MarkSaved(m());  // as if just saved: no question before the reset
  form->ResetAllClick();
  EXPECT_FLOAT_EQ(m().dims.frame.Stroke, 4);
  EXPECT_EQ(form->SBRevArm->Max(), 900);
  EXPECT_EQ(form->SBRevArm->Position(), 0);
  EXPECT_EQ(m().mech.RevArmX, Mid());
  EXPECT_FLOAT_EQ(m().view.Scale, 18.9f);
  EXPECT_EQ(m().dims.DimFileName, "Nominal");
}

// A stopped window whose frame would come out the same makes no frames: no
// solve, no painting. Whatever changes a pixel makes the next tick, and the
// window then comes to rest again; with the steam display on, whose dots
// move at rest, it never does.
TEST_F(MainFormTest, AStoppedUnchangedWindowMakesNoFramesUntilSomethingChanges) {
  qint64 second = 1800000000;
  form->Clock = [&second] { return second; };
  form->RunClick();
  auto ticks = [this](int n) {
    const int made = form->FramesMade();
    for (int i = 0; i < n; ++i) form->Timer1Timer();
    return form->FramesMade() - made;
  };
  EXPECT_EQ(ticks(3), 3);  // the first solve, then the frame settles
  EXPECT_EQ(ticks(5), 0);

  QImage shown = form->Frame();
  QString title = form->windowTitle();
  auto shows = [&](const char* what, auto change, bool newPicture, bool newTitle) {
    SCOPED_TRACE(what);
    change();
    EXPECT_EQ(ticks(1), 1);
    ticks(3);
    EXPECT_EQ(ticks(3), 0);
    EXPECT_EQ(form->Frame() != shown, newPicture);
    EXPECT_EQ(form->windowTitle() != title, newTitle);
    shown = form->Frame();
    title = form->windowTitle();
  };
  // As a dimension editor stores a field: in place, not through the session.
  shows("dimension", [this] { SetDim(m(), 3, GetDim(m(), 3) + 2); }, true, false);
  shows("view", [this] { Page(form->SBPanHorz, true); }, true, false);
  shows("window size", [this] {
    form->resize(form->width() + 40, form->height() + 20);
    QApplication::processEvents();
  }, false, false);
  // A new second shows in the caption at the next tick; the frame, which has
  // no time in it, is not made again.
  ++second;
  EXPECT_EQ(ticks(1), 0);
  EXPECT_NE(form->windowTitle(), title);
  EXPECT_EQ(form->windowTitle().toStdString(), s().MainCaption);
  EXPECT_EQ(form->Frame(), shown);
  form->SetSteamClick();
  EXPECT_EQ(ticks(4), 4);
}

TEST_F(MainFormTest, TimerRunsTheAnimationByItself) {
  form->Timer1->start();
  QTest::qWait(100);
  form->Timer1->stop();
  EXPECT_NE(m().mech.DrvAngle, 0);
}


// Each tick paints again only the tiles whose pixels differ from what the
// window shows: what the window really shows (its backing store) must be,
// after every tick, what painting the whole client area afresh gives, as
// the gear turns, with steam dots, the view panned and the "UnDo" button
// coming and going.
TEST_F(MainFormTest, TheWindowShowsEachNewFrameWhole) {
  QApplication::processEvents();
  auto shownIsWhole = [this](const char* what) {
    QApplication::processEvents();
    const QPoint at = form->Client->mapTo(form.get(), QPoint(0, 0));
    const QImage shown = form->screen()->grabWindow(form->winId()).toImage()
                             .copy(QRect(at, form->Client->size())).convertToFormat(QImage::Format_RGB32);
    const QImage fresh = form->Client->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == fresh) << what;
  };
  for (int i = 0; i < 8; ++i) {
    form->Timer1Timer();
    shownIsWhole("turning");
  }
  form->SetSteamClick();
  for (int i = 0; i < 4; ++i) {
    form->Timer1Timer();
    shownIsWhole("steam");
  }
  Page(form->SBPanHorz, true);
  form->Timer1Timer();
  shownIsWhole("panned");
  form->SetUnDoClick();
  SetDim(m(), 3, GetDim(m(), 3) + 1);
  for (int i = 0; i < 3; ++i) {
    form->Timer1Timer();
    shownIsWhole("undo button");
  }
}

// A stopped window at rest wakes once a second for its caption, not every
// 16 ms, till an event comes; the event sets the pace back. Ticks driven by
// hand never start a stopped timer.
TEST_F(MainFormTest, AWindowAtRestWaitsForAnEventOrTheNextSecond) {
  form->RunClick();
  for (int i = 0; i < 6; ++i) form->Timer1Timer();
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_FALSE(form->Resting());

  form->Timer1->start();
  QTest::qWait(120);  // the frame settles, then the timer rests
  EXPECT_TRUE(form->Resting());
  EXPECT_GT(form->Timer1->interval(), 16);
  EXPECT_LE(form->Timer1->interval(), 1001);
  const int made = form->FramesMade();
  QTest::mouseClick(form->Run, Qt::LeftButton);  // running again
  EXPECT_FALSE(form->Resting());
  EXPECT_EQ(form->Timer1->interval(), 16);
  QTest::qWait(100);
  EXPECT_GT(form->FramesMade(), made + 2);
  form->Timer1->stop();
}

}  // namespace brevold

namespace brevold {

TEST_F(MainFormTest, ScreenDataOffLeavesAClearPictureAndOnRestoresTheStrip) {
  form->RefPointsClick();
  form->DynamicVariablesClick();
  form->SetUnDoClick();
  form->SetScreenDataClick();
  EXPECT_EQ(form->SetScreenData->text(), "SetScree&nData On");
  EXPECT_TRUE(form->ToolBar1->isHidden());
  EXPECT_TRUE(form->SBRevArm->isHidden());
  EXPECT_TRUE(form->SBRef1Vert->isHidden());
  EXPECT_TRUE(form->SBDynVar[1]->isHidden());
  EXPECT_TRUE(form->Panel[12]->isHidden());
  EXPECT_FALSE(form->RefPoints1->isVisible());
  EXPECT_FALSE(form->DriverAng->isEnabled());
  EXPECT_TRUE(form->SetPanZoom->isEnabled());
  EXPECT_FALSE(m().view.RefPointsOn);
  EXPECT_FALSE(m().dyn.DynVarsOn);
  EXPECT_FALSE(m().dyn.UndoOn);

  // An error raised meanwhile waits for the screen data.
  m().mech.ErrFlag = 1;
  form->Timer1Timer();
  EXPECT_FALSE(form->Error->isVisible());

  form->SetPanZoomClick();
  EXPECT_EQ(form->SetPanZoom->text(), "SetP&anZoom Off");
  EXPECT_FALSE(form->SBZoom->isHidden());
  Page(form->SBZoom, true);
  EXPECT_NEAR(m().view.Scale, 18.9f * 1.01f, 1e-4);

  form->SetScreenDataClick();
  EXPECT_EQ(form->SetScreenData->text(), "SetScree&nData Off");
  EXPECT_EQ(form->SetPanZoom->text(), "Set&PanZoom On");
  EXPECT_FALSE(form->SetPanZoom->isEnabled());
  EXPECT_FALSE(form->ToolBar1->isHidden());
  EXPECT_FALSE(form->SBZoom->isHidden());
  EXPECT_TRUE(form->SBRef1Vert->isHidden());
  EXPECT_TRUE(form->SBDynVar[1]->isHidden());
  EXPECT_TRUE(form->RefPoints1->isVisible());
  EXPECT_FALSE(m().view.RefPointsOn);
  form->Timer1Timer();
  EXPECT_TRUE(form->Error->isVisible());
}

}  // namespace brevold

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "model/dimfile.h"
#include "model/dimjson.h"
#include "model/dimensions.h"

namespace {

// Once the error box is up: what it says and the file it names, then OK.
// Looks again until the box is up (a slow machine opens it late), for ten
// seconds at most.
void AnswerErrorBox(QString& text, QString& file, int tries = 500) {
  QTimer::singleShot(20, [&text, &file, tries] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = box->text();
      file = box->informativeText();
      box->accept();
    } else if (tries > 1) {
      AnswerErrorBox(text, file, tries - 1);
    }
  });
}

}  // namespace

namespace brevold {

TEST_F(MainFormTest, OpeningAFilePutsTheReverseArmBarWhereTheGearWasSaved) {
  form->Timer1Timer();  // a solve: the direct sense
  const QString file = QDir::temp().filePath("brevold-form-test.dmi");
  form->SBRevArm->SetPosition(350);
  ASSERT_TRUE(form->SaveDimensionsFile(file));
  EXPECT_EQ(m().dims.DimFileName, "brevold-form-test");
  form->ResetAllClick();
  EXPECT_EQ(form->SBRevArm->Position(), 0);
  ASSERT_TRUE(form->OpenDimensionsFile(file));
  EXPECT_EQ(form->SBRevArm->Position(), 350);
  EXPECT_NEAR(m().mech.RevArmX, m().revArm.Positions[0] + 0.35f, 1e-5);
  QFile::remove(file);

  // A missing file: the error box, and nothing else moves.
  QString shown, named;
  AnswerErrorBox(shown, named);
  EXPECT_FALSE(form->OpenDimensionsFile(QDir::temp().filePath("no-such-brevold-file.dmi")));
  EXPECT_EQ(shown, "File not found");
  EXPECT_EQ(named, QDir::temp().filePath("no-such-brevold-file.dmi"));
  EXPECT_EQ(form->SBRevArm->Position(), 350);

  // A short file: the same, and the set, its name and the lines dialog's
  // rows stay as they were.
  const QString shortFile = QDir::temp().filePath("brevold-short.dmi");
  {
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(700, '\x40'));
  }
  app.lines.TypeText[2] = "Circle";
  const float stroke = m().dims.frame.Stroke;
  shown.clear();
  AnswerErrorBox(shown, named);
  EXPECT_FALSE(form->OpenDimensionsFile(shortFile));
  EXPECT_EQ(shown, "Read beyond end of file");
  EXPECT_EQ(m().dims.DimFileName, "brevold-form-test");
  EXPECT_EQ(m().dims.frame.Stroke, stroke);
  EXPECT_EQ(app.lines.TypeText[2], "Circle");
  QFile::remove(shortFile);
}

// The program's own JSON form opens as a dimension file does, told apart by
// its content; a damaged one is refused with the file named, nothing changed.
TEST_F(MainFormTest, AGearAsJsonOpensAndADamagedOneIsRefused) {
  ModelState other = m();
  SetDim(other, 3, 17.25f);
  SetDim(other, 117, 6.05f);
  const QString file = QDir::temp().filePath("brevold-json-gear.json");
  ASSERT_TRUE(SaveDimJson(ImageOf(other), file.toStdString()).ok);
  ASSERT_TRUE(form->OpenDimensionsFile(file));
  EXPECT_EQ(m().dims.frame.MainRodLen, 17.25f);
  EXPECT_EQ(m().dims.CylValveDim[ValveStemLen], 6.05f);
  EXPECT_EQ(m().dims.DimFileName, "brevold-json-gear");
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{\"dims\": [1, 2");
  }
  QString shown, named;
  AnswerErrorBox(shown, named);
  EXPECT_FALSE(form->OpenDimensionsFile(file));
  EXPECT_FALSE(shown.isEmpty());
  EXPECT_EQ(named, file);
  EXPECT_EQ(m().dims.frame.MainRodLen, 17.25f);
  EXPECT_EQ(m().dims.DimFileName, "brevold-json-gear");
  QFile::remove(file);

  // A pipe is refused at once, named, and nothing changes.
  const QString pipe = QDir::temp().filePath("brevold-form-pipe.dmi");
  QFile::remove(pipe);
  ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
  shown.clear();
  AnswerErrorBox(shown, named);
  EXPECT_FALSE(form->OpenDimensionsFile(pipe));
  EXPECT_TRUE(shown.startsWith("Not a regular file")) << shown.toStdString();
  EXPECT_EQ(named, pipe);
  EXPECT_EQ(m().dims.frame.MainRodLen, 17.25f);
  QFile::remove(pipe);
}

}  // namespace brevold

#include <algorithm>

#include "mainwin/mechdraw.h"
#include "mainwin/pivotdraw.h"
#include "model/numfmt.h"

namespace brevold {

TEST_F(MainFormTest, PivotRowsArmThenPickTheNearestJoint) {
  form->SetPivotDataClick();
  EXPECT_TRUE(s().PivotDataOn);
  EXPECT_TRUE(m().view.RefPointsOn);  // turned on with the pivot data
  EXPECT_FALSE(form->DataTableBut->isHidden());
  form->Timer1Timer();
  // Row 2's label arms the row (and, being in the picture, moves RP1).
  form->FormMouseDown(Qt::LeftButton, 5, 165);
  EXPECT_TRUE(s().PivotArmed);
  EXPECT_EQ(s().PivotRow, 2);
  EXPECT_EQ(s().PivotSel[2], 0);
  // The next left click picks the joint nearest the click: the crosshead.
  form->FormMouseDown(Qt::LeftButton, s().ScrX[3] + 1, s().ScrY[3] - 1);
  EXPECT_FALSE(s().PivotArmed);
  EXPECT_EQ(s().PivotSel[2], 3);
  form->FormMouseDown(Qt::LeftButton, 5, 155);  // row 1
  form->FormMouseDown(Qt::LeftButton, s().ScrX[2], s().ScrY[2]);
  EXPECT_EQ(s().PivotSel[1], 2);

  RecordingCanvas c;
  DrawPivotData(c, app);
  EXPECT_NE(c.FindText("    Pivot Data"), nullptr);
  const auto* row2 = c.FindText(Str(m().mech.PtX[3], 7, 3));
  ASSERT_NE(row2, nullptr);
  EXPECT_EQ(row2->pts[0], (Pt{50, 160}));
  const auto dist = std::find_if(c.items.begin(), c.items.end(), [](const auto& i) { return i.pts.size() && i.pts[0] == Pt{90, 155}; });
  ASSERT_NE(dist, c.items.end());
  EXPECT_EQ(dist->text, Str(16.5, 7, 3));  // the main rod between crank pin and crosshead

  form->RefPointsClick();  // reference points off: pivot data off too
  EXPECT_FALSE(s().PivotDataOn);
  EXPECT_TRUE(form->DataTableBut->isHidden());
}

TEST(PivotData, NearestJointTiesGoToTheLowerNumber) {
  AppState a;
  StartUp(a.model);
  a.model.mech.PtX[3] = 10;
  a.model.mech.PtY[3] = 0;
  a.model.mech.PtX[4] = 12;
  a.model.mech.PtY[4] = 0;
  a.model.mech.PtX[19] = 11;  // half way in the sum of differences
  a.model.mech.PtY[19] = 0;
  for (int j : {2, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18, 22, 23, 24, 25}) a.model.mech.PtX[static_cast<size_t>(j)] = 500;
  a.model.mech.PtX[1] = a.model.mech.PtX[13] = a.model.mech.PtX[21] = 500;
  EXPECT_EQ(FindNearestJoint(a), 3);
  a.model.mech.PtX[19] = 1e9f;  // nothing within 10000: the previous answer
  EXPECT_EQ(FindNearestJoint(a), 3);
  ScreenState s;
  EXPECT_EQ(PivotRowAt(s, 5, 153), 1);
  EXPECT_EQ(PivotRowAt(s, 5, 152), 0);
  EXPECT_EQ(PivotRowAt(s, 5, 210), 6);
  EXPECT_EQ(PivotRowAt(s, 25, 160), 0);
}

}  // namespace brevold

#include <QPlainTextEdit>

#include "help/helpwin.h"

namespace brevold {

TEST_F(MainFormTest, InstructionTextsComeFromTheirFiles) {
  // ctest runs in the folder the texts are copied to.
  EXPECT_TRUE(form->Inst->LoadError().isEmpty());
  EXPECT_TRUE(form->Inst->Memo1->toPlainText().startsWith("BREVOLD Inside Admission - Instructions"));
  EXPECT_EQ(form->Inst->windowTitle(), "Instructions");
  EXPECT_EQ(form->BrvSpIn->windowTitle(), "Brevold Special Instructions");
  EXPECT_EQ(form->AboutBox->windowTitle(), "About These Programs");

  // Started from another folder, the texts are found beside the program.
  const QString here = QDir::currentPath();
  QDir::setCurrent(QDir::rootPath());
  TInst elsewhere(nullptr);
  QDir::setCurrent(here);
  EXPECT_TRUE(elsewhere.LoadError().isEmpty());
  // A text that is nowhere: one message, and the window shows "Memo1".
  InstructionWindow missing(nullptr, "Instructions", "no-such-brevold-text.doc", true);
  EXPECT_EQ(missing.LoadError(), "Error Loading no-such-brevold-text.doc: File not found");
  EXPECT_EQ(missing.Memo1->toPlainText(), "Memo1");
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMessageBox*>(w)) w->close();
}

}  // namespace brevold

#include <QFileDialog>

namespace brevold {

namespace {

// Answers every modal window that comes up while it lives: a question with
// `answer`, a file dialog by cancelling it (after noting what it proposed).
class ModalAnswerer {
 public:
  explicit ModalAnswerer(QMessageBox::StandardButton answer) : answer_(answer) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
    timer_.start();
  }
  int asked = 0, dialogs = 0;
  QString question;
  QStringList proposed;

 private:
  void Look() {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      ++asked;
      question = box->text();
      box->button(answer_)->click();
    } else if (auto* dlg = qobject_cast<QFileDialog*>(w)) {
      ++dialogs;
      proposed = dlg->selectedFiles();
      dlg->reject();
    }
  }
  QMessageBox::StandardButton answer_;
  QTimer timer_;
};

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods) {
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
  QTest::keyClick(w, static_cast<Qt::Key>(key), mods);
}

}  // namespace

TEST_F(MainFormTest, LeavingAChangedSetAsksAndCancelKeepsTheWork) {
  {
    // Nothing changed: no question anywhere, and the close box closes.
    ModalAnswerer none(QMessageBox::Cancel);
    m().view.Scale = 40;  // looking differently is not work
    form->SBRevArm->SetPosition(300);
    form->ResetAllClick();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(none.asked, 0);
    form->show();
  }
  m().undo.EditDirty = 1;
  EditorFieldExit(m(), 3, 17.25f, "Main Rod Length");
  {
    ModalAnswerer cancel(QMessageBox::Cancel);
    form->ResetAllClick();
    EXPECT_EQ(cancel.question, "Save changes to Nominal?");
    EXPECT_FALSE(form->close());
    Key(form.get(), Qt::Key_Q, Qt::ControlModifier);
    form->OpenDimensionsClick();
    EXPECT_EQ(cancel.asked, 4);
    EXPECT_EQ(cancel.dialogs, 0);  // no file dialog after Cancel
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(m().dims.frame.MainRodLen, 17.25f);
    EXPECT_EQ(m().undo.UndoCount, 1);
  }
  {
    ModalAnswerer discard(QMessageBox::Discard);
    form->ResetAllClick();
    EXPECT_EQ(discard.asked, 1);
    EXPECT_EQ(m().dims.frame.MainRodLen, 16.5f);
    EXPECT_TRUE(form->close());  // the reset set is nothing to lose
    EXPECT_EQ(discard.asked, 1);
  }
}

TEST_F(MainFormTest, SaveWritesTheGearBackToItsFileAndOtherwiseAsksForAName) {
  const QString file = QDir::temp().filePath("brevold-save-back.dmi");
  ASSERT_TRUE(form->SaveDimensionsFile(file));
  m().undo.EditDirty = 1;
  EditorFieldExit(m(), 3, 18.5f, "Main Rod Length");
  {
    ModalAnswerer any(QMessageBox::Cancel);
    Key(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(any.asked + any.dialogs, 0);
    // Save As proposes that file.
    form->SaveAsDimensionsClick();
    EXPECT_EQ(any.dialogs, 1);
    EXPECT_EQ(any.proposed, QStringList{file});
  }
  ModelState back;
  StartUp(back);
  ASSERT_TRUE(LoadDimensions(back, file.toStdString()).ok);
  EXPECT_EQ(back.dims.frame.MainRodLen, 18.5f);
  EXPECT_FALSE(HasUnsavedChanges(m()));

  // Asked on leaving, Save writes the file before the reset.
  EditorFieldExit(m(), 3, 19.5f, "Main Rod Length");
  {
    ModalAnswerer save(QMessageBox::Save);
    form->ResetAllClick();
    EXPECT_EQ(save.asked, 1);
    EXPECT_EQ(save.dialogs, 0);
  }
  ASSERT_TRUE(LoadDimensions(back, file.toStdString()).ok);
  EXPECT_EQ(back.dims.frame.MainRodLen, 19.5f);
  EXPECT_EQ(m().dims.frame.MainRodLen, 16.5f);
  QFile::remove(file);

  // The reset set has no file: Save is Save As, and cancelling it writes
  // nothing and keeps the set, so leaving still asks.
  EditorFieldExit(m(), 3, 20.5f, "Main Rod Length");
  {
    ModalAnswerer save(QMessageBox::Save);
    EXPECT_FALSE(form->SaveClick());
    EXPECT_EQ(save.dialogs, 1);
    EXPECT_FALSE(form->close());  // Save, then the Save As cancelled
    EXPECT_EQ(save.asked, 1);
  }
  EXPECT_TRUE(HasUnsavedChanges(m()));
}

TEST_F(MainFormTest, RedoKeysMakeUndoneChangesAgain) {
  for (float v : {17.f, 18.f, 19.f}) {
    m().undo.EditDirty = 1;
    EditorFieldExit(m(), 3, v, "Main Rod Length");
  }
  for (int i = 0; i < 3; ++i) form->UnDoDnClick();
  EXPECT_EQ(m().dims.frame.MainRodLen, 16.5f);
  EXPECT_TRUE(form->Redo1->isEnabled());
  Key(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  Key(form.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(m().dims.frame.MainRodLen, 18);
  m().undo.EditDirty = 1;
  EditorFieldExit(m(), 2, 4.5f, "Stroke");
  form->ShowState();
  EXPECT_FALSE(form->Redo1->isEnabled());
}

}  // namespace brevold

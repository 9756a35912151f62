// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <memory>

#include "editors/dimeditor.h"
#include "mainwin/highlightdraw.h"
#include "mainwin/mainform.h"
#include "mainwin/mechdraw.h"

namespace brevold {

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : form(std::make_unique<TMainForm>(session)) {
    form->Timer1->stop();
    form->show();
  }
  ~EditorTest() override {
    form->FrameDi->hide();
    form->CylDimen->hide();
  }
  ModelState& m() { return app.model; }
  ScreenState& s() { return app.screen; }
  // Opens an editor as the menu does, without its modal loop.
  DimEditor& Open(DimEditor* d) {
    d->show();
    d->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(d));
    return *d;
  }
  void Type(DimEditor& d, int field, const char* keys) {
    d.Edit(field)->setFocus();
    d.Edit(field)->selectAll();
    QTest::keyClick(d.Edit(field), Qt::Key_Backspace);
    QTest::keyClicks(d.Edit(field), keys);
  }
  void Leave(DimEditor& d) { d.Close1->setFocus(); }
  // Saves what a user would see, when BREVOLD_SHOTS names a folder.
  void Shot(QWidget* w, const char* name) {
    const QByteArray dir = qgetenv("BREVOLD_SHOTS");
    if (!dir.isEmpty()) w->grab().save(QString(dir) + "/" + name + ".png");
  }
  void ShotFrame(const char* name) {
    const QByteArray dir = qgetenv("BREVOLD_SHOTS");
    if (!dir.isEmpty()) form->Frame().copy(0, 0, 640, 420).save(QString(dir) + "/" + name + ".png");
  }
  // Each ended highlight shows its editor again, modally: close them all.
  void CloseReopenedEditors() {
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [this] {
      form->FrameDi->reject();
      form->CylDimen->reject();
    });
    closer.start(10);
    QTest::qWait(200);
    closer.stop();
  }
  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

TEST_F(EditorTest, FrameEditorShowsEveryDimensionAndItsLabels) {
  DimEditor& d = Open(form->FrameDi);
  EXPECT_EQ(d.windowTitle(), "Frame Dimensions");
  EXPECT_EQ(d.size(), QSize(386, 248));
  EXPECT_EQ(d.Edit(1)->text(), "7.875");
  EXPECT_EQ(d.Edit(3)->text(), "16.500");
  EXPECT_EQ(d.Edit(26)->text(), "0.700");
  EXPECT_EQ(d.Edit(25)->text(), "10.297");
  EXPECT_EQ(d.Edit(17)->geometry(), QRect(146, 130, 40, 13));
  EXPECT_EQ(d.Edit(27)->geometry(), QRect(342, 182, 40, 13));
  EXPECT_EQ(d.SmallButton(12)->geometry(), QRect(194, 0, 8, 13));
  EXPECT_TRUE(d.Close1->hasFocus());
  const auto labels = d.Labels();
  ASSERT_EQ(labels.size(), 32u);
  EXPECT_EQ(labels[0].text, "Driver                    Diameter");
  EXPECT_EQ(labels[4].text, "\"           \"     Back Set");
  EXPECT_EQ(labels[4].at, (Pt{40, 52}));
  EXPECT_EQ(labels[30].text, "To Show Graphic Position of Variable, Click Small Button");
  EXPECT_EQ(labels[31].at, (Pt{1, 226}));
  Shot(&d, "frame-editor");

  form->LargeFontClick();
  d.FormActivate();
  EXPECT_EQ(d.Labels()[4].at, (Pt{51, 63}));  // round(1.27 * 40), round(1.22 * 52)
}

TEST_F(EditorTest, KeyFilterAndEnter) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 3, "1.2.3");
  EXPECT_EQ(d.Edit(3)->text(), "1.23");
  Type(d, 3, "-5-");
  EXPECT_EQ(d.Edit(3)->text(), "-5");
  Type(d, 3, "5-x");
  EXPECT_EQ(d.Edit(3)->text(), "5-");
  Type(d, 3, "17.25");
  QTest::keyClick(d.Edit(3), Qt::Key_Return);
  EXPECT_TRUE(d.Close1->hasFocus());
  EXPECT_TRUE(d.isVisible());
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 17.25f);
  EXPECT_EQ(m().undo.UndoCount, 1);
  EXPECT_EQ(m().undo.UndoName[1], "Main Rod Length");
  EXPECT_FLOAT_EQ(m().undo.UndoOld[1], 16.5f);
  EXPECT_FLOAT_EQ(m().undo.UndoNew[1], 17.25f);
  EXPECT_EQ(m().undo.EditDirty, 0);

  // Text the filter lets through but that is no number keeps the stored value.
  // So do an empty field and a lone "-" or ".": no undo entry either.
  const float stroke = m().dims.frame.Stroke;
  for (const char* none : {"5-", "", "-", "."}) {
    Type(d, 3, none);
    Leave(d);
    EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 17.25f) << none;
    EXPECT_EQ(d.Edit(3)->text(), "17.250") << none;
    Type(d, 2, none);
    Leave(d);
    EXPECT_EQ(m().dims.frame.Stroke, stroke) << none;
  }
  EXPECT_EQ(m().undo.UndoCount, 1);
  EXPECT_EQ(m().undo.EditDirty, 0);
}

// The editors have no default button: Return presses whichever has the focus.
TEST_F(EditorTest, ReturnPressesTheFocusedButton) {
  DimEditor& d = Open(form->FrameDi);
  d.SmallButton(12)->setFocus();
  QTest::keyClick(d.SmallButton(12), Qt::Key_Return);
  EXPECT_EQ(s().HiliteDim, 12);
  s().HiliteDim = 0;
  Type(d, 3, "17");
  d.Close1->setFocus();
  QTest::keyClick(d.Close1, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 17);
}

// A comma is typed as the decimal point, and a second one is refused as a
// second point is.
TEST_F(EditorTest, ACommaIsTheDecimalPoint) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 3, "17,25");
  EXPECT_EQ(d.Edit(3)->text(), "17.25");
  Leave(d);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 17.25f);
  Type(d, 2, "4,5,1");
  EXPECT_EQ(d.Edit(2)->text(), "4.51");
  Type(d, 2, "4.5,");
  EXPECT_EQ(d.Edit(2)->text(), "4.5");
}

// Esc closes an editor without storing the field being typed in; what was
// stored stays, with its undo entries.
TEST_F(EditorTest, EscDropsTheFieldBeingTyped) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 3, "17");
  Leave(d);
  ASSERT_EQ(m().undo.UndoCount, 1);
  Type(d, 3, "18");
  QTest::keyClick(d.Edit(3), Qt::Key_Escape);
  QTest::qWait(50);
  EXPECT_FALSE(d.isVisible());
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 17);
  EXPECT_EQ(m().undo.UndoCount, 1);
  EXPECT_FLOAT_EQ(m().undo.UndoNew[1], 17);
  EXPECT_EQ(m().undo.EditDirty, 0);
  Open(form->FrameDi);
  EXPECT_EQ(d.Edit(3)->text(), "17.000");

  DimEditor& c = Open(form->CylDimen);
  const float bore = GetDim(m(), 103);
  Type(c, 3, "3");
  QTest::keyClick(c.Edit(3), Qt::Key_Escape);
  QTest::qWait(50);
  EXPECT_FALSE(c.isVisible());
  EXPECT_EQ(GetDim(m(), 103), bore);
  EXPECT_EQ(m().undo.UndoCount, 1);
}

TEST_F(EditorTest, LeavingAFieldUnchangedKeepsItsValueBitForBit) {
  m().dims.frame.MainRodLen = 12345678901.0f;  // more than ten characters
  m().dims.frame.Stroke = 4.00012f;           // more decimals than shown
  m().dims.frame.RadRodLen = 1e-9f;
  DimEditor& d = Open(form->FrameDi);
  EXPECT_EQ(d.Edit(3)->text(), "12345678848.000");
  for (int field : {2, 3, 10}) {
    d.Edit(field)->setFocus();
    ASSERT_TRUE(d.Edit(field)->hasFocus());
    Leave(d);
  }
  EXPECT_EQ(m().dims.frame.MainRodLen, 12345678901.0f);
  EXPECT_EQ(m().dims.frame.Stroke, 4.00012f);
  EXPECT_EQ(m().dims.frame.RadRodLen, 1e-9f);
  EXPECT_EQ(m().dyn.DynVarVal[2], 12345678901.0f);
  // Typing the text it shows stores what was typed.
  Type(d, 10, "0.000");
  Leave(d);
  EXPECT_EQ(m().dims.frame.RadRodLen, 0);
}

TEST_F(EditorTest, TabbingThroughFieldsMakesThemDynamicVariablesWithoutUndo) {
  DimEditor& d = Open(form->FrameDi);
  d.Edit(4)->setFocus();
  d.Edit(5)->setFocus();
  d.Edit(6)->setFocus();
  Leave(d);
  EXPECT_EQ(m().dyn.DynVarName[1], "Union Link Length");
  EXPECT_EQ(m().dyn.DynVarName[2], "Drop Link to CrossH BkS");
  EXPECT_EQ(m().dyn.DynVarName[3], "Drop Link to CrossH Vert");
  EXPECT_EQ(m().undo.UndoCount, 0);
  EXPECT_FALSE(form->UnDoDn->isEnabled());
}

TEST_F(EditorTest, PivotFieldsMoveTheirDisplayCopies) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 23, "9.5");
  Type(d, 24, "3.75");
  Leave(d);
  EXPECT_FLOAT_EQ(m().mech.PtX[16], 9.5f);
  EXPECT_FLOAT_EQ(m().mech.PtX[17], 9.5f);
  EXPECT_FLOAT_EQ(m().mech.PtY[9], 3.75f);
  EXPECT_FLOAT_EQ(m().mech.PtY[10], 3.75f);
}

TEST_F(EditorTest, TravelLimitsClampAndSetTheReverseArmBar) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 26, "1.5");
  Leave(d);
  EXPECT_FLOAT_EQ(m().dims.frame.RevArmNorm, 0.9f);  // held at Max
  Type(d, 27, "2.5");
  Leave(d);
  EXPECT_EQ(form->SBRevArm->Min(), -2500);
  EXPECT_EQ(form->SBRevArm->Max(), 2500);
  Type(d, 26, "0.8");
  Leave(d);
  Type(d, 27, "0.2");
  Leave(d);
  EXPECT_FLOAT_EQ(m().dims.frame.RevArmMax, 0.8f);
  EXPECT_EQ(form->SBRevArm->Max(), 800);
  const float c = m().revArm.Positions[0];
  for (size_t k = 1; k <= 9; ++k) {
    EXPECT_GE(m().revArm.Positions[k], c - 0.8f - 1e-5f);
    EXPECT_LE(m().revArm.Positions[k], c + 0.8f + 1e-5f);
  }
  EXPECT_EQ(m().undo.UndoCount, 0);  // the limits never enter undo
  EXPECT_EQ(m().dyn.DynVarName[1], EmptyDynVarName);
}

TEST_F(EditorTest, ResetRestoresTheFrameAndAClickClearsUndoOnce) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 3, "20");
  Type(d, 25, "11");
  Type(d, 27, "2");
  Leave(d);
  m().dims.frame.RevArmNorm = 0.5f;
  ASSERT_EQ(m().undo.UndoCount, 2);
  int clears = 0;
  auto old = m().undo.onButtons;
  m().undo.onButtons = [&](bool e) {
    if (!e) ++clears;
    old(e);
  };
  QTest::mouseClick(d.Reset, Qt::LeftButton);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 16.5f);
  EXPECT_FLOAT_EQ(m().mech.PtX[9], 10.297f);
  EXPECT_FLOAT_EQ(m().dims.frame.RevArmNorm, 0.7f);
  EXPECT_FLOAT_EQ(m().dims.frame.RevArmMax, 0.9f);
  EXPECT_EQ(form->SBRevArm->Max(), 900);
  EXPECT_EQ(m().dyn.DynVarName[1], EmptyDynVarName);
  EXPECT_EQ(m().undo.UndoCount, 0);
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(d.Edit(3)->text(), "16.500");

  // A press alone resets but keeps undo.
  Type(d, 3, "21");
  Leave(d);
  QTest::mousePress(d.Reset, Qt::LeftButton);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 16.5f);
  EXPECT_EQ(m().undo.UndoCount, 1);
  QTest::mouseRelease(d.Reset, Qt::LeftButton, Qt::NoModifier, QPoint(-50, -50));
  m().undo.onButtons = old;
}

TEST_F(EditorTest, CloseRecomputesMidGear) {
  DimEditor& d = Open(form->FrameDi);
  form->SBRevArm->SetPosition(400);
  m().FrontCOText = "12.0";
  Type(d, 23, "9.9");
  Leave(d);
  QTest::mouseClick(d.Close1, Qt::LeftButton);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(form->SBRevArm->Position(), 0);
  EXPECT_TRUE(m().FrontCOText.empty());
  EXPECT_NE(m().revArm.Positions[0], 0);
  EXPECT_EQ(m().mech.RevArmX, m().revArm.Positions[0]);
}

TEST_F(EditorTest, CylinderEditorMovesTheValveLineWithItsTwoFields) {
  DimEditor& d = Open(form->CylDimen);
  EXPECT_EQ(d.windowTitle(), "Cylinder Dimensions");
  EXPECT_EQ(d.size(), QSize(386, 230));
  EXPECT_EQ(d.SmallButton(6)->geometry(), QRect(0, 65, 8, 26));
  EXPECT_EQ(d.SmallButton(17)->geometry(), QRect(194, 104, 8, 26));
  const auto labels = d.Labels();
  EXPECT_EQ(labels.back().text, "To Select Dynamic Variable, ClickDimension in GrayArea");
  EXPECT_EQ(labels.back().at, (Pt{1, 203}));
  Shot(&d, "cylinder-editor");

  Type(d, 2, "0.75");
  Leave(d);
  EXPECT_FLOAT_EQ(m().mech.PtY[3], 0.75f);
  EXPECT_FLOAT_EQ(m().mech.PtY[4], 3.75f);
  EXPECT_EQ(m().dyn.DynVarName[1], "Cyl CL above Driver ctr");
  EXPECT_EQ(m().undo.UndoId[1], 102u);
  Type(d, 8, "2");
  Leave(d);
  EXPECT_FLOAT_EQ(m().mech.PtY[4], 2.75f);
  for (int n = 9; n <= 17; ++n) d.Edit(n)->setFocus();
  Leave(d);
  EXPECT_EQ(m().dyn.DynVarName[1], "Valve ctr to Joint (Stem)");

  QTest::mouseClick(d.Reset, Qt::LeftButton);
  EXPECT_FLOAT_EQ(m().mech.PtY[4], 3.25f);
  EXPECT_EQ(m().undo.UndoCount, 0);
}

TEST_F(EditorTest, HighlightRunsAThousandFramesThenTheAskingEditorReturns) {
  DimEditor& d = Open(form->CylDimen);
  QTest::mouseClick(d.SmallButton(17), Qt::LeftButton);
  EXPECT_EQ(s().HiliteDim, 117);
  QTest::mouseClick(form->Run, Qt::LeftButton);  // stopped: the highlight still runs
  const ViewState before = m().view;
  form->Timer1Timer();
  EXPECT_FALSE(d.isVisible());  // the editor closed while its dimension is shown
  EXPECT_FLOAT_EQ(m().view.Scale, 55);
  EXPECT_FLOAT_EQ(m().view.OriginX, -950);
  for (int i = 0; i < 100; ++i) form->Timer1Timer();
  ShotFrame("highlight-valve-stem");
  for (int i = 0; i < 899; ++i) form->Timer1Timer();
  EXPECT_EQ(s().HiliteDim, 117);
  EXPECT_TRUE(QApplication::overrideCursor() != nullptr);
  form->Timer1Timer();  // frame 1001
  EXPECT_EQ(s().HiliteDim, 0);
  EXPECT_FLOAT_EQ(m().view.Scale, before.Scale);
  EXPECT_FLOAT_EQ(m().view.OriginX, before.OriginX);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // The cylinder editor, not the frame editor, comes back.
  QTimer::singleShot(50, [&] {
    EXPECT_TRUE(form->CylDimen->isVisible());
    EXPECT_FALSE(form->FrameDi->isVisible());
    form->CylDimen->reject();
  });
  QTest::qWait(200);
}

TEST_F(EditorTest, AClickEndsTheHighlightAtTheNextFrame) {
  DimEditor& d = Open(form->FrameDi);
  QTest::mouseClick(d.SmallButton(10), Qt::LeftButton);
  for (int i = 0; i < 5; ++i) form->Timer1Timer();
  form->FormMouseDown(Qt::LeftButton, 300, 300);
  form->Timer1Timer();
  EXPECT_EQ(s().HiliteDim, 0);
  QTimer::singleShot(50, [&] {
    EXPECT_TRUE(form->FrameDi->isVisible());
    form->FrameDi->reject();
  });
  QTest::qWait(200);
}

TEST_F(EditorTest, HighlightScaleFollowsTheZoomFactorAndKeepsOriginsWhereNoneIsGiven) {
  m().view.OriginX = 123;
  m().view.OriginY = 321;
  for (int dim : {3, 101}) {
    s().HiliteDim = dim;
    form->Timer1Timer();
    EXPECT_FLOAT_EQ(m().view.Scale, 18.9f) << dim;
    EXPECT_FLOAT_EQ(m().view.OriginX, 123) << dim;
    EXPECT_FLOAT_EQ(m().view.OriginY, 321) << dim;
    s().HiliteTicks = 1005;
    form->Timer1Timer();
  }
  m().view.GraphZoomFactor = 15;
  s().HiliteDim = 26;
  form->Timer1Timer();
  EXPECT_FLOAT_EQ(m().view.Scale, 14);  // 28 / 15 * 7.5
  for (int i = 0; i < 60; ++i) form->Timer1Timer();
  ShotFrame("highlight-travel-norm");
  s().HiliteTicks = 1005;
  form->Timer1Timer();
  m().view.GraphZoomFactor = 7.5f;
  s().HiliteDim = 3;
  for (int i = 0; i < 2; ++i) form->Timer1Timer();
  ShotFrame("highlight-main-rod");
  s().HiliteTicks = 1005;
  form->Timer1Timer();
  CloseReopenedEditors();
}

TEST_F(EditorTest, ImpossibleValuesAreTakenByTheGuards) {
  DimEditor& d = Open(form->FrameDi);
  Type(d, 10, "0");
  Type(d, 3, "1000000000000000000000000000000");
  Leave(d);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 1e30f);
  EXPECT_EQ(m().dims.frame.RadRodLen, 0);
  for (int i = 0; i < 3; ++i) form->Timer1Timer();
  EXPECT_TRUE(form->Error->isVisible());
  QTest::mouseClick(d.Close1, Qt::LeftButton);  // mid gear with a zero radius rod
  EXPECT_TRUE(std::isfinite(m().revArm.Positions[0]));
  for (int i = 0; i < 30; ++i) form->Timer1Timer();
  EXPECT_EQ(form->Sound.PlayCount(), 2);  // the error persists: frames 10 and 31
}

TEST(Highlight, EveryDimensionHasAMarkAndAName) {
  for (int dim = 1; dim <= 117; ++dim) {
    if (dim > 30 && dim < 101) continue;
    AppState a;
    StartUp(a.model);
    SolveAndTransform(a);
    a.screen.HiliteDim = dim;
    AdvanceDisplays(a, "");
    RecordingCanvas c;
    PaintFrame(c, a);
    ASSERT_NE(HighlightName(dim), nullptr) << dim;
    const auto* name = c.FindText(HighlightName(dim));
    ASSERT_NE(name, nullptr) << dim;
    EXPECT_EQ(name->pts[0], (Pt{30, 75}));
    EXPECT_EQ(name->font.points, 14);
    // The mark: width 3, red on the first frames.
    bool mark = false;
    for (const auto& i : c.items)
      if ((i.op == RecordingCanvas::Op::Line || i.op == RecordingCanvas::Op::Polyline) && i.width == 3 && i.color == clRed)
        mark = true;
    EXPECT_TRUE(mark) << dim;
  }
  EXPECT_STREQ(HighlightName(28), "Link Top Lever");
  EXPECT_STREQ(HighlightName(27), "Rev Arm to Cent Max");
  EXPECT_STREQ(HighlightName(18), "Reverse Arm  Vert");
  EXPECT_STREQ(HighlightName(117), "Valve ctr to Joint (Stem)");
  EXPECT_EQ(HighlightName(31), nullptr);
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QTableWidget>
#include <QAbstractSlider>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <QTableWidget>
#include <QLabel>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QSvgRenderer>
#include <QPainter>
#include <QFontMetricsF>
#include <QSet>
#include <QMenu>
#include <QWheelEvent>
#include <memory>

#include "mainwin/viewdlgs.h"
#include "mainwin/mainform.h"
#include "mainwin/mechdraw.h"
#include "diagrams/setrevarm.h"
#include "diagrams/diagramwin.h"
#include "diagrams/eventswin.h"
#include "editors/balancedlg.h"
#include "model/events.h"
#include "diagrams/diagrampicture.h"
#include "platform/picturefile.h"
#include "cli/cli.h"
#include "cli/frame.h"
#include <sstream>
#include "platform/qtcanvas.h"
#include "platform/dialog.h"
#include <QScreen>
#include "help/helpwin.h"
#include "mainwin/setupdlg.h"
#include "overlay/linesctl.h"
#include "overlay/linesdlg.h"

namespace brevold {

class SetUpTest : public ::testing::Test {
 protected:
  SetUpTest() : form(std::make_unique<TMainForm>(session)) {
    form->Timer1->stop();
    form->show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }
  ModelState& m() { return app.model; }
  // The candidate an editor field's exit records, for tests before the editors.
  void Candidate(int id) {
    m().undo.EditDirty = 0;
    EditorFieldExit(m(), id, GetDim(m(), id), FindDim(id)->shortName);
  }
  void ClickArrow(ScrollBar* b, bool right) {
    // A click on the arrow: the step, then the end of the scroll action.
    const QPoint at = right ? QPoint(b->width() - 3, b->height() / 2) : QPoint(3, b->height() / 2);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, at);
  }
  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

TEST_F(SetUpTest, DynamicVariableBarsChangeTheGearAndRecordUndo) {
  Candidate(3);
  form->DynamicVariablesClick();
  ScrollBar* bar = form->SBDynVar[1];
  EXPECT_FALSE(bar->isHidden());
  EXPECT_FALSE(form->Panel[7]->isHidden());
  EXPECT_EQ(bar->toolTip(), "Change Last Variable Clicked");
  form->Timer1Timer();
  EXPECT_TRUE(bar->isEnabled());
  EXPECT_FALSE(form->SBDynVar[2]->isEnabled());  // its slot is empty

  const float x3Before = m().mech.PtX[3];
  ClickArrow(bar, true);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 16.501f);
  EXPECT_EQ(m().undo.UndoCount, 1);
  EXPECT_FLOAT_EQ(m().undo.UndoOld[1], 16.5f);
  EXPECT_FLOAT_EQ(m().undo.UndoNew[1], 16.501f);
  EXPECT_TRUE(form->SBRevArm->hasFocus());
  EXPECT_TRUE(form->UnDoDn->isEnabled());
  m().mech.DrvAngle = 0;
  m().DrvAngInc = 0;
  form->Timer1Timer();  // the next picture shows the longer rod
  EXPECT_NEAR(m().mech.PtX[3] - x3Before, 0.001f, 2e-5);

  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_NEAR(m().dims.frame.MainRodLen, 16.511f, 1e-5);
  ClickArrow(bar, false);
  EXPECT_NEAR(m().dims.frame.MainRodLen, 16.510f, 1e-5);

  // The dynamic-variable values stand in the picture.
  RecordingCanvas c;
  PaintFrame(c, app);
  EXPECT_NE(c.FindText("Main Rod Length"), nullptr);
  EXPECT_EQ(c.FindText("Main Rod Length")->pts[0], (Pt{377, 71}));
  EXPECT_NE(c.FindText("16.510"), nullptr);
}

TEST_F(SetUpTest, AWheelGestureOnAVariableBarIsOneUndoEntry) {
  Candidate(3);
  form->DynamicVariablesClick();
  form->Timer1Timer();
  ScrollBar* bar = form->SBDynVar[1];
  const float before = m().dims.frame.MainRodLen;
  auto wheel = [bar](int notches) {
    QWheelEvent e(QPointF(20, 5), bar->mapToGlobal(QPointF(20, 5)), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &e);
  };
  for (int i = 0; i < 3; ++i) wheel(1);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_NE(m().dims.frame.MainRodLen, before);
  EXPECT_EQ(m().undo.UndoCount, 0);  // the gesture goes on
  QTest::qWait(ScrollBar::WheelGestureEndMs + 200);
  EXPECT_EQ(m().undo.UndoCount, 1);
  EXPECT_EQ(m().undo.UndoOld[1], before);
  EXPECT_EQ(m().undo.UndoNew[1], m().dims.frame.MainRodLen);
  form->UnDoDnClick();
  EXPECT_EQ(m().dims.frame.MainRodLen, before);
}

TEST_F(SetUpTest, LinesDialogCloseAndEscEndEveryChoiceAndThePick) {
  m().mech.PtX[19] = m().mech.PtX[3] + 1;
  m().mech.PtX[20] = m().mech.PtX[3] + 2;
  LinesDialogState& d = app.lines;
  TDrawLines* dlg = form->DrawLines;
  for (bool esc : {false, true}) {
    dlg->show();
    dlg->RadioGroup1Click(0);
    dlg->RadioGroup2Click(1);
    dlg->RadioGroup3Click(0);
    EXPECT_TRUE(dlg->DrawBut->isEnabled());
    if (esc) {
      dlg->show();
      QTest::keyClick(dlg, Qt::Key_Escape);
    } else {
      dlg->CloseButClick();
    }
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(d.DrawButEnabled) << esc;
    EXPECT_FALSE(dlg->DrawBut->isEnabled()) << esc;
  }
  // Reopened for a pivot pick and left with Esc: the next click in the
  // picture is an ordinary click.
  dlg->show();
  dlg->RadioGroup1Click(0);
  dlg->RadioGroup2Click(1);
  dlg->RadioGroup3Click(1);  // "Pivot1": closes for the pick
  EXPECT_TRUE(PickReopensOnLeft(d));
  dlg->show();
  QTest::keyClick(dlg, Qt::Key_Escape);
  EXPECT_FALSE(PickReopensOnLeft(d));
  EXPECT_FALSE(d.PivotPickMode);
}

// The keyboard as a desktop user drives it: every case goes through key
// events on the real widgets.
TEST_F(SetUpTest, ArrowKeysOnHorizontalBarsMeanLargerToTheRight) {
  form->Timer1Timer();  // a solve: the running program's sense
  ScrollBar* arm = form->SBRevArm;
  ASSERT_TRUE(arm->hasFocus());
  const float mid = m().revArm.Positions[0];
  QTest::keyClick(arm, Qt::Key_Right);
  EXPECT_EQ(arm->Position(), 1);
  EXPECT_GT(m().mech.RevArmX, mid);  // toward forward gear
  EXPECT_EQ(app.screen.GearDir, "Fwd");
  QTest::keyClick(arm, Qt::Key_Left);
  QTest::keyClick(arm, Qt::Key_Left);
  EXPECT_EQ(arm->Position(), -1);
  form->SBStepAng->setFocus();
  QTest::keyClick(form->SBStepAng, Qt::Key_Right);
  EXPECT_EQ(form->SBStepAng->Position(), 12000 + form->SBStepAng->SmallChange());

  // The keypad's arrows with NumLock off: the same way round.
  arm->setFocus();
  QTest::keyClick(arm, Qt::Key_Right, Qt::KeypadModifier);
  EXPECT_EQ(arm->Position(), 0);
  QTest::keyClick(arm, Qt::Key_Right, Qt::KeypadModifier);
  EXPECT_EQ(arm->Position(), 1);
  EXPECT_EQ(app.screen.GearDir, "Fwd");
  QTest::keyClick(form->SBStepAng, Qt::Key_Left, Qt::KeypadModifier);
  EXPECT_EQ(form->SBStepAng->Position(), 12000);
}

TEST_F(SetUpTest, EnterConfirmsTheAngleDialogsAndEscCancelsEveryDialog) {
  TDrivAng d(*form);
  d.show();
  d.Edit1->setFocus();
  d.Edit1->selectAll();
  QTest::keyClicks(d.Edit1, "90");
  QTest::keyClick(d.Edit1, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(m().mech.DrvAngle, 90);
  TStpAng st(*form);
  st.show();
  st.Edit1->setFocus();
  st.Edit1->selectAll();
  QTest::keyClicks(st.Edit1, "5");
  QTest::keyClick(st.Edit1, Qt::Key_Enter);
  EXPECT_EQ(m().StepAng, 5);

  // Esc from inside the number field: the dialog goes as with Cancel.
  TGraphZoom z(m().view, form.get());
  z.show();
  z.Edit1->setFocus();
  QTest::keyClicks(z.Edit1, "33");
  QTest::keyClick(z.Edit1, Qt::Key_Escape);
  EXPECT_FALSE(z.isVisible());
  EXPECT_EQ(m().view.GraphZoomFactor, 7.5f);
  form->RefPointsClick();
  ASSERT_TRUE(m().view.RefPointsOn);
  TRefPnts r(*form);
  r.show();
  r.Edit1->setFocus();
  QTest::keyClick(r.Edit1, Qt::Key_Escape);
  EXPECT_FALSE(r.isVisible());
  EXPECT_FALSE(m().view.RefPointsOn);  // what Cancel does
}

// Return presses the button that has the focus, whether or not the dialog
// has a default button; from a field it goes to the default button.
TEST_F(SetUpTest, ReturnPressesTheFocusedButton) {
  const float angle = m().mech.DrvAngle;
  TDrivAng d(*form);
  d.show();
  d.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
  ASSERT_EQ(d.focusWidget(), d.Cancel);  // as the dialog opens
  d.Edit1->setText("90");
  QTest::keyClick(d.Cancel, Qt::Key_Return);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_EQ(m().mech.DrvAngle, angle);

  TStpAng st(*form);
  st.show();
  st.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&st));
  ASSERT_EQ(st.focusWidget(), st.Cancel);
  st.Edit1->setText("5");
  QTest::keyClick(st.Cancel, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(st.result(), QDialog::Rejected);
  EXPECT_NE(m().StepAng, 5);

  // No default button: Return on a focused OK is OK.
  TGraphZoom z(m().view, form.get());
  z.show();
  z.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&z));
  z.Edit1->setText("33");
  z.OK->setFocus();
  QTest::keyClick(z.OK, Qt::Key_Return);
  EXPECT_FALSE(z.isVisible());
  EXPECT_EQ(z.result(), QDialog::Accepted);
  EXPECT_EQ(m().view.GraphZoomFactor, 33.0f);
}

// One rule for every number field: text that is no number (an empty field,
// a lone "-" or ".", "1-2") keeps the value that was stored.
TEST_F(SetUpTest, TextThatIsNoNumberKeepsTheStoredValue) {
  form->Timer1Timer();
  const float angle = m().mech.DrvAngle, step = m().StepAng, arm = m().mech.RevArmX;
  const int armBar = form->SBRevArm->Position();
  TDrivAng a(*form);
  a.show();
  a.Edit1->setText("");
  a.OKClick();
  EXPECT_FALSE(a.isVisible());
  EXPECT_EQ(m().mech.DrvAngle, angle);
  EXPECT_EQ(form->Run->text(), "Stop");  // not stopped either
  TStpAng st(*form);
  st.show();
  st.Edit1->setText(".");
  st.OKClick();
  EXPECT_EQ(m().StepAng, step);
  TRevPos r(*form);
  r.show();
  r.Edit1->setText("-");
  r.OKClick();
  EXPECT_EQ(m().mech.RevArmX, arm);
  EXPECT_EQ(form->SBRevArm->Position(), armBar);
  TGraphZoom z(m().view, form.get());
  z.show();
  z.Edit1->setText("");
  z.OKClick();
  EXPECT_EQ(m().view.GraphZoomFactor, 7.5f);
  m().mech.PtY[19] = 2;
  TRefPnts p(*form);
  p.show();
  p.Edit1->setText("1-2");
  p.Edit2->setText("1.5");
  p.OKClick();
  EXPECT_EQ(m().mech.PtY[19], 2.0f);
  EXPECT_EQ(m().mech.PtX[19], 1.5f);

  CalcCentre(m());
  TSetRevArm d(m(), app.screen, form.get());
  d.show();
  const float second = m().revArm.Positions[2], scale = m().revArm.VertScale;
  ASSERT_NE(second, 0.0f);
  d.PosEdit[2]->setText("-");
  d.PosEdit[2]->onExit();
  d.VertScaleEdit->setText("-");
  d.VertScaleEdit->onExit();
  d.CloseClick();
  EXPECT_EQ(m().revArm.Positions[2], second);  // the list is not cut short
  EXPECT_EQ(m().revArm.VertScale, scale);
  EXPECT_EQ(d.PosEdit[2]->text(), QString::fromStdString(Str(second, 5, 3)));
  // A position emptied is taken out of the list, as a 0 is.
  TSetRevArm again(m(), app.screen, form.get());
  again.show();
  again.PosEdit[2]->setText("");
  again.PosEdit[2]->onExit();
  again.CloseClick();
  EXPECT_EQ(m().revArm.Positions[2], 0.0f);
}

// Esc closes the positions dialog without storing the field being typed in.
TEST_F(SetUpTest, EscInThePositionsDialogDropsTheFieldBeingTyped) {
  form->Timer1Timer();
  CalcCentre(m());
  TSetRevArm d(m(), app.screen, form.get());
  d.show();
  d.activateWindow();
  QTest::qWait(100);
  ASSERT_EQ(QApplication::activeWindow(), &d);
  const float second = m().revArm.Positions[2];
  d.PosEdit[1]->setFocus();
  d.PosEdit[1]->selectAll();
  QTest::keyClicks(d.PosEdit[1], "10.1");
  d.PosEdit[2]->setFocus();  // left: stored
  EXPECT_FLOAT_EQ(m().revArm.Positions[1], 10.1f);
  d.PosEdit[2]->selectAll();
  QTest::keyClicks(d.PosEdit[2], "9.5");
  QTest::keyClick(d.PosEdit[2], Qt::Key_Escape);
  QTest::qWait(50);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(m().revArm.Positions[2], second);
  EXPECT_FLOAT_EQ(m().revArm.Positions[1], 10.1f);
  EXPECT_EQ(m().revArm.RedrawPending, 1);
}

TEST_F(SetUpTest, NumberFieldsKeepTheEditingShortcuts) {
  TDrivAng d(*form);
  d.show();
  d.Edit1->setFocus();
  d.Edit1->setText("123.5");
  QTest::keyClick(d.Edit1, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(d.Edit1->selectedText(), "123.5");
  QTest::keyClick(d.Edit1, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(d.Edit1->text(), "");
  QTest::keyClick(d.Edit1, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(d.Edit1->text(), "123.5");
  QTest::keyClicks(d.Edit1, "x");  // the filter still refuses what is no number
  EXPECT_EQ(d.Edit1->text(), "123.5");
  d.reject();
}

TEST_F(SetUpTest, SpaceStartsAndStopsTheWheelAndCtrlZUndoes) {
  ASSERT_TRUE(form->Running());
  QTest::keyClick(form->SBRevArm, Qt::Key_Space);
  EXPECT_FALSE(form->Running());
  EXPECT_EQ(m().DrvAngInc, 0);
  QTest::keyClick(form->SBRevArm, Qt::Key_Space);
  EXPECT_TRUE(form->Running());

  Candidate(3);
  form->DynamicVariablesClick();
  form->SetUnDoClick();
  form->Timer1Timer();
  ClickArrow(form->SBDynVar[1], true);
  ASSERT_EQ(m().undo.UndoCount, 1);
  form->Timer1Timer();  // shows the undo button
  ASSERT_TRUE(form->UnDoDn->isVisible());
  QTest::keyClick(form->SBRevArm, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(m().undo.UndoCount, 0);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 16.5f);
}

// Every fixed text of a dialog, measured in the font it is drawn with: it
// must lie inside the window and clear every other text and control.
void ExpectLabelsFit(QWidget* w, const char* name) {
  const QByteArray dir = qgetenv("BREVOLD_SHOTS");
  if (!dir.isEmpty()) w->grab().save(QString(dir) + "/" + name + ".png");
  const QRect window = w->rect();
  std::vector<std::pair<QWidget*, QRect>> placed;
  for (QWidget* c : w->findChildren<QWidget*>()) {
    if (!c->isVisibleTo(w) || c->parentWidget() != w) continue;
    QRect r = c->geometry();
    if (auto* l = qobject_cast<QLabel*>(c)) {
      // Where the label writes its text, and the ink of the text there.
      const QFontMetrics fm(l->font());
      const QRect cell = QStyle::alignedRect(Qt::LeftToRight, l->alignment(),
                                             QSize(fm.horizontalAdvance(l->text()), fm.height()), l->geometry());
      EXPECT_TRUE(l->geometry().contains(cell)) << name << ": \"" << l->text().toStdString() << "\" is cut by its label";
      r = fm.tightBoundingRect(l->text()).translated(cell.left(), cell.top() + fm.ascent());
    }
    placed.emplace_back(c, r);
  }
  for (const auto& [c, r] : placed) {
    auto* l = qobject_cast<QLabel*>(c);
    if (!l) continue;
    EXPECT_TRUE(window.contains(r)) << name << ": \"" << l->text().toStdString() << "\" is cut at the edge";
    for (const auto& [o, q] : placed) {
      if (o == c || !r.intersects(q)) continue;
      ADD_FAILURE() << name << ": \"" << l->text().toStdString() << "\" runs into "
                           << (qobject_cast<QLabel*>(o) ? qobject_cast<QLabel*>(o)->text().toStdString()
                                                        : o->metaObject()->className());
    }
  }
}

TEST_F(SetUpTest, NoDialogTextIsClippedOrOverlapped) {
  for (bool solved : {false, true}) {
    if (solved) form->Timer1Timer();  // the other gear sense: the words change places
    TRevPos rp(*form);
    rp.show();
    ExpectLabelsFit(&rp, "revpos");
  }
  TDrivAng da(*form);
  da.show();
  ExpectLabelsFit(&da, "drivang");
  TStpAng sa(*form);
  sa.show();
  ExpectLabelsFit(&sa, "stpang");
  TRefPnts rf(*form);
  rf.show();
  ExpectLabelsFit(&rf, "refpnts");
  TGraphZoom gz(m().view, form.get());
  gz.show();
  ExpectLabelsFit(&gz, "graphzoom");
  m().revArm.Positions = {9.7657f, 9.7657f, 10.4657f, 9.0657f, 10.1f, 10.2f, 10.3f, 10.4f, 10.5f, 10.6f};
  TSetRevArm sr(m(), app.screen, form.get());
  sr.show();
  ExpectLabelsFit(&sr, "setrevarm");
  form->AboutBox->show();
  ExpectLabelsFit(form->AboutBox, "about");
  form->AboutBox->hide();
  form->DrawLines->show();
  ExpectLabelsFit(form->DrawLines, "drawlines");
  form->DrawLines->hide();
}

// The dialogs and windows reach the main window only through its port: a
// fake one with a bare state and its session is enough to drive them.
class FakePort : public MainPort {
 public:
  FakePort() { StartUp(app.model); }
  Session& State() override { return session; }
  QWidget* Window() override { return &window; }
  void StopAnimation() override { ++stops; }
  void RestartAnimation() override { ++restarts; }
  AppState app;
  Session session{app};
  QWidget window;
  int stops = 0, restarts = 0, shows = 0;
  Following shown = session.Follow([this] { ++shows; });
};

TEST(DialogsOnAPort, DialogsAndDiagramsNeedOnlyThePort) {
  FakePort port;
  TDrivAng d(port);
  d.show();
  d.Edit1->setText("45");
  d.OKClick();
  EXPECT_EQ(port.app.model.mech.DrvAngle, 45);
  EXPECT_FALSE(port.app.controls.Running);
  EXPECT_EQ(port.shows, 1);
  TRefPnts r(port);
  r.show();
  r.Edit2->setText("3");
  r.OKClick();
  EXPECT_TRUE(port.app.model.view.RefPointsOn);
  EXPECT_TRUE(port.app.controls.RefPtZeroOn[1]);
  EXPECT_FALSE(port.app.controls.RefPtZeroOn[2]);
  TSineDia sine(port);
  // Its "UnDo" button follows the undo stack through the port's session.
  SetUndoButtons(port.app.model, true);
  EXPECT_TRUE(sine.UnDoButton->isEnabled());
  SetUndoButtons(port.app.model, false);
  EXPECT_FALSE(sine.UnDoButton->isEnabled());
  sine.AskPositionsOnOpen = false;
  sine.show();
  QTest::qWait(50);
  EXPECT_EQ(port.stops, 1);
  sine.DynamicVariClick();
  EXPECT_TRUE(port.app.model.dyn.DynVarsOn);
  sine.close();
  EXPECT_EQ(port.restarts, 1);
}

TEST(DialogsOnAPort, TheValveEventsWindowShowsAndSavesTheTable) {
  FakePort port;
  Solve(port.app.model);
  CalcCentre(port.app.model);
  const float before = port.app.model.mech.RevArmX;
  TValveEvents w(port);
  w.show();
  w.WaitForTable();
  EXPECT_EQ(port.stops, 1);
  EXPECT_EQ(port.app.model.mech.RevArmX, before);  // the sweeps leave the gear where it was
  EXPECT_EQ(w.Table->rowCount(), 2 * 19 * 3);       // both sides: front, rear, front-rear
  EXPECT_EQ(w.Table->horizontalHeaderItem(0)->text(), "Method");
  const QString file = QDir::temp().filePath("brevold-events-test.csv");
  ASSERT_TRUE(w.SaveCsv(file));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().toStdString(), w.Csv());
  f.remove();
  w.close();
  EXPECT_EQ(port.restarts, 1);
}

// The events window's own bars change the gear, and the table follows once
// the queued steps are handled; its "UnDo" takes the step back, and the
// main window's undo buttons forget the window's button when it closes.
TEST_F(SetUpTest, TheValveEventsWindowFollowsItsBarsAndUndo) {
  Candidate(13);  // the link-crank back set
  auto events = std::make_unique<TValveEvents>(*form);
  events->show();
  events->WaitForTable();
  EXPECT_TRUE(events->Notice->isHidden());
  EXPECT_FALSE(events->Bars[2]->isEnabled());
  const std::string before = events->Csv();
  const float dim = GetDim(m(), 13);
  // Two arrow steps as one scroll action: entered, two steps, ended.
  ScrollBar* bar = events->Bars[1];
  bar->onEnter();
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->onEndScroll();
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_NEAR(GetDim(m(), 13), dim + 0.002f, 1e-6);
  EXPECT_TRUE(events->RecomputePending());
  EXPECT_TRUE(events->BarLabels[1]->text().endsWith(QString::fromStdString(Str(GetDim(m(), 13), 6, 3))));
  events->WaitForTable();
  EXPECT_FALSE(events->RecomputePending());
  EventRequest r;
  r.side = EventRequest::Both;
  EXPECT_EQ(events->Csv(), FormatEvents(ValveEventsTable(m(), r), "csv"));
  EXPECT_NE(events->Csv(), before);
  ASSERT_TRUE(events->UnDoButton->isEnabled());
  events->UnDoButtonClick();
  events->WaitForTable();
  EXPECT_FLOAT_EQ(GetDim(m(), 13), dim);
  EXPECT_EQ(events->Csv(), before);
  events->close();
  events.reset();
  SetUndoButtons(m(), true);  // must not reach the closed window's button
  EXPECT_TRUE(form->UnDoDn->isEnabled());
}

// Waits for the modal dialog of type D that an item opens, and hands it to `act`.
// After a minute without it, a different modal window that stands in its
// way (a question, an error box) is named in a failure and closed, so that
// the test ends instead of waiting for ever. A minute, not less: on a loaded
// machine a file dialog can come up late, and one that comes up after the
// watch has stopped waits for ever.
template <typename D>
void WhenOpen(std::function<void(D*)> act, bool* seen, int tries = 6000) {
  QTimer::singleShot(10, [act, seen, tries] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* d = qobject_cast<D*>(modal)) {
      *seen = true;
      act(d);
    } else if (tries > 1) {
      WhenOpen<D>(act, seen, tries - 1);
    } else if (auto* other = qobject_cast<QDialog*>(modal)) {
      ADD_FAILURE() << "waited for a dialog, found \"" << other->windowTitle().toStdString() << "\"";
      other->reject();
    }
  });
}

// A diagram window's "Export Picture..." writes the window's picture to the
// file chosen, and "Print..." previews it.
TEST(DialogsOnAPort, ExportAndPrintItemsOfADiagramWindow) {
  FakePort port;
  Solve(port.app.model);
  CalcCentre(port.app.model);
  TSineDia sine(port);
  sine.AskPositionsOnOpen = false;
  sine.show();
  QTest::qWait(50);
  const QString file = QDir::temp().filePath("brevold-export-test.svg");
  QFile::remove(file);
  bool saw = false;
  WhenOpen<QFileDialog>([&](QFileDialog* d) {
    d->selectFile(file);
    QMetaObject::invokeMethod(d, "accept");
  }, &saw);
  sine.ExportPictureItem->trigger();
  ASSERT_TRUE(saw);
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray expected = RenderPicture(PictureFormat::Svg, DiagramPictureWidth, DiagramPictureHeight(DiagramPicture::Sine),
                                            [&](Canvas& c) { DrawDiagramPicture(c, port.app, DiagramPicture::Sine); });
  EXPECT_EQ(f.readAll(), expected);
  f.remove();
  saw = false;
  WhenOpen<QPrintPreviewDialog>([](QPrintPreviewDialog* d) { d->reject(); }, &saw);
  sine.PrintItem->trigger();
  EXPECT_TRUE(saw);
  sine.close();
}

// The main window's File menu: the picture's items between the files and
// "E&xit", no two items on one accelerator letter; Export writes the gear's
// picture at its bounds, and its dialog opens where the gears are, then in
// the folder it last chose.
TEST_F(SetUpTest, FileMenuExportsTheGearAndTheDialogsReopenWhereTheyLeftOff) {
  QStringList file;
  QSet<QChar> letters;
  for (QAction* a : form->File1->actions()) {
    file << (a->isSeparator() ? "-" : a->text());
    const qsizetype amp = a->text().indexOf('&');
    if (amp < 0) continue;
    const QChar letter = a->text().at(amp + 1).toLower();
    EXPECT_FALSE(letters.contains(letter)) << a->text().toStdString();
    letters.insert(letter);
  }
  EXPECT_EQ(file, (QStringList{"&OpenDimensions", "Open&DosVersionDim", "Save&AsDimensions", "&Save", "-",
                               "&Export Picture...", "&Print...", "-", "E&xit"}));

  form->RunClick();  // stopped, the wheel's arc as a still picture shows it
  m().mech.DrvAngle = 0;
  form->Timer1Timer();  // the gear drawn at 0 degrees
  QTemporaryDir gears, pictures;
  app.folders.gears = gears.path().toStdString();
  const PictureBox box = GearPictureBox(app);
  ASSERT_LT(box.width, FrameWidth);
  const QString picture = QDir(pictures.path()).filePath("gear.png");
  QString openedIn;
  bool saw = false;
  WhenOpen<QFileDialog>([&](QFileDialog* d) {
    openedIn = d->directory().absolutePath();
    d->selectFile(picture);
    QMetaObject::invokeMethod(d, "accept");
  }, &saw);
  form->ExportPicture->trigger();
  ASSERT_TRUE(saw);
  EXPECT_EQ(openedIn, QDir(gears.path()).absolutePath());
  const QImage written(picture);
  EXPECT_EQ(written.size(), QSize(box.width, box.height));
  // brevold-cli frame --gear writes the same file for the same gear.
  {
    const QString fromCli = QDir(pictures.path()).filePath("cli.png");
    std::ostringstream out, err;
    ASSERT_EQ(RunCli({"frame", "--gear", "--angle", "0", "--out", fromCli.toStdString()}, out, err, &FrameCommandMain), 0)
        << err.str();
    QFile a(picture), b(fromCli);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_TRUE(a.readAll() == b.readAll());
  }
  EXPECT_EQ(app.folders.pictures, QDir(pictures.path()).absolutePath().toStdString());
  saw = false;
  WhenOpen<QFileDialog>([&](QFileDialog* d) {
    openedIn = d->directory().absolutePath();
    d->reject();
  }, &saw);
  form->ExportPicture->trigger();
  ASSERT_TRUE(saw);
  EXPECT_EQ(openedIn, QDir(pictures.path()).absolutePath());

  // "Save CSV..." of Valve Events asks through the same ChooseFile, with
  // app.folders.tables (a modal file dialog over that modal window could
  // not be answered reliably here, so it is not driven).
}

// The two large windows open inside a small screen (1280 x 1024 at a scale
// of 2 leaves 640 x 512): made smaller than they would be, never beyond it,
// and their layouts can go that small.
TEST(DialogsOnAPort, LargeWindowsFitASmallScreen) {
  EXPECT_EQ(FittedSize(QSize(1060, 640), QSize(300, 200), QSize(640, 512)), QSize(624, 464));
  EXPECT_EQ(FittedSize(QSize(900, 480), QSize(300, 200), QSize(1920, 1080)), QSize(900, 480));
  EXPECT_EQ(FittedSize(QSize(900, 480), QSize(700, 500), QSize(640, 512)), QSize(700, 500));
  FakePort port;
  Solve(port.app.model);
  CalcCentre(port.app.model);
  TValveEvents events(port);
  TBalanceEvents balance(port);
  for (QWidget* w : {static_cast<QWidget*>(&events), static_cast<QWidget*>(&balance)}) {
    EXPECT_LE(w->minimumSizeHint().width(), 624) << w->windowTitle().toStdString();
    EXPECT_LE(w->minimumSizeHint().height(), 464) << w->windowTitle().toStdString();
    const QSize screen = w->screen()->availableGeometry().size();
    EXPECT_LE(w->width(), screen.width());
    EXPECT_LE(w->height(), screen.height());
  }
  // Nor does a long state line widen it while a table is worked out.
  events.show();
  EXPECT_LE(events.minimumSizeHint().width(), 624) << events.Status->text().toStdString();
  events.WaitForTable();
  EXPECT_LE(events.minimumSizeHint().width(), 624) << events.Status->text().toStdString();
  events.close();
}

// A printed page: the picture as wide as the page, then a free line, then
// the foot on the last line.
TEST(PrintedPage, PictureAboveAFreeLineAndTheFoot) {
  const int w = 300, h = 100;
  QSvgRenderer picture(RenderPicture(PictureFormat::Svg, w, h, [&](Canvas& c) {
    c.SetPen(clBlack, 1);
    c.MoveTo(0, h - 1);
    c.LineTo(w, h - 1);  // a line along the picture's foot, the whole width
  }));
  QImage page(600, 400, QImage::Format_RGB32);
  page.setDotsPerMeterX(3780);  // 96 dpi
  page.setDotsPerMeterY(3780);
  page.fill(Qt::white);
  {
    QPainter p(&page);
    PaintPrintedPage(p, QRectF(0, 0, 600, 400), picture, w, h, "Nominal     9/12/26");
  }
  auto inkInRows = [&](int from, int to) {
    for (int y = from; y < to; ++y)
      for (int x = 0; x < page.width(); ++x)
        if (qGray(page.pixel(x, y)) < 128) return true;
    return false;
  };
  // 600 wide: twice the picture, its foot line at 199.
  EXPECT_TRUE(inkInRows(196, 200));
  EXPECT_LT(qGray(page.pixel(590, 198)), 128);
  const int line = qRound(QFontMetricsF([] {
                            QFont f = ToQFont(Font{FontFace::Sans, 9});
                            f.setPixelSize(12);
                            return f;
                          }()).height());
  EXPECT_FALSE(inkInRows(202, 400 - line - 1));
  EXPECT_TRUE(inkInRows(400 - line, 400));
}

// "Balance Events": a short search on the two dimensions ticked at first,
// applied as two editor entries; a long one cancelled promptly.
TEST(DialogsOnAPort, BalanceEventsRunsAppliesAndCancels) {
  FakePort port;
  Solve(port.app.model);
  CalcCentre(port.app.model);
  ModelState& m = port.app.model;
  TBalanceEvents w(port);
  w.show();
  EXPECT_EQ(port.stops, 1);
  w.MaxEvals->setValue(12);
  w.RunClick();
  EXPECT_TRUE(w.Running());
  EXPECT_FALSE(w.CloseButton->isEnabled());
  w.WaitForSearch();
  ASSERT_NE(w.Result(), nullptr);
  const BalanceResult r = *w.Result();
  ASSERT_EQ(r.dims.size(), 2u);
  EXPECT_LE(r.evaluations, 13);
  EXPECT_LE(r.after.objective, r.before.objective);
  EXPECT_FALSE(w.Before->toPlainText().isEmpty());
  EXPECT_FALSE(w.After->toPlainText().isEmpty());
  ASSERT_TRUE(r.Gained()) << r.noGain;
  ASSERT_TRUE(w.ApplyButton->isEnabled());
  EXPECT_EQ(w.Progress->value(), w.Progress->maximum());
  EXPECT_TRUE(w.Summary->text().startsWith("Stopped: the ")) << w.Summary->text().toStdString();
  EXPECT_TRUE(w.Summary->text().contains("0.5-degree grid"));
  EXPECT_TRUE(w.Before->toPlainText().startsWith("Before, at equal cut-offs"));
  const int undoBefore = m.undo.UndoCount;
  const float revArmBefore = m.mech.RevArmX, midBefore = m.revArm.Positions[0];
  w.ApplyClick();
  EXPECT_NE(m.mech.RevArmX, revArmBefore);
  int changed = 0;
  const BalanceDimResult* last = nullptr;
  for (const BalanceDimResult& d : r.dims) {
    EXPECT_EQ(GetDim(m, d.dim.id), static_cast<float>(d.after)) << d.dim.field;
    if (static_cast<float>(d.after) != static_cast<float>(d.before)) ++changed, last = &d;
  }
  ASSERT_GT(changed, 0);
  EXPECT_EQ(m.undo.UndoCount, undoBefore + changed);
  EXPECT_EQ(m.dyn.DynVarId[1], static_cast<std::uint32_t>(last->dim.id));
  // Undoing every entry of the Apply brings the reverse arm back with the gear.
  for (int k = 0; k < changed; ++k) {
    Undo(m);
    if (k + 1 < changed) {
      EXPECT_NE(m.mech.RevArmX, revArmBefore);
    }
  }
  EXPECT_EQ(GetDim(m, last->dim.id), static_cast<float>(last->before));
  EXPECT_EQ(m.mech.RevArmX, revArmBefore);
  EXPECT_EQ(m.revArm.Positions[0], midBefore);

  w.MaxEvals->setValue(5000);
  w.RunClick();
  QTest::qWait(100);
  w.CancelClick();
  w.WaitForSearch();
  ASSERT_NE(w.Result(), nullptr);
  EXPECT_EQ(w.Result()->stop, BalanceResult::Cancelled);
  EXPECT_LT(w.Progress->value(), w.Progress->maximum());
  EXPECT_TRUE(w.Summary->text().startsWith("Stopped: cancelled, after ")) << w.Summary->text().toStdString();

  // A dimension that only draws gains nothing: nothing to apply.
  for (int row = 0; row < w.Dims->rowCount(); ++row)
    w.Dims->item(row, 0)->setCheckState(w.Dims->item(row, 0)->data(Qt::UserRole).toInt() == 1 ? Qt::Checked : Qt::Unchecked);
  w.MaxEvals->setValue(5);
  w.RunClick();
  w.WaitForSearch();
  EXPECT_FALSE(w.ApplyButton->isEnabled());
  EXPECT_TRUE(w.Summary->text().contains("Nothing to apply")) << w.Summary->text().toStdString();
  EXPECT_TRUE(w.Summary->text().contains("strongest levers")) << w.Summary->text().toStdString();

  // The strongest levers ticked for the side chosen: three, and not the lift
  // point, which hardly moves the cut-off difference.
  w.StrongestClick();
  EXPECT_TRUE(w.Running());
  w.WaitForSearch();
  int ticked = 0;
  for (int row = 0; row < w.Dims->rowCount(); ++row) {
    if (w.Dims->item(row, 0)->checkState() != Qt::Checked) continue;
    ++ticked;
    EXPECT_NE(w.Dims->item(row, 0)->data(Qt::UserRole).toInt(), 17);
  }
  EXPECT_EQ(ticked, 3);
  EXPECT_TRUE(w.Summary->text().startsWith("Ticked the strongest levers")) << w.Summary->text().toStdString();
  w.close();
  EXPECT_EQ(port.restarts, 1);
}

// Closing "Balance Events" during a search on a gear whose searches give up
// (seconds a setting) does not wait for it: the search is cancelled and left
// to end on its own, which it does.
TEST(DialogsOnAPort, ClosingBalanceEventsLeavesItsSearchToEnd) {
  FakePort port;
  port.app.model.dims.frame.LinkTopLevLen = 1e5f;
  Solve(port.app.model);
  CalcCentre(port.app.model);
  {
    TBalanceEvents w(port);
    w.show();
    w.RunClick();
    QTest::qWait(100);
    ASSERT_TRUE(w.Running());
    w.close();
    EXPECT_FALSE(w.Running());
    EXPECT_EQ(port.app.background.Running(), 1u);
  }
  for (int waited = 0; port.app.background.Running() > 0 && waited < 60000; waited += 50) QTest::qWait(50);
  EXPECT_EQ(port.app.background.Running(), 0u);
}

TEST_F(SetUpTest, EmptyListShowsTheRedNotice) {
  form->DynamicVariablesClick();
  RecordingCanvas c;
  PaintFrame(c, app);
  const auto* notice = c.FindText("* First Select Dimensions *");
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->color, clRed);
  EXPECT_EQ(notice->pts[0], (Pt{377, 81}));
  form->Timer1Timer();
  for (size_t k = 1; k <= 4; ++k) EXPECT_FALSE(form->SBDynVar[k]->isEnabled());
}

TEST_F(SetUpTest, UndoLineAndButton) {
  Candidate(2);
  m().undo.EditDirty = 1;
  EditorFieldExit(m(), 2, 4.25f, "Stroke");
  form->SetUnDoClick();
  form->Timer1Timer();
  EXPECT_FALSE(form->UnDoDn->isHidden());
  EXPECT_EQ(form->UnDoDn->y(), 72);
  RecordingCanvas c;
  PaintFrame(c, app);
  const auto* line = c.FindText(" 1- Stroke  4.250 to  4.000");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->pts[0], (Pt{320, 73}));
  form->DynamicVariablesClick();
  form->Timer1Timer();
  EXPECT_EQ(form->UnDoDn->y(), 127);

  QTest::mouseClick(form->UnDoDn, Qt::LeftButton);
  EXPECT_FLOAT_EQ(m().dims.frame.Stroke, 4);
  EXPECT_FALSE(form->UnDoDn->isEnabled());

  form->ResetAllClick();
  EXPECT_FALSE(m().dyn.UndoOn);
  EXPECT_FALSE(m().dyn.DynVarsOn);
  EXPECT_TRUE(form->SBDynVar[1]->isHidden());
  form->Timer1Timer();
  EXPECT_TRUE(form->UnDoDn->isHidden());
}

TEST_F(SetUpTest, StepAngleDialogKeepsTheRunStateWithATypedStep) {
  TStpAng d(*form);
  d.show();
  EXPECT_EQ(d.Edit1->text(), "10.00");
  d.Edit1->setText("7.5");
  d.OKClick();
  EXPECT_EQ(form->Run->text(), "Stop");
  EXPECT_FLOAT_EQ(m().StepAng, 7.5f);
  EXPECT_FLOAT_EQ(m().DrvAngInc, 7.5f);
  EXPECT_EQ(form->SBStepAng->Position(), 11500);
  EXPECT_EQ(form->SBDrvAng->SmallChange(), 750);
  EXPECT_EQ(form->SBDrvAng->LargeChange(), 3750);
  EXPECT_TRUE(app.screen.StepSnapOn);  // the bar moved: its change re-armed the snap
  form->Timer1Timer();
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 7.5f);

  // The same step as the bar shows: the bar does not move, the snap stays off.
  TStpAng same(*form);
  same.show();
  same.Edit1->setText("7.5");
  same.OKClick();
  EXPECT_FALSE(app.screen.StepSnapOn);

  // Stopped, it stays stopped; no step is the least step.
  QTest::mouseClick(form->Run, Qt::LeftButton);
  TStpAng low(*form);
  low.show();
  EXPECT_EQ(low.Edit1->text(), "0.00");
  low.Edit1->setText("0");
  low.OKClick();
  EXPECT_FLOAT_EQ(m().StepAng, 0.01f);
  EXPECT_EQ(form->Run->text(), "Run");
  EXPECT_FLOAT_EQ(m().DrvAngInc, 0);
}

TEST_F(SetUpTest, DriverAngleDialogStopsAndClamps) {
  TDrivAng d(*form);
  d.show();
  EXPECT_EQ(d.Edit1->text(), "0.00");  // running
  d.Edit1->setText("400");
  d.OKClick();
  EXPECT_EQ(form->Run->text(), "Run");
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 360);
  EXPECT_EQ(form->SBDrvAng->Position(), 36000);
  EXPECT_TRUE(form->SBDrvAng->isEnabled());
  TDrivAng e(*form);
  e.show();
  EXPECT_EQ(e.Edit1->text(), "360.00");
  e.Edit1->setText("-1");
  e.OKClick();
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 0);
  TDrivAng f(*form);
  f.show();
  f.Edit1->clear();
  f.Edit1->setFocus();
  QTest::keyClicks(f.Edit1, "-12.5.1");
  EXPECT_EQ(f.Edit1->text(), "12.51");
  f.reject();
  EXPECT_FLOAT_EQ(m().mech.DrvAngle, 0);  // Cancel changes nothing
}

TEST_F(SetUpTest, ReversePositionDialogInBothSenses) {
  const float mid = m().revArm.Positions[0];
  ASSERT_FALSE(SensePositive(m().mech));  // before any solve: the inverse sense
  {
    TRevPos d(*form);
    d.show();
    EXPECT_EQ(d.Label2->text(), "Max = 10.666");
    EXPECT_EQ(d.Label5->text(), "Rev = 10.466");
    EXPECT_EQ(d.Label6->text(), "Fwd = 9.066");
    EXPECT_EQ(d.Edit1->text(), "  9.766");
    d.Edit1->setText(QString::number(mid + 0.7f, 'f', 4));
    d.OKClick();
    EXPECT_LT(form->SBRevArm->Position(), 0);
    EXPECT_EQ(app.screen.GearDir, "Rev");
  }
  form->Timer1Timer();  // a solve: the direct sense
  {
    TRevPos d(*form);
    d.show();
    EXPECT_EQ(d.Label2->text(), "Min = 8.866");
    d.Edit1->setText("99");
    d.OKClick();
    EXPECT_EQ(form->SBRevArm->Position(), 900);
    EXPECT_NEAR(m().mech.RevArmX, mid + 0.9f, 1e-5);
    EXPECT_EQ(app.screen.GearDir, "Fwd");
  }
  {
    TRevPos d(*form);
    d.show();
    d.Edit1->clear();
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, "--9..5");
    EXPECT_EQ(d.Edit1->text(), "-9.5");
  }
}

TEST_F(SetUpTest, PositionsDialogKeepsAnUnbrokenList) {
  form->Timer1Timer();
  CalcCentre(m());  // positive sense: 1 centre, 2 forward, 3 reverse
  m().revArm.Positions[4] = 10.2f;
  m().revArm.Positions[5] = 9.3f;
  TSetRevArm d(m(), app.screen, form.get());
  d.show();
  EXPECT_EQ(d.windowTitle(), "Set Reverse Arm Positions");
  EXPECT_EQ(d.Header[0]->text(), "Min 8.866");
  EXPECT_EQ(d.Header[2]->text(), "Cent 9.766");
  EXPECT_EQ(d.Header[4]->text(), "Max 10.666");
  EXPECT_EQ(m().revArm.RevArmCount, 5);
  EXPECT_FALSE(d.PosEdit[6]->isHidden());
  EXPECT_TRUE(d.PosEdit[7]->isHidden());
  EXPECT_EQ(d.PosLabel[5]->text(), "Rev Arm Position  5");

  d.PosEdit[3]->setText("0");
  d.PosEdit[3]->onExit();
  d.CloseClick();
  EXPECT_EQ(m().revArm.RevArmCount, 2);
  for (size_t k = 4; k <= 9; ++k) EXPECT_EQ(m().revArm.Positions[k], 0.0f);
  EXPECT_TRUE(d.PosEdit[4]->isHidden());
  EXPECT_EQ(m().revArm.RedrawPending, 1);

  // A key in the last field shows the next one; a value beyond the maximum
  // travel is held at it.
  TSetRevArm e(m(), app.screen, form.get());
  e.show();
  e.PosEdit[3]->setFocus();
  QTest::keyClick(e.PosEdit[2], Qt::Key_1);
  EXPECT_FALSE(e.PosEdit[3]->isHidden());
  e.PosEdit[3]->setText("50");
  e.PosEdit[3]->onExit();
  EXPECT_FLOAT_EQ(m().revArm.Positions[3], m().revArm.Positions[0] + 0.9f);
  e.VertScaleEdit->setText("0");
  e.VertScaleEdit->onExit();
  EXPECT_FLOAT_EQ(m().revArm.VertScale, 0.1f);
}

}  // namespace brevold

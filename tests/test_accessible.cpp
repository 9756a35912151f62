// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the windows: a name on every control, and
// the values the main window and the diagrams draw as text.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <memory>

#include "diagrams/datatablewin.h"
#include "diagrams/diagramwin.h"
#include "diagrams/eventswin.h"
#include "diagrams/setrevarm.h"
#include "editors/balancedlg.h"
#include "editors/dimeditor.h"
#include "help/helpwin.h"
#include "mainwin/mainform.h"
#include "mainwin/setupdlg.h"
#include "mainwin/viewdlgs.h"
#include "overlay/linesdlg.h"

namespace brevold {

namespace {

bool IsControl(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTabBar*>(w);
}

QString Name(QWidget* w) {
  QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
  return i ? i->text(QAccessible::Name) : QString();
}

QString Description(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description); }

// Walks the window's own widgets (not those of the windows it owns): each
// control, and each of `drawn` (the widgets that draw values), must have a
// name. Returns how many were walked.
int ExpectNamed(QWidget* window, std::vector<QWidget*> drawn = {}) {
  for (QWidget* w : window->findChildren<QWidget*>())
    if (w->window() == window && IsControl(w)) drawn.push_back(w);
  for (QWidget* w : drawn)
    EXPECT_FALSE(Name(w).isEmpty()) << window->windowTitle().toStdString() << ": a nameless "
                                    << w->metaObject()->className() << " \"" << w->objectName().toStdString()
                                    << "\" at " << w->x() << "," << w->y() << " in "
                                    << (w->parentWidget() ? w->parentWidget()->metaObject()->className() : "");
  return static_cast<int>(drawn.size());
}

class AccessibleTest : public ::testing::Test {
 protected:
  AccessibleTest() : form(std::make_unique<TMainForm>(session)) {
    form->Timer1->stop();  // ticks are driven by hand
    form->show();
    form->Timer1Timer();
  }
  QString Readouts() { return Description(form->Client); }
  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(AccessibleTest, EveryControlOfEveryWindowHasAName) {
  // Caption, hint, label, or the name the window gives it.
  EXPECT_GE(ExpectNamed(form.get(), {form->Client}), 56);
  EXPECT_EQ(Name(form->SBDrvAng), "Set Driver Angle From 0 to 360 Deg");
  EXPECT_EQ(Name(form->Rev), "Rev");
  EXPECT_EQ(Description(form->Rev), "Set Reverse Arm to Normal Reverse");
  EXPECT_EQ(Name(form->ToolBar1->widgetForAction(form->ToolButton[4])), "Change Frame Dimensions");

  EXPECT_GE(ExpectNamed(form->FrameDi), 62);
  EXPECT_EQ(Name(form->FrameDi->Edit(1)), "Driver Dia");
  EXPECT_EQ(Name(form->FrameDi->SmallButton(27)), "Show Reverse Arm to Cent Max");
  EXPECT_GE(ExpectNamed(form->CylDimen), 36);
  EXPECT_EQ(Name(form->CylDimen->Edit(1)), "Cyl ctr to Driver ctr");

  TRevPos revPos(*form);
  ExpectNamed(&revPos);
  EXPECT_EQ(Name(revPos.Edit1), "Reverse Arm Position");
  TDrivAng drivAng(*form);
  ExpectNamed(&drivAng);
  TStpAng stpAng(*form);
  ExpectNamed(&stpAng);
  TRefPnts refPnts(*form);
  ExpectNamed(&refPnts);
  EXPECT_EQ(Name(refPnts.Edit4), "RefPt H2");
  TGraphZoom zoom(app.model.view, form.get());
  ExpectNamed(&zoom);
  TSetRevArm setRevArm(app.model, app.screen, form.get());
  EXPECT_EQ(ExpectNamed(&setRevArm), 11);

  EXPECT_GE(ExpectNamed(form->DrawLines), 80);
  for (DiagramWindow* w : std::initializer_list<DiagramWindow*>{form->PortDia, form->SteamDia, form->OvalDia, form->SineDia})
    EXPECT_GE(ExpectNamed(w, {w->PictureArea()}), 6);
  for (DiagramWindow* w : form->AddedDiagrams) EXPECT_GE(ExpectNamed(w, {w->PictureArea()}), 6);
  EXPECT_EQ(Name(form->SineDia->Bars[2]), "Dynamic Variable 2, none selected");
  TValveEvents events(*form);
  EXPECT_GE(ExpectNamed(&events), 7);
  TBalanceEvents balance(*form);
  EXPECT_GE(ExpectNamed(&balance), 12);
  EXPECT_GE(ExpectNamed(form->DataTable), 1);
  EXPECT_GE(ExpectNamed(form->Inst), 1);
  EXPECT_GE(ExpectNamed(form->BrvSpIn), 1);
  ExpectNamed(form->AboutBox);
  TUserGuide guide(form.get());
  EXPECT_GE(ExpectNamed(&guide), 1);
  EXPECT_EQ(Name(guide.Browser), "BREVOLD User Guide");
}

// The readouts are the client area's description, line by line as drawn,
// and follow each new frame; a diagram's words are its picture's.
TEST_F(AccessibleTest, ReadoutsReachAssistiveTechnologyAsText) {
  form->Deg00Click();
  form->Timer1Timer();
  const QString at0 = Readouts();
  EXPECT_TRUE(at0.contains("\nPan Horz, Driv Ang 0.00, ValveCen ")) << at0.toStdString();
  form->Deg180Click();
  form->Timer1Timer();
  const QString at180 = Readouts();
  EXPECT_TRUE(at180.contains("Driv Ang 180.00")) << at180.toStdString();
  EXPECT_FALSE(at180.contains("Driv Ang 0.00"));

  // A dimension made a dynamic variable names the bars that move it.
  form->DynamicVariablesClick();
  EditorFieldExit(app.model, 1, app.model.dims.frame.DriverDia, "Driver Dia");
  DiagramWindow* sine = form->SineDia;
  sine->AskPositionsOnOpen = false;
  sine->show();
  QTest::qWait(20);
  EXPECT_TRUE(Description(sine->PictureArea()).contains("Driver Clockwise Rotation --->"));
  EXPECT_EQ(Name(sine->Bars[1]), "Change Driver Dia");
  sine->close();
}

// The words of a picture read in lines, top to bottom and left to right,
// whatever order they were drawn in.
TEST(ReadingText, LinesWordsDownThePictureAndRepeats) {
  RecordingCanvas picture;
  TextTapCanvas c(picture);
  c.TextOut(545, 26, "Piston %  12.50  ");
  c.TextOut(459, 25, "Rev Arm   9.766  ");
  c.TextOut(459, 39, "Driv Ang");
  c.TextOut(459, 25, "Rev Arm   9.766  ");  // drawn over
  c.TextOut(80, 39, "    ");
  const char* word = "ARMPOS";
  const int ys[] = {60, 74, 88, 106, 120, 134};
  for (int i = 0; i < 6; ++i) c.TextOut(i == 2 ? 537 : 535, ys[i], std::string(1, word[i]));
  c.TextOut(10, 60, "1");
  c.TextOut(10, 73, "2");
  EXPECT_EQ(ReadingText(c.texts), "Rev Arm 9.766, Piston % 12.50\nDriv Ang\n1, ARM POS\n2");
  EXPECT_EQ(picture.items.size(), 13u);  // every text drawn as well
}

}  // namespace brevold

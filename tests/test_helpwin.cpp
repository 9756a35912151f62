// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The user guide and the about box through their real widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <functional>
#include <memory>

#include "diagrams/eventswin.h"
#include "editors/balancedlg.h"
#include "help/helpwin.h"
#include "diagrams/diagramwin.h"
#include "mainwin/mainform.h"

namespace brevold {

class HelpWinTest : public ::testing::Test {
 protected:
  HelpWinTest() : form(std::make_unique<TMainForm>(session)) {
    form->Timer1->stop();
    form->show();
  }
  ~HelpWinTest() override {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<TUserGuide*>(w)) w->close();
  }
  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

// The text of the line at the top of the guide's view.
std::string TopLine(const TUserGuide* g) {
  return g->Browser->cursorForPosition(QPoint(8, 8)).block().text().trimmed().toStdString();
}

// F1 in each window the instruction texts do not cover opens the guide at its
// section, over that window and not blocked by it while it is modal.
TEST_F(HelpWinTest, F1InTheAddedWindowsOpensTheGuideAtTheirSection) {
  struct Case {
    std::function<std::unique_ptr<QDialog>()> open;
    const char* heading;
  };
  const Case cases[] = {
      {[this] { return std::make_unique<TValveEvents>(*form); }, "The Valve Events window"},
      {[this] { return std::make_unique<TBalanceEvents>(*form); }, "Balance Events"},
      {[this] {
         auto w = std::make_unique<DiagramWindow>(*form, DiagramPicture::DieSlip);
         w->AskPositionsOnOpen = false;
         return w;
       },
       "The Die Slip diagram"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<QDialog> w = c.open();
    w->show();  // modal, as exec() shows it
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    ASSERT_EQ(QApplication::activeModalWidget(), w.get());
    QTest::keyClick(w.get(), Qt::Key_F1);
    auto* g = w->findChild<TUserGuide*>();
    ASSERT_NE(g, nullptr) << c.heading;
    EXPECT_FALSE(g->isModal());
    ASSERT_TRUE(QTest::qWaitForWindowActive(g)) << c.heading;
    EXPECT_GT(g->Browser->verticalScrollBar()->value(), 0);
    EXPECT_EQ(TopLine(g), c.heading);
    // F1 again raises the same guide.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTest::keyClick(w.get(), Qt::Key_F1);
    EXPECT_EQ(w->findChildren<TUserGuide*>().size(), 1);
    w->close();
  }
  // In the main window F1 stays the instructions.
  EXPECT_EQ(form->Instructions->shortcut(), QKeySequence(Qt::Key_F1));
}

// "User Guide" beside the instruction items opens the guide at its top, and
// each topic the guide covers has the section the windows point at.
TEST_F(HelpWinTest, HelpMenuOpensTheGuideWithASectionPerTopic) {
  QStringList items;
  QList<QChar> letters;
  for (QAction* a : form->Help1->actions()) {
    if (a->isSeparator()) continue;
    items << a->text();
    const qsizetype amp = a->text().indexOf('&');
    ASSERT_GE(amp, 0) << a->text().toStdString();
    const QChar letter = a->text().at(amp + 1).toLower();
    EXPECT_FALSE(letters.contains(letter)) << a->text().toStdString();
    letters << letter;
  }
  EXPECT_EQ(items, (QStringList{"&Instructions", "Instructions&Special", "User &Guide", "&About"}));
  form->UserGuide->trigger();
  auto* g = form->findChild<TUserGuide*>();
  ASSERT_NE(g, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(g));
  EXPECT_EQ(TopLine(g), "BREVOLD User Guide");
  const std::pair<const char*, const char*> sections[] = {
      {guide::ValveEvents, "The Valve Events window"},
      {guide::BalanceEvents, "Balance Events"},
      {guide::Pictures, "Export Picture and Print"},
      {guide::Keyboard, "The keyboard"},
      {guide::Saving, "Saving"},
      {guide::Json, "Gears as JSON"},
      {guide::CommandLine, "The command line: brevold-cli"},
  };
  for (const auto& [anchor, heading] : sections) {
    g->ShowSection(anchor);
    EXPECT_EQ(TopLine(g), heading) << anchor;
  }
  const QString text = g->Browser->toPlainText();
  for (const char* key : {"Ctrl+Shift+S", "Ctrl+Y", "Save changes to NAME?", ".brevold-save-", "--load FILE.json",
                          "brevold-cli sensitivity"})
    EXPECT_TRUE(text.contains(key)) << key;
}

TEST_F(HelpWinTest, AboutBoxShowsTheLicenceAndItsButtonCloses) {
  TAboutBox* box = form->AboutBox;
  QStringList lines;
  for (QLabel* l : box->findChildren<QLabel*>()) lines << l->text();
  const QString all = lines.join('\n');
  for (const char* key : {"GPL-3.0-or-later", "Copyright (C) 2026 The BREVOLD developers", "NO WARRANTY",
                          "The BREVOLD developers", "Version " BREVOLD_VERSION, "share/doc/brevold"})
    EXPECT_TRUE(all.contains(key)) << key;
  EXPECT_TRUE(box->CloseButton->isDefault());
  box->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
  QTest::mouseClick(box->CloseButton, Qt::LeftButton);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(box->result(), QDialog::Accepted);
  box->show();
  box->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(box));
  QTest::keyClick(box, Qt::Key_Escape);
  EXPECT_FALSE(box->isVisible());
}

}  // namespace brevold

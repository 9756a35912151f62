// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Valve Events window through its real widgets, over the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <memory>

#include "diagrams/eventswin.h"
#include "mainwin/mainform.h"
#include "model/dimensions.h"
#include "model/events.h"
#include "model/revarm.h"

namespace brevold {

class EventsWinTest : public ::testing::Test {
 protected:
  EventsWinTest() : form(std::make_unique<TMainForm>(session)) {
    form->Timer1->stop();
    form->show();
  }
  ModelState& m() { return app.model; }
  // The candidate an editor field's exit records, as the editors leave it.
  void Candidate(int id, float value) {
    m().undo.EditDirty = 0;
    EditorFieldExit(m(), id, value, FindDim(id)->shortName);
  }
  std::unique_ptr<TValveEvents> Open() {
    auto w = std::make_unique<TValveEvents>(*form);
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    return w;
  }
  int Column(const std::string& id) {
    const std::vector<EventColumn>& cols = EventColumns();
    for (size_t c = 0; c < cols.size(); ++c)
      if (cols[c].id == id) return static_cast<int>(c);
    ADD_FAILURE() << id;
    return 0;
  }
  std::string PlainCsv() {
    EventRequest r;
    r.side = EventRequest::Both;
    return FormatEvents(ValveEventsTable(m(), r), "csv");
  }
  AppState app;
  Session session{app};
  std::unique_ptr<TMainForm> form;
};

// Right arrow three times on the bar with the focus: three undo entries, each
// from where the step before left the dimension, taken back one at a time.
TEST_F(EventsWinTest, EachArrowStepOfAFocusedBarIsItsOwnUndoEntry) {
  Candidate(3, 16.5f);  // the main rod
  auto w = Open();
  ScrollBar* bar = w->Bars[1];
  bar->setFocus();
  ASSERT_TRUE(bar->hasFocus());
  for (int n = 0; n < 3; ++n) QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 16.503f);
  ASSERT_EQ(m().undo.UndoCount, 3);
  EXPECT_FLOAT_EQ(m().undo.UndoOld[1], 16.502f);
  EXPECT_FLOAT_EQ(m().undo.UndoOld[2], 16.501f);
  EXPECT_FLOAT_EQ(m().undo.UndoOld[3], 16.5f);
  for (float back : {16.502f, 16.501f, 16.5f}) {
    QTest::mouseClick(w->UnDoButton, Qt::LeftButton);
    EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, back);
  }
  EXPECT_FALSE(w->UnDoButton->isEnabled());
  w->close();
}

// Opening the window and stepping a bar start the table on another thread:
// the window's thread goes on handling events, the progress shows, and a
// step while the table runs drops it for one of the gear as it now stands.
TEST_F(EventsWinTest, TheTableIsWorkedOutBesideTheWindow) {
  Candidate(3, 16.5f);
  auto w = std::make_unique<TValveEvents>(*form);
  QElapsedTimer clock;
  clock.start();
  w->show();
  EXPECT_LT(clock.elapsed(), 200);
  EXPECT_FALSE(form->Timer1->isActive());
  ASSERT_TRUE(w->RecomputePending());
  EXPECT_TRUE(w->Progress->isVisible());
  EXPECT_TRUE(w->CancelButton->isVisible());
  EXPECT_FALSE(w->CopyItem->isEnabled());
  bool heard = false, heardMeanwhile = false;
  QTimer::singleShot(0, [&] {
    heard = true;
    heardMeanwhile = w->RecomputePending();
  });
  for (int n = 0; n < 500 && !heard; ++n) QTest::qWait(10);
  ASSERT_TRUE(heard);
  EXPECT_TRUE(heardMeanwhile);
  w->Bars[1]->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_FLOAT_EQ(m().dims.frame.MainRodLen, 16.501f);
  w->WaitForTable();
  EXPECT_EQ(w->Csv(), PlainCsv());
  EXPECT_EQ(w->Table->rowCount(), 2 * 19 * 3);
  EXPECT_FALSE(w->Progress->isVisible());
  EXPECT_TRUE(w->CopyItem->isEnabled());
  EXPECT_TRUE(w->Status->text().startsWith("38 settings")) << w->Status->text().toStdString();
  w->close();
}

// Cancel stops the table at the next setting and shows the settings done,
// which are not copied or saved as if they were the whole table; closing
// the window while a table runs neither waits for it nor keeps the
// animation stopped.
TEST_F(EventsWinTest, CancelAndCloseDoNotWaitForTheTable) {
  auto w = std::make_unique<TValveEvents>(*form);
  w->show();
  ASSERT_TRUE(w->RecomputePending());
  QTest::mouseClick(w->CancelButton, Qt::LeftButton);
  w->WaitForTable();
  EXPECT_LT(w->Table->rowCount(), 2 * 19 * 3);
  EXPECT_TRUE(w->Status->text().startsWith("Cancelled")) << w->Status->text().toStdString();
  EXPECT_TRUE(w->Csv().empty());
  EXPECT_FALSE(w->SaveItem->isEnabled());

  w->Recompute();
  ASSERT_TRUE(w->RecomputePending());
  QElapsedTimer clock;
  clock.start();
  w->close();
  w.reset();
  EXPECT_LT(clock.elapsed(), 200);
  EXPECT_TRUE(form->Timer1->isActive());
}

// Headings in words with their units, flags and the verdict as words, a
// compact set of columns that fits the window as it opens (also with the
// longer verdicts of a gear whose searches fail), more columns from the
// Columns menu, and every column copied.
TEST_F(EventsWinTest, HeadingsInWordsAndTheFirstColumnsFitTheWindow) {
  for (bool faulty : {false, true}) {
    if (faulty) {
      SetDim(m(), 23, 10.4f);  // the reverse-arm pivot moved back: guards fire at some settings
      CalcCentre(m());
    }
    auto w = Open();
    // The test screen is 800 wide; on a desktop the window opens as wide as
    // its strip, about 1020.
    w->resize(1020, w->height());
    w->WaitForTable();
    QApplication::processEvents();
    EXPECT_EQ(w->Table->horizontalHeaderItem(Column("cutoff_pct"))->text(), "Cut-off\n(% stroke)");
    for (size_t c = 0; c < EventColumns().size(); ++c)
      EXPECT_EQ(w->Table->isColumnHidden(static_cast<int>(c)), !EventColumns()[c].shownAtFirst) << c;
    EXPECT_EQ(w->Table->horizontalScrollBar()->maximum(), 0) << faulty;
    const int verdict = Column("verdict"), failed = Column("solve_failed");
    EXPECT_EQ(w->Table->item(0, verdict)->text(), "sound");
    EXPECT_EQ(w->Table->item(0, failed)->text(), "no");
    if (faulty) {
      int unsound = 0;
      for (int row = 0; row < w->Table->rowCount(); ++row)
        if (w->Table->item(row, verdict)->text() != "sound") ++unsound;
      EXPECT_GT(unsound, 0);
    }
    QAction* item = w->ColumnItems[static_cast<size_t>(failed)];
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_FALSE(w->Table->isColumnHidden(failed));
    EXPECT_GT(w->Table->columnWidth(failed), 0);
    w->CopyClick();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), w->Csv());
    EXPECT_EQ(w->Csv(), PlainCsv());
    EXPECT_EQ(w->Csv().substr(0, w->Csv().find('\n')).find("method,side,travel"), 0u);
    w->close();
  }
}

// Under a desktop language that writes a decimal comma (Qt hands it to the
// C library), the figures keep their points: a comma in a CSV figure would
// split it in two.
TEST_F(EventsWinTest, FiguresKeepTheirPointsUnderACommaLanguage) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no de_DE.UTF-8 locale here";
  auto w = Open();
  w->WaitForTable();
  const QStringList lines = QString::fromStdString(w->Csv()).split('\n', Qt::SkipEmptyParts);
  std::setlocale(LC_ALL, saved.c_str());
  ASSERT_EQ(lines.size(), 1 + 2 * 19 * 3);
  for (const QString& line : lines) EXPECT_EQ(line.count(','), lines.front().count(',')) << line.toStdString();
  const QTableWidgetItem* cutOff = w->Table->item(0, Column("cutoff_pct"));
  EXPECT_TRUE(cutOff->text().contains('.')) << cutOff->text().toStdString();
  EXPECT_TRUE(cutOff->textAlignment() & Qt::AlignRight);
  w->close();
}

// Rows by cut-off: the notches a driver works in, on each side, each row's
// mean cut-off the one asked for.
TEST_F(EventsWinTest, RowsByCutOff) {
  CalcCentre(m());
  auto w = Open();
  w->WaitForTable();
  EXPECT_EQ(w->Table->rowCount(), 2 * 19 * 3);
  w->ByCutOffItem->trigger();
  w->WaitForTable();
  const size_t n = TValveEvents::WindowCutOffs.size();
  ASSERT_EQ(w->Table->rowCount(), static_cast<int>(2 * n * 3));
  const int pct = Column("cutoff_pct"), asked = Column("target_cutoff");
  for (int row = 0; row < w->Table->rowCount(); row += 3) {
    const double front = w->Table->item(row, pct)->text().toDouble(), rear = w->Table->item(row + 1, pct)->text().toDouble();
    const double target = TValveEvents::WindowCutOffs[static_cast<size_t>(row / 3) % n];
    EXPECT_EQ(w->Table->item(row, asked)->text().toDouble(), target);
    EXPECT_NEAR((front + rear) / 2, target, 1e-3) << row;
  }
  w->ByTravelItem->trigger();
  w->WaitForTable();
  EXPECT_EQ(w->Table->rowCount(), 2 * 19 * 3);
  w->close();
}

}  // namespace brevold

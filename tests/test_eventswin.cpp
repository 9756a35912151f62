// The Valve Events window through its real widgets, over the main window.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "diagrams/eventswin.h"
#include "mainwin/mainform.h"
#include "model/dimensions.h"

namespace brevold {

class EventsWinTest : public ::testing::Test {
 protected:
  EventsWinTest() : form(std::make_unique<TMainForm>(app)) {
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
  AppState app;
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

}  // namespace brevold

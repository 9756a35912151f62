// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The events table as a job on another thread, and the headings in lines.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "helpers.h"
#include "model/eventsjob.h"

namespace brevold {
namespace {

using test::Nominal;

// The job works on its own copy: the gear changed after the job was made
// (as a bar step changes it) does not reach the table, which is the one the
// calling thread would have worked out; the count of settings ends full.
TEST(EventsJob, WorksOutTheTableOfTheGearAsItWasOnAnotherThread) {
  ModelState s = Nominal();
  EventRequest r;
  const std::string expected = FormatEvents(ValveEventsTable(s, r), "csv");
  EventsJob job(s, r);
  s.dims.frame.MainRodLen += 1;
  EXPECT_FALSE(job.Finished());
  std::thread worker([&job] { job.Run(); });
  worker.join();
  ASSERT_TRUE(job.Finished());
  EXPECT_FALSE(job.Table().cancelled);
  EXPECT_EQ(FormatEvents(job.Table(), "csv"), expected);
  EXPECT_EQ(job.Total(), 38);
  EXPECT_EQ(job.Done(), 38);
  EXPECT_TRUE(job.Failure().empty());
}

// Cancelled while it runs, it stops at the next setting with the ones done;
// cancelled before it starts, it does none.
TEST(EventsJob, ACancelStopsItBetweenSettings) {
  const ModelState s = Nominal();
  EventsJob job(s, EventRequest{});
  std::thread worker([&job] { job.Run(); });
  while (job.Done() < 1 && !job.Finished()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  job.Cancel();
  worker.join();
  ASSERT_TRUE(job.Finished());
  EXPECT_TRUE(job.Table().cancelled);
  EXPECT_LT(job.Table().rows.size(), 38u);

  EventsJob early(s, EventRequest{});
  early.Cancel();
  early.Run();
  EXPECT_TRUE(early.Table().cancelled);
  EXPECT_TRUE(early.Table().rows.empty());
}

// On a gear whose every search gives up a single setting's turn takes long,
// so a cancel is heard within the turn, before its next solve: the sweep
// stops where the flag went up, and a turn cut short gives no verdict
// rather than one from part of a turn.
TEST(EventsJob, ACancelIsHeardWithinASettingsTurn) {
  ModelState s = Nominal();
  s.dims.frame.LinkTopLevLen = 1e5f;
  std::atomic<bool> cancel{false};
  int seen = 0;
  EXPECT_FALSE(SweepPortRow(s, 1, 361, [](const PortCrossing&) {}, [&](const ModelState&) {
    if (++seen == 4) cancel = true;
  }, &cancel));
  EXPECT_EQ(seen, 4);
  EXPECT_FALSE(TurnSoundness(s, s.mech.RevArmX, true, 1, &cancel));
  cancel = false;
  EXPECT_TRUE(TurnSoundness(s, s.mech.RevArmX, true, 30, &cancel));
}

TEST(EventsHeadings, LongTitlesTakeTwoBalancedLinesWithTheUnitWhole) {
  EXPECT_EQ(HeadingLines("Valve travel"), "Valve travel");  // short enough for one line
  EXPECT_EQ(HeadingLines("Largest opening"), "Largest\nopening");
  EXPECT_EQ(HeadingLines("Cut-off (% stroke)"), "Cut-off\n(% stroke)");
  EXPECT_EQ(HeadingLines("Admission from dead centre (deg)"), "Admission from\ndead centre (deg)");
  EXPECT_EQ(HeadingLines("Compression,driver"), "Compression,driver");  // no space to break at
}

}  // namespace
}  // namespace brevold

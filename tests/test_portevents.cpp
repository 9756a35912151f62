// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The port diagram and the valve-events table share one sweep: the diagram's
// recorded pictures stay as they were, and the table's 4-degree figures are
// the very points the diagram draws its curves through.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "diagrams/diagrampicture.h"
#include "draw_helpers.h"
#include "model/events.h"
#include "model/numfmt.h"

namespace brevold {
namespace {

std::uint64_t Hash(const RecordingCanvas& c) {
  std::uint64_t h = 1469598103934665603ull;
  auto add = [&h](const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 1099511628211ull;
  };
  for (const auto& i : c.items) {
    add(&i.op, sizeof i.op);
    for (const Pt& p : i.pts) add(&p, sizeof p);
    add(i.text.data(), i.text.size());
    add(&i.color, sizeof i.color);
  }
  return h;
}

// The nominal gear, a long main rod, and a gear with less lap and a longer
// eccentric crank.
struct Gear {
  const char* name;
  std::function<void(ModelState&)> change;
};
const Gear kGears[] = {
    {"nominal", [](ModelState&) {}},
    {"long main rod", [](ModelState& s) { SetDim(s, 3, GetDim(s, 3) * 1.3f); }},
    {"short lap, long crank", [](ModelState& s) {
       SetDim(s, 114, GetDim(s, 114) * 1.02f);
       SetDim(s, 16, GetDim(s, 16) * 1.08f);
     }},
};

AppState GearState(const Gear& g) {
  AppState a = Fresh();
  g.change(a.model);
  CalcCentre(a.model);
  return a;
}

RecordingCanvas DrawPort(AppState& a, PortGraphs mode) {
  DiagramState d;
  d.PortGraphMode = mode;
  RecordingCanvas c;
  DrawDiagram(c, a, d, DiagramPicture::Port);
  return c;
}

TEST(PortEvents, PortDiagramDrawsAsRecorded) {
  const std::uint64_t pinned[3][2] = {{1613000422709224301ull, 9869857468588477132ull},
                                      {5164483503824729183ull, 6779121017572784288ull},
                                      {16245877726077356282ull, 2051999880643663479ull}};
  for (int g = 0; g < 3; ++g) {
    AppState a = GearState(kGears[g]);
    const std::uint64_t fwd = Hash(DrawPort(a, PortGraphs::Forward));
    const std::uint64_t rev = Hash(DrawPort(a, PortGraphs::Reverse));
    EXPECT_EQ(fwd, pinned[g][0]) << kGears[g].name;
    EXPECT_EQ(rev, pinned[g][1]) << kGears[g].name;
  }
}

// Every curve segment the diagram draws, from row i-1 to row i, joins the
// table's 4-degree piston positions of that event on those rows.
TEST(PortEvents, StepTableIsWhatTheDiagramDraws) {
  for (const Gear& g : kGears) {
    for (bool fwd : {true, false}) {
      AppState a = GearState(g);
      AppState b = a;
      const RecordingCanvas c = DrawPort(a, fwd ? PortGraphs::Forward : PortGraphs::Reverse);
      EventRequest r;
      r.side = fwd ? EventRequest::Forward : EventRequest::Reverse;
      r.method = EventMethod::Step;
      const EventTable t = ValveEventsTable(b.model, r);
      ASSERT_EQ(t.rows.size(), 19u);
      const Color frontCol = fwd ? 0x808000 : clGreen, rearCol = fwd ? clRed : clMaroon;
      std::multiset<std::vector<int>> drawn, expected;
      for (const auto& i : c.items)
        if (i.op == RecordingCanvas::Op::Line && (i.color == frontCol || i.color == rearCol) && i.pts[1].y < 343)
          drawn.insert({i.color == frontCol, i.pts[0].x, i.pts[0].y, i.pts[1].x, i.pts[1].y});
      std::array<std::optional<LD>, 8> prev;
      for (int row = 0; row < 19; ++row) {
        const EventRow& e = t.rows[static_cast<size_t>(row)];
        const std::optional<EventPoint> pts[8] = {e.front.admission, e.front.release, e.rear.admission, e.rear.release,
                                                  e.front.cutOff, e.front.compression, e.rear.cutOff, e.rear.compression};
        for (int k = 0; k < 8; ++k) {
          if (!pts[k]) continue;
          const bool front = EventAtFront(k);
          auto xm = [front](LD p) { return PixelRound(front ? 0.84375L * p + 9 : (540 - 0.84375L * p) + 9); };
          const LD p = pts[k]->pistonUnits;
          if (prev[static_cast<size_t>(k)])
            expected.insert({front, xm(*prev[static_cast<size_t>(k)]), 359 - 16 * row, xm(p), 343 - 16 * row});
          prev[static_cast<size_t>(k)] = static_cast<float>(p);
        }
      }
      EXPECT_GT(expected.size(), 10u) << g.name;
      EXPECT_EQ(drawn, expected) << g.name << (fwd ? " forward" : " reverse");
    }
  }
}

}  // namespace
}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded diagrams: each diagram drawn as its window's redraw draws it, on
// gears whose searches succeed, give up always or at some angles, raise the
// geometry error or have the solver replace a dimension, and folded into one
// hash of the picture, of what the redraw tells its window (bars, undo
// button, undo line) and of the state it leaves behind. A change meant to
// keep the diagrams must keep these hashes, on any number of threads.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>

#include "diagram_gears.h"
#include "diagrams/diagrampicture.h"
#include "model/dynvars.h"
#include "model/parallel.h"
#include "record_hash.h"

namespace brevold {
namespace {

struct Drawing {
  const char* name;
  DiagramPicture kind;
  PortGraphs mode;
};
const Drawing kDrawings[] = {{"port forward", DiagramPicture::Port, PortGraphs::Forward},
                             {"port reverse", DiagramPicture::Port, PortGraphs::Reverse},
                             {"port both", DiagramPicture::Port, PortGraphs::Both},
                             {"steam", DiagramPicture::Steam, PortGraphs::Forward},
                             {"oval", DiagramPicture::Oval, PortGraphs::Forward},
                             {"sine", DiagramPicture::Sine, PortGraphs::Forward},
                             {"die slip", DiagramPicture::DieSlip, PortGraphs::Forward}};

// Dynamic variables on with a change to undo: the strip's bars, the undo
// button and the undo line come into the drawing.
AppState WithDynamicVariables(const Gear& g) {
  AppState a = GearState(g);
  a.model.dyn.DynVarsOn = true;
  a.model.undo.EditDirty = 1;
  EditorFieldExit(a.model, 3, GetDim(a.model, 3) * 1.05f, "Main Rod Length");
  return a;
}

std::uint64_t Record(AppState a, const Drawing& d) {
  a.diagrams.PortGraphMode = d.mode;
  Fnv f;
  // Twice over, as a window redrawn after a change of the bars is: the
  // second drawing starts from what the first left.
  for (int pass = 0; pass < 2; ++pass) {
    RecordingCanvas c;
    const DiagramControls got = DrawDiagramPicture(c, a, d.kind);
    FoldDrawing(f, c);
    f.Add(got.barsVisible), f.Add(got.barEnabled), f.Add(got.undoVisible);
    f.Add(a.diagrams.UndoText);
    f.Add(a.diagrams.PortGraphMode), f.Add(a.diagrams.PortEventLabels);
    FoldModel(f, a.model);
  }
  return f.h;
}

struct Threads {
  explicit Threads(int n) { SetSweepThreads(n); }
  ~Threads() { SetSweepThreads(0); }
};

// By gear (rows, as kGears), then by drawing (columns, as kDrawings); the
// last row is the nominal gear with dynamic variables on.
constexpr std::uint64_t kPinned[][7] = {
    {4401571167346243917ull, 9368132397504485751ull, 5459191485592516637ull, 3373387952830432387ull, 11271150563940317315ull, 8588421763265483449ull, 13235459882066603221ull},
    {3251567540369782257ull, 13843256680603465255ull, 8667098009287247121ull, 458716144883938307ull, 14649941538702869883ull, 4104103124172123573ull, 7731186306739702621ull},
    {196694007477234889ull, 8845818440775821219ull, 14910192933178627753ull, 18027669235487984759ull, 17568634286438796003ull, 324728333586002043ull, 1402494357914418999ull},
    {1338095622529182929ull, 5691568415398133587ull, 17538965787695850307ull, 14923731751876852501ull, 13460235799165795699ull, 14827864475781514573ull, 15591185333923712259ull},
    {167422009121638861ull, 13017446455668468211ull, 8461271793356767343ull, 13062927319316021691ull, 6002844872048841989ull, 7474293447462472459ull, 13560114948698307119ull},
    {14601672026307223829ull, 4327419686754887407ull, 12329291419813111293ull, 8570563693421316355ull, 16985361031995920869ull, 223299709388840365ull, 6573512974377388155ull},
    {18050209415133255091ull, 2992739757418216355ull, 12034942967316417021ull, 10376929240359638435ull, 16431353400370276616ull, 972600244412965861ull, 17172217010415899303ull},
    {2613477785206647987ull, 16150004763269159343ull, 9029625845866450525ull, 4431593577833059471ull, 5926777008698324857ull, 16363009984348412969ull, 12787355751263013787ull},
};
constexpr size_t kGearCount = std::size(kGears);
static_assert(std::size(kPinned) == kGearCount + 1);

}  // namespace

TEST(RecordedDiagrams, EveryDiagramDrawsAndLeavesAsRecorded) {
  for (int threads : {1, 2, 4}) {
    Threads t(threads);
    for (size_t g = 0; g <= kGearCount; ++g) {
      const AppState start = g < kGearCount ? GearState(kGears[g]) : WithDynamicVariables(kGears[0]);
      const char* gear = g < kGearCount ? kGears[g].name : "nominal, dynamic variables and an undo";
      for (size_t d = 0; d < std::size(kDrawings); ++d)
        EXPECT_EQ(Record(start, kDrawings[d]), kPinned[g][d])
            << gear << ", " << kDrawings[d].name << ", " << threads << " threads";
    }
  }
}

// A painting reads the records and the state and changes neither: painted
// twice from one sweep, each diagram draws the same, and the state (model,
// undo line, port settings) stands as it did before the sweep. The redraw's
// effects come only from ApplyRedraw.
TEST(RecordedDiagrams, PaintingTwiceFromOneSweepDrawsTheSameAndChangesNothing) {
  for (const AppState& start : {WithDynamicVariables(kGears[0]), GearState(kGears[kGearCount - 1])}) {
    for (const Drawing& dr : kDrawings) {
      AppState a = start;
      a.diagrams.PortGraphMode = dr.mode;
      a.diagrams.UndoText = "the last undo line";
      const DiagramKind& kind = KindOf(dr.kind);
      const std::uint64_t before = Left(a.model);
      const DiagramRecords r = kind.sweep(a.model, a.diagrams);
      RecordingCanvas first, second;
      kind.paint(first, a, a.diagrams, r);
      kind.paint(second, a, a.diagrams, r);
      EXPECT_GT(first.items.size(), 50u) << dr.name;
      EXPECT_EQ(Drawn(first), Drawn(second)) << dr.name;
      EXPECT_EQ(Left(a.model), before) << dr.name;
      EXPECT_EQ(a.diagrams.UndoText, "the last undo line") << dr.name;
      EXPECT_EQ(a.diagrams.PortGraphMode, dr.mode) << dr.name;
      EXPECT_TRUE(a.diagrams.PortEventLabels) << dr.name;
      // The undo line drawn first is the one the last redraw left.
      EXPECT_EQ(start.model.dyn.UndoOn, first.FindText("the last undo line") != nullptr) << dr.name;
    }
  }
}

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the bytes of a dimension file, taken through everything a
// user's file meets after "&OpenDimensions" - the loader, the reverse-arm
// bar, solves round the wheel, the centre, a frame with the steam display
// (and, for some inputs, the dimension highlight) and, for about one input
// in sixteen, the four diagram sweeps, which are slow under the sanitizers.
// BREVOLD_FUZZ_SWEEP_EVERY=N (a power of two from 16) sweeps one input in
// N instead, for the long runs: the inputs that sweep are among those that
// sweep at 16, everything else is done for every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "diagrams/diagrampicture.h"
#include "fuzz/countcanvas.h"
#include "mainwin/mechdraw.h"
#include "model/dimensions.h"
#include "model/dimfile.h"
#include "model/revarm.h"
#include "model/state.h"

using namespace brevold;

namespace {

// FNV-1a over the input: picks the costly extras without spending a byte of
// the file on them, so every input is also a plain dimension file.
std::uint32_t Hash(const std::uint8_t* data, std::size_t size) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

// One input in how many runs the sweeps: 16, or the power of two given.
std::uint32_t SweepEvery() {
  std::uint32_t every = 16;
  if (const char* e = std::getenv("BREVOLD_FUZZ_SWEEP_EVERY")) {
    const unsigned long n = std::strtoul(e, nullptr, 10);
    if (n >= 16 && n <= (1ul << 30) && (n & (n - 1)) == 0) every = static_cast<std::uint32_t>(n);
  }
  return every;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DimFileImage img;
  if (!DecodeDimFile(data, size, img).ok) return 0;
  const std::uint32_t h = Hash(data, size);

  AppState a;
  ModelState& s = a.model;
  StartUp(s);
  ApplyDimFile(s, img);
  // The window's bar starts at mid gear; moving it off sets RevArmX.
  const int p = RevArmBarPosition(s);
  if (p != 0) s.mech.RevArmX = RevArmFromBar(s, p);

  for (float angle : {0.0f, 90.0f, 180.0f, 270.0f}) {
    s.mech.DrvAngle = angle;
    Solve(s);
    PostCalc(s);
  }
  CalcCentre(s);

  fuzz::CountingCanvas c;
  a.screen.SteamDisp = true;
  s.mech.DrvAngle = 30;
  // A quarter of the inputs also highlight a dimension: its first frame
  // zooms the view, the second draws the steam at the zoomed scale.
  int frames = 1;
  if ((h >> 8) % 4 == 0) {
    a.screen.HiliteDim = DimTable()[(h >> 16) % DimTable().size()].id;
    frames = 2;
  }
  for (int f = 0; f < frames; ++f) {
    c.NewPicture("a frame");
    AdvanceFrame(a, "");
    PaintFrame(c, a);
  }

  static const std::uint32_t sweepEvery = SweepEvery();
  if (h % sweepEvery == 0) {
    DiagramState d;
    for (const DiagramKind& k : DiagramKinds()) {
      c.NewPicture(k.title);
      DrawDiagram(c, a, d, k.kind);
    }
  }
  return 0;
}

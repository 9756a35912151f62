// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: wild dimension values typed into the editors. The input is a
// header byte and then records of six bytes - which dimension, how to read
// the value, four value bytes - each stored through the editors' exit
// action. Then the gear is solved round the wheel, mid gear calculated, a
// dynamic-variable bar moved and undone. An undo must change exactly the
// dimension it undoes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "model/dimensions.h"
#include "model/dynvars.h"
#include "model/revarm.h"
#include "model/state.h"

using namespace brevold;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Values that have broken gears before: non-finite, huge, tiny, signed zero,
// and long numbers a 10-character field would cut.
const float kWild[] = {kNaN, kInf, -kInf, 1e38f, -1e38f, 3.4028235e38f, 0.0f, -0.0f, 1e-9f, 1.4e-45f, 1e-38f,
                       -1, 1e10f, 12345678901.0f, 1e5f, 1e8f, 0.001f, 0.5f};

// Reads the value of one record: 0 the raw bits, 1 one of the wild values,
// 2 the present value times a factor near 1 (a gear that still closes),
// 3 a whole number of thousandths.
float ValueOf(const ModelState& s, int id, std::uint8_t how, const std::uint8_t* b) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, b, 4);
  switch (how % 4) {
    case 0: {
      float v;
      std::memcpy(&v, &bits, 4);
      return v;
    }
    case 1:
      return kWild[b[0] % (sizeof kWild / sizeof kWild[0])];
    case 2:
      return GetDim(s, id) * (1.0f + static_cast<std::int16_t>(bits & 0xFFFF) / 8192.0f);
    default:
      return static_cast<float>(static_cast<std::int32_t>(bits)) / 1000.0f;
  }
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void SolveRound(ModelState& s) {
  for (int angle = 0; angle < 360; angle += 90) {
    s.mech.ErrFlag = 0;
    s.mech.DrvAngle = static_cast<float>(angle);
    Solve(s);
    PostCalc(s);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t head = data[0];
  ModelState s;
  StartUp(s);
  const auto& table = DimTable();

  for (std::size_t at = 1; at + 6 <= size; at += 6) {
    const DimInfo& d = table[data[at] % table.size()];
    const float v = ValueOf(s, d.id, data[at + 1], data + at + 2);
    // Most entries are typed into the field; the rest only pass through it.
    s.undo.EditDirty = (data[at + 1] & 0x80) ? 0 : 1;
    EditorFieldExit(s, d.id, v, d.shortName);
  }

  SolveRound(s);
  CalcCentre(s);

  static const float kInc[] = {0.001f, -0.001f, 0.1f, -1, 1000, 1e30f, -1e-30f, kNaN, kInf};
  s.dyn.DynSel = 1 + head % 4;
  s.ScrollInc = kInc[(head >> 2) % (sizeof kInc / sizeof kInc[0])];
  ApplyDynVar(s);
  SolveRound(s);

  // Undo everything on the stack, one entry at a time.
  for (int n = 0; n <= UndoDepth && s.undo.UndoId[1] != 0; ++n) {
    std::vector<float> before(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) before[i] = GetDim(s, table[i].id);
    const int undone = static_cast<int>(s.undo.UndoId[1]);
    Undo(s);
    for (std::size_t i = 0; i < table.size(); ++i)
      if (table[i].id != undone && !SameBits(before[i], GetDim(s, table[i].id))) {
        std::fprintf(stderr, "undo of dimension %d changed dimension %d from %.9g to %.9g\n", undone, table[i].id,
                     before[i], GetDim(s, table[i].id));
        std::abort();
      }
  }
  SolveRound(s);
  CalcCentre(s);
  return 0;
}

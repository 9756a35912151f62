// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Recorded pictures and states folded into one 64-bit hash each (FNV-1a):
// everything drawn (operation, points, text, colours, pen, font) and every
// field a solve or a sweep can leave behind. A change meant to keep the
// pictures must keep the hashes the tests pin.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "draw_helpers.h"

namespace brevold {

struct Fnv {
  std::uint64_t h = 1469598103934665603ull;
  void Bytes(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
  }
  template <class T>
  void Add(const T& v) {
    Bytes(&v, sizeof v);
  }
  void Add(const std::string& s) {
    Add(s.size());
    Bytes(s.data(), s.size());
  }
};

inline void FoldDrawing(Fnv& f, const RecordingCanvas& c) {
  for (const auto& i : c.items) {
    f.Add(static_cast<int>(i.op));
    for (const Pt& p : i.pts) {
      f.Add(p.x);
      f.Add(p.y);
    }
    f.Add(i.text);
    f.Add(i.color);
    f.Add(i.width);
    f.Add(static_cast<int>(i.font.face));
    f.Add(i.font.points);
    f.Add(i.font.bold);
    f.Add(i.font.underline);
    f.Add(i.font.color);
    f.Add(i.font.stretch);
    f.Add(i.opaque);
  }
}

inline std::uint64_t Drawn(const RecordingCanvas& c) {
  Fnv f;
  FoldDrawing(f, c);
  return f.h;
}

// Everything a solve or a sweep can leave in the model, flags included,
// field by field.
inline void FoldModel(Fnv& f, const ModelState& s) {
  const Mechanism& m = s.mech;
  f.Add(m.PtX), f.Add(m.PtY);
  for (float v : {m.DrvAngle, m.RevArmX, m.LinkAng, m.LiftArmSgn, m.EccDiaSolved, m.CalcTmp, m.CalcDen, m.CalcAng,
                  m.IterStep, m.IterTol, m.CloseDist, s.DiagLastRevArm})
    f.Add(v);
  f.Add(m.CalcStatus), f.Add(m.ErrFlag), f.Add(m.BeepOnError);
  f.Add(s.valve);
  f.Add(s.dims.frame);
}

inline std::uint64_t Left(const ModelState& s) {
  Fnv f;
  FoldModel(f, s);
  return f.h;
}

}  // namespace brevold

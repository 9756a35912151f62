// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's JSON objects written a key at a time: numbers as the
// shortest text that reads back, non-finite values as null.
#pragma once
#include <array>
#include <cmath>
#include <string>

#include "model/numfmt.h"

namespace brevold::jsontext {

inline void Append(std::string& o, long double v) {
  if (!std::isfinite(v)) {
    o += "null";
    return;
  }
  o += Figures(static_cast<double>(v), 9);
}

// A single as the shortest text that reads back as the same single.
inline void AppendSingle(std::string& o, float v) {
  if (!std::isfinite(v)) {
    o += "null";
    return;
  }
  o += ShortestText(v);
}

template <size_t N>
void AppendArray(std::string& o, const std::array<float, N>& a, void (*append)(std::string&, float)) {
  o += '[';
  for (size_t i = 0; i < N; ++i) {
    if (i) o += ',';
    append(o, a[i]);
  }
  o += ']';
}

template <size_t N>
void AppendArray(std::string& o, const std::array<float, N>& a) {
  AppendArray(o, a, [](std::string& t, float v) { Append(t, v); });
}

inline void Key(std::string& o, const char* k) {
  if (o.size() > 1) o += ',';
  o += '"';
  o += k;
  o += "\":";
}

}  // namespace brevold::jsontext

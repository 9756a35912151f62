// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' own reading of a number the program wrote: the C form (a point
// for the decimals) whatever the process locale is, leading blanks skipped,
// as std::from_chars reads it. NaN for text that starts with no number.
#pragma once
#include <charconv>
#include <cmath>
#include <string_view>

namespace brevold {

template <typename T>
T CNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  T v{};
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  return r.ec == std::errc() ? v : static_cast<T>(NAN);
}

inline double CDouble(std::string_view text) { return CNumber<double>(text); }
inline float CFloat(std::string_view text) { return CNumber<float>(text); }

}  // namespace brevold

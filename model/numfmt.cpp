// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Rounding to pixels, Str(v:w:d) and the reading of typed numbers.
#include "model/numfmt.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace brevold {

// rint rounds exactly as nearbyint does, in the current rounding mode (ties
// to even, the only mode the program uses); it only may raise the inexact
// flag, which nothing reads, and it does not save and restore the
// floating-point environment as nearbyint does on every call.
int RoundEven(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<long double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<long double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(std::rint(v));
}

int PixelRound(long double v) {
  if (std::isnan(v)) return 0;
  if (v > PixelLimit) return PixelLimit;
  if (v < -PixelLimit) return -PixelLimit;
  return static_cast<int>(std::rint(v));
}

namespace {

// Non-finite values as the C library writes them.
bool NotFinite(long double v, std::string& out) {
  if (std::isnan(v)) out = std::signbit(v) ? "-nan" : "nan";
  else if (std::isinf(v)) out = v < 0 ? "-inf" : "inf";
  else return false;
  return true;
}

template <typename T, typename... Format>
std::string ToChars(T v, Format... format) {
  std::string out;
  if (NotFinite(v, out)) return out;
  // Room for the longest fixed-point long double and its decimals.
  std::vector<char> buf(5000 + 64);
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, format...);
  if (r.ec != std::errc()) return std::string();
  return std::string(buf.data(), r.ptr);
}

}  // namespace

std::string Str(long double v, int width, int decimals) {
  if (width < 0) width = 0;
  if (width > 255) width = 255;
  if (decimals < 0) decimals = 0;
  if (decimals > 30) decimals = 30;
  std::string s = ToChars(v, std::chars_format::fixed, decimals);
  if (s.size() < static_cast<size_t>(width)) s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
  return s;
}

std::string ShortestText(double v) { return ToChars(v); }
std::string ShortestText(float v) { return ToChars(v); }

double SingleAsDouble(float v) {
  const std::string text = ShortestText(v);
  double d = 0;
  std::from_chars(text.data(), text.data() + text.size(), d);
  return static_cast<float>(d) == v ? d : static_cast<double>(v);
}
std::string Figures(double v, int figures) { return ToChars(v, std::chars_format::general, figures); }

}  // namespace brevold

#include <cctype>
#include <cfloat>
#include <cstdlib>

namespace brevold {

bool ReadNumber(const std::string& text, float& value) {
  value = 0;
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  const std::string t = text.substr(b, e - b);
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t exp = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++exp;
    if (exp == 0) return false;
  }
  if (i != t.size()) return false;
  // from_chars reads the C locale's way whatever the process's locale; it
  // takes no leading plus.
  const char* first = t.data() + (t[0] == '+' ? 1 : 0);
  long double v = 0;
  const auto r = std::from_chars(first, t.data() + t.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too small for any floating type reads as 0, too large does not read.
    const size_t e = t.find_first_of("eE");
    return e != std::string::npos && e + 1 < t.size() && t[e + 1] == '-';
  }
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
  if (!(v <= FLT_MAX && v >= -FLT_MAX)) return false;
  value = static_cast<float>(v);
  return true;
}

float NumberOr(const std::string& text, float stored) {
  float v = 0;
  return ReadNumber(text, v) ? v : stored;
}

}  // namespace brevold

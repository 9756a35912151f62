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

std::string Str(long double v, int width, int decimals) {
  if (width < 0) width = 0;
  if (width > 255) width = 255;
  if (decimals < 0) decimals = 0;
  if (decimals > 30) decimals = 30;
  char small[96];
  int n = std::snprintf(small, sizeof small, "%*.*Lf", width, decimals, v);
  if (n < 0) return std::string();
  if (n < static_cast<int>(sizeof small)) return std::string(small, static_cast<size_t>(n));
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::snprintf(big.data(), big.size(), "%*.*Lf", width, decimals, v);
  return std::string(big.data(), static_cast<size_t>(n));
}

namespace {

std::string NotFinite(double v) { return std::isnan(v) ? "nan" : v > 0 ? "inf" : "-inf"; }

}  // namespace

// std::to_chars neither reads the locale nor writes a grouping or a decimal
// comma.
std::string ShortestText(double v) {
  if (!std::isfinite(v)) return NotFinite(v);
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string ShortestText(float v) {
  if (!std::isfinite(v)) return NotFinite(v);
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string Figures(double v, int figures) {
  if (!std::isfinite(v)) return NotFinite(v);
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, figures < 1 ? 1 : figures > 17 ? 17 : figures);
  return std::string(buf, r.ptr);
}

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
  if (t.empty() || t == "-" || t == "." || t == "+" || t == "-." || t == "+.") return true;
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
  const long double v = std::strtold(t.c_str(), nullptr);
  if (!(v <= FLT_MAX && v >= -FLT_MAX)) return false;
  value = static_cast<float>(v);
  return true;
}

}  // namespace brevold

#include "model/numfmt.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

namespace brevold {

int RoundEven(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<long double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<long double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(std::nearbyint(v));
}

int PixelRound(long double v) {
  if (std::isnan(v)) return 0;
  if (v > PixelLimit) return PixelLimit;
  if (v < -PixelLimit) return -PixelLimit;
  return static_cast<int>(std::nearbyint(v));
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

}  // namespace brevold

// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sine and cosine of one extended-precision angle together, for the solver's
// inner passes. Its angles stay within a few turns, where the library spends
// most of its time in a general argument reduction built for any size of
// angle. Here the angle is brought to within an eighth of a turn of a
// multiple of a right angle by subtracting a three-part right angle (exact
// for the first two parts), then both functions come from short polynomials
// with the rounding errors of their large terms carried along. Against a
// 113-bit reference the results are within 0.514 units in the last place
// from -20 to 20 radians; the library's reach 0.53 below pi/4 and 1.5
// beyond. Angles past 64 radians, infinities and NaNs go to the library.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "model/numfmt.h"

namespace brevold::trig {

namespace detail {

// The right angle in three parts: the first two carry at most 41 significant
// bits each, so their multiples by a whole number below 64 are exact.
constexpr LD kHalfPi1 = 0x1.921fb54442p+0L;
constexpr LD kHalfPi2 = 0x1.a308d31318p-41L;
constexpr LD kHalfPi3 = 0x1.8a2e03707344a40ap-81L;
constexpr LD kTwoOverPi = 0.636619772367581343075535053490057448L;

// s + e = a + b exactly, s being the rounded sum.
inline void TwoSum(LD a, LD b, LD& s, LD& e) {
  s = a + b;
  const LD bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// sin and cos of y + t, |y| <= pi/4 (and a little), |t| at most half an ulp
// of y. The leading terms (y - y^3/6 and 1 - y^2/2 + y^4/24) are carried
// with their rounding errors; the series' tails are small enough for plain
// arithmetic. y is split into a high part of 16 significant bits, whose
// square, cube and fourth power are exact, and a low part 2^-16 as large
// that only enters corrections.
inline void Kernel(LD y, LD t, LD& s, LD& c) {
  // Near-minimax fits on z in [0, 0.617] (|y| up to a little past pi/4) of
  // (sin y - y + y^3/6) / y^5 and (cos y - 1 + z/2 - z^2/24) / z^3, within
  // 2^-74 and 2^-79; the first coefficients are 1/5! and -1/6! to within a
  // few ulps.
  constexpr LD s0 = 0x1.1111111111111110p-7L, s1 = -0x1.a01a01a01a019ceap-13L, s2 = 0x1.71de3a556c5e9058p-19L,
               s3 = -0x1.ae64567eefd7ab26p-26L, s4 = 0x1.61246051db49af84p-33L, s5 = -0x1.ae7d151a12bbdb3ap-41L,
               s6 = 0x1.929f8e17ed4cae26p-49L;
  constexpr LD c0 = -0x1.6c16c16c16c16c16p-10L, c1 = 0x1.a01a01a01a019ed4p-16L, c2 = -0x1.27e4fb7789ed82c2p-22L,
               c3 = 0x1.1eed8eff65557aacp-29L, c4 = -0x1.939749d1d0eada60p-37L, c5 = 0x1.ae7d839adaf5df08p-45L,
               c6 = -0x1.661d0c5fc7d3a05cp-53L;
  constexpr LD kSixth = 1 / 6.0L, k24th = 1 / 24.0L;
  const LD sp = y * 281474976710657.0L;  // 2^48 + 1
  const LD yh = sp - (sp - y), yl = y - yh;
  const LD yh2 = yh * yh, yh3 = yh2 * yh, yh4 = yh2 * yh2;  // exact
  const LD z = y * y, zz = z * z;
  const LD d2 = yl * (y + yh);           // y^2 - yh^2
  const LD d3 = yl * (z + y * yh + yh2);  // y^3 - yh^3
  const LD d4 = d2 * (z + yh2);          // y^4 - yh^4
  // Series tails in z, in Estrin's order (short dependency chains).
  const LD z4 = zz * zz;
  const LD ps = ((s0 + z * s1) + zz * (s2 + z * s3)) + z4 * ((s4 + z * s5) + zz * s6);
  const LD pc = ((c0 + z * c1) + zz * (c2 + z * c3)) + z4 * ((c4 + z * c5) + zz * c6);

  // sin: y^3/6 = cube6 + cube6Err. yh^3 - 6 cube6 is exact: each of the two
  // subtractions takes away between half and all of what is left.
  const LD cube6 = yh3 * kSixth;
  const LD cube6Err = (((yh3 - cube6 * 4) - cube6 * 2) + d3) * kSixth;
  LD sh, sl;
  TwoSum(y, -cube6, sh, sl);
  s = sh + (sl - cube6Err + y * zz * ps + t * (1 - z / 2 + zz * k24th));

  // cos: 1 - yh^2/2 exactly as w + wl; y^4/24 = q4 + q4Err as above.
  const LD hz = yh2 / 2;
  const LD w = 1 - hz;
  const LD wl = (1 - w) - hz;
  const LD q4 = yh4 * k24th;
  const LD q4Err = (((yh4 - q4 * 16) - q4 * 8) + d4) * k24th;
  c = w + (wl + (q4 + ((q4Err - d2 / 2) + zz * z * pc - y * t * (1 - z * kSixth))));
}

}  // namespace detail

// The construction needs the x87 80-bit format (64-bit significand, stored
// little end first); anywhere else the library does the work.
#if defined(__x86_64__) || defined(__i386__)
constexpr bool kX87 = std::numeric_limits<LD>::digits == 64;
#else
constexpr bool kX87 = false;
#endif

inline void SinCos(LD x, LD& s, LD& c) {
  if (!kX87 || !(std::fabs(x) <= 64) || x == 0) {
    s = std::sin(x);
    c = std::cos(x);
    return;
  }
  // Nearest whole number of right angles (adding 1.5 * 2^63 rounds to a whole number).
  // The sum's low significand bits hold that number, so the quadrant is read
  // from them rather than through a conversion to an integer.
  const LD big = x * detail::kTwoOverPi + 0x1.8p63L;
  const LD nl = big - 0x1.8p63L;
  std::uint64_t bits;
  std::memcpy(&bits, &big, sizeof bits);  // the 64-bit significand
  const unsigned quadrant = static_cast<unsigned>(bits) & 3;
  LD y = x, t = 0;
  if (nl != 0) {
    const LD r1 = x - nl * detail::kHalfPi1;  // exact
    LD e;
    detail::TwoSum(r1, -(nl * detail::kHalfPi2), y, e);
    e -= nl * detail::kHalfPi3;
    const LD y2 = y + e;
    t = e - (y2 - y);
    y = y2;
  }
  LD sy, cy;
  detail::Kernel(y, t, sy, cy);
  switch (quadrant) {
    case 0: s = sy; c = cy; break;
    case 1: s = cy; c = -sy; break;
    case 2: s = -sy; c = -cy; break;
    default: s = -cy; c = sy; break;
  }
}

}  // namespace brevold::trig

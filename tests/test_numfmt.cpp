// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cmath>
#include <limits>

#include "model/numfmt.h"
#include "textnum.h"

namespace brevold {

TEST(Rounding, TiesGoToEvenAndWildValuesAreClamped) {
  EXPECT_EQ(RoundEven(2.5L), 2);
  EXPECT_EQ(RoundEven(3.5L), 4);
  EXPECT_EQ(RoundEven(-2.5L), -2);
  EXPECT_EQ(RoundEven(-2.6L), -3);
  EXPECT_EQ(RoundEven(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundEven(1e30L), INT_MAX);
  EXPECT_EQ(RoundEven(-1e30L), INT_MIN);
  EXPECT_EQ(PixelRound(1e30L), PixelLimit);
  EXPECT_EQ(PixelRound(-std::numeric_limits<long double>::infinity()), -PixelLimit);
  EXPECT_EQ(PixelRound(280.5L), 280);
}

TEST(StrFormat, RightAlignsToWidthWithFixedDecimals) {
  EXPECT_EQ(Str(9.7657L, 6, 3), " 9.766");
  EXPECT_EQ(Str(-0.7L, 6, 3), "-0.700");
  EXPECT_EQ(Str(123456.0L, 6, 3), "123456.000");  // never truncated
  EXPECT_EQ(Str(2, 2, 0), " 2");
  EXPECT_EQ(Str(45, 6, 2), " 45.00");
  EXPECT_EQ(Str(1e300L, 6, 3).size(), 305u);  // long texts are not cut off
}

}  // namespace brevold

namespace brevold {

TEST(ReadingNumbers, TypedFormsAndTheSettledEmptyCases) {
  float v = -1;
  // No number: a field showing one of these keeps what it stored.
  for (const char* none : {"", "-", ".", "   ", "-.", "+", "+."}) {
    EXPECT_FALSE(ReadNumber(none, v)) << none;
    EXPECT_EQ(v, 0.0f) << none;
    EXPECT_EQ(NumberOr(none, 2.5f), 2.5f) << none;
  }
  EXPECT_EQ(NumberOr("1-2", 2.5f), 2.5f);
  EXPECT_EQ(NumberOr(" 0 ", 2.5f), 0.0f);
  EXPECT_TRUE(ReadNumber("  -1.25", v));
  EXPECT_FLOAT_EQ(v, -1.25f);
  EXPECT_TRUE(ReadNumber("5.", v));
  EXPECT_FLOAT_EQ(v, 5);
  EXPECT_TRUE(ReadNumber(".5", v));
  EXPECT_FLOAT_EQ(v, 0.5f);
  EXPECT_TRUE(ReadNumber("2.5e3", v));
  EXPECT_FLOAT_EQ(v, 2500);
  EXPECT_TRUE(ReadNumber("1000000000000000000000000000000", v));
  EXPECT_FLOAT_EQ(v, 1e30f);
  for (const char* bad : {"5-", "1-2", "--1", "1.2.3", "e5", "1e", "abc", "1e39", "0x10", "nan", "inf"}) {
    EXPECT_FALSE(ReadNumber(bad, v)) << bad;
    EXPECT_EQ(v, 0.0f) << bad;
  }
}

// Texts that a script reads back: the shortest that gives the same number,
// or a few figures for reading; a point, never a comma.
TEST(NumberTexts, ShortestRoundTripsAndFiguresRound) {
  EXPECT_EQ(ShortestText(0.1), "0.1");
  EXPECT_EQ(ShortestText(5.97f), "5.97");
  EXPECT_EQ(ShortestText(static_cast<double>(5.97f)), "5.96999979019165");
  for (double v : {1.0 / 3, -2.5e-7, 7.633227636849132, 1e300})
    EXPECT_EQ(CDouble(ShortestText(v)), v) << ShortestText(v);
  EXPECT_EQ(Figures(7.633227636849132, 4), "7.633");
  EXPECT_EQ(Figures(-1.6212e-5, 4), "-1.621e-05");
  EXPECT_EQ(Figures(0.01, 4), "0.01");
  EXPECT_EQ(ShortestText(std::nan("")), "nan");
  EXPECT_EQ(Figures(-INFINITY, 4), "-inf");
}

}  // namespace brevold

#include <clocale>
#include <string>

#include "model/events.h"
#include "model/state.h"

namespace brevold {

// The program's numbers are written and read with a decimal point whatever
// the process's locale: Qt sets the C library's locale from the user's, and
// a German desktop writes 7,875.
TEST(NumbersInAnyLocale, DecimalCommaLocaleChangesNothing) {
  const std::string was = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
    GTEST_SKIP() << "no de_DE locale here";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  EXPECT_STREQ(probe, "1,5");  // the C library's own formatting does follow it
  EXPECT_EQ(Str(7.875L, 6, 3), " 7.875");
  EXPECT_EQ(ShortestText(0.3f), "0.3");
  EXPECT_EQ(ShortestText(0.1), "0.1");
  EXPECT_EQ(Figures(86.46712345, 6), "86.4671");
  float v = 0;
  EXPECT_TRUE(ReadNumber("18.25", v));
  EXPECT_EQ(v, 18.25f);
  EXPECT_FALSE(ReadNumber("4,5", v));
  // The events table as CSV: every line has the header's fields.
  ModelState s;
  StartUp(s);
  EventRequest r;
  r.method = EventMethod::Step;
  r.side = EventRequest::Forward;
  r.values = {0.3f};
  const std::string csv = FormatEvents(ValveEventsTable(s, r), "csv");
  std::setlocale(LC_ALL, was.c_str());
  size_t lines = 0, start = 0;
  for (size_t end; (end = csv.find('\n', start)) != std::string::npos; start = end + 1, ++lines)
    EXPECT_EQ(std::count(csv.begin() + static_cast<long>(start), csv.begin() + static_cast<long>(end), ','),
              static_cast<long>(EventColumns().size() - 1));
  EXPECT_EQ(lines, 4u);
  EXPECT_EQ(csv.find("0,3"), std::string::npos);
}

}  // namespace brevold

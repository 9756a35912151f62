// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Number helpers shared by every window: rounding to pixels and the
// right-aligned fixed-decimal text used by all readouts.
#pragma once
#include <string>

namespace brevold {

// The extended precision all intermediate arithmetic is done in.
using LD = long double;

// Nearest integer, ties to even. NaN gives 0 and values beyond the int range
// are clamped, so a wild value can never become undefined behaviour.
int RoundEven(long double v);

// A pixel coordinate: RoundEven, clamped to +-PixelLimit so that a broken
// linkage still draws as a (clipped) line instead of overflowing the painter.
constexpr int PixelLimit = 1000000;
int PixelRound(long double v);

// Str(v:w:d): v with d decimals, right-aligned in at least w characters.
// Always with a decimal point, whatever the process's locale.
std::string Str(long double v, int width, int decimals);

// The shortest text that reads back as the same double, or the same single
// ("0.3" for the single nearest 0.3); "inf", "-inf" or "nan" for values that
// are not finite. Independent of the process's locale.
std::string ShortestText(double v);
std::string ShortestText(float v);
// A finite single as the double a JSON writer should hold so that it writes
// the single's shortest text: that text read as a double, or, for the few
// singles whose text would round twice and come back as the next single,
// the double the single exactly is.
double SingleAsDouble(float v);
// `figures` significant figures, as printf's "%.*g" writes them in the C locale.
std::string Figures(double v, int figures);

}  // namespace brevold

namespace brevold {

// Reads a typed number: blanks around it, an optional sign, digits with at
// most one decimal point, an optional exponent. Returns false (value 0) for
// anything else, or a number beyond single precision; an empty text and a
// lone sign or point ("-", ".", "-.") are no number either.
bool ReadNumber(const std::string& text, float& value);

// What every number field stores when it is read: the number its text is,
// or, when the text is no number (an empty field, a lone "-", "1-2"), the
// value that was stored before, so that nothing changes and no undo entry
// is recorded.
float NumberOr(const std::string& text, float stored);

}  // namespace brevold

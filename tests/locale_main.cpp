// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest main for the tests without windows: the process takes the
// user's locale first, as the program does once Qt has started, so that a
// run under a decimal-comma locale checks that numbers are written and read
// the same whatever it is.
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and runs every test: once in a normal
# build (and again under a decimal-comma locale), once with
# AddressSanitizer and UndefinedBehaviorSanitizer, then fuzzes the
# dimension-file loader, the editors' values, the JSON form and the command
# line's options for a minute each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

bash scripts/build.sh build -DBREVOLD_TESTS=ON -DBREVOLD_BENCH=ON
(cd build && ctest --output-on-failure -j"$(nproc)")
# Again under a decimal-comma locale: no number may change. Every test
# program takes the user's locale as the program does (the windows' tests
# through Qt, the others at their start), and so does the command line.
(cd build && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 ctest --output-on-failure -j"$(nproc)")

bash scripts/build.sh build-asan -DBREVOLD_SANITIZE=ON -DBREVOLD_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

bash scripts/fuzz.sh 60

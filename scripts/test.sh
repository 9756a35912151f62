#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in a normal
# build (the windows' tests again under a decimal-comma locale), once with
# AddressSanitizer and UndefinedBehaviorSanitizer, then fuzzes the
# dimension-file loader and the editors' values for a minute each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

bash scripts/build.sh build -DBREVOLD_TESTS=ON -DBREVOLD_BENCH=ON
(cd build && ctest --output-on-failure -j"$(nproc)")
# Again under a decimal-comma locale: the windows' numbers must not change.
# (The windows' tests are the ones whose process takes the locale, as Qt
# sets it from the user's.)
LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 build/tests/gui_tests

bash scripts/build.sh build-asan -DBREVOLD_SANITIZE=ON -DBREVOLD_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"$(nproc)")

bash scripts/fuzz.sh 60

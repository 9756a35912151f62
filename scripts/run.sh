#!/usr/bin/env bash
# Installs what is missing, builds and starts the simulator (from the build
# folder, where its instruction texts and sounds are).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The program alone: the tests and benchmarks are not built.
bash scripts/build.sh build -DBREVOLD_TESTS=OFF -DBREVOLD_BENCH=OFF
cd build
exec ./brevold "$@"

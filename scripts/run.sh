#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The BREVOLD developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds and starts the simulator (from the build
# folder, where its instruction texts and sounds are).
set -euo pipefail
# A file named relative to the caller's folder still names it from the build
# folder; options are passed as they are.
args=()
for a in "$@"; do
  if [[ $a != -* && $a != /* && -n $a ]]; then a="$PWD/$a"; fi
  args+=("$a")
done
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# The program alone: the tests and benchmarks are not built.
bash scripts/build.sh build -DBREVOLD_TESTS=OFF -DBREVOLD_BENCH=OFF
cd build
exec ./brevold "${args[@]+"${args[@]}"}"

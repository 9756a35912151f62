#!/usr/bin/env bash
# Configures and builds BREVOLD into build/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build}"
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$dir" -j"$(nproc)"

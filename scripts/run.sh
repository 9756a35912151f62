#!/usr/bin/env bash
# Installs what is missing, builds and starts the simulator (from the build
# folder, where its instruction texts and sounds are).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
cd build
exec ./brevold "$@"

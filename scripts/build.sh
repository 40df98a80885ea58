#!/usr/bin/env bash
# Installs what is missing and builds Ledgerlift (with its demo product folder
# beside the program). Usage: scripts/build.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${1:-build}
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGERLIFT_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"

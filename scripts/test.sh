#!/usr/bin/env bash
# Installs what is missing, builds Ledgerlift and runs every test.
# Usage: scripts/test.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${1:-build}" --output-on-failure -j"$(nproc)"

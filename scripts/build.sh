#!/usr/bin/env bash
# Installs what is missing and builds Ledgerlift (with its demo product folder
# beside the program), a line per step. Usage: scripts/build.sh [build-dir]
# [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
echo "== Checking the Debian packages that the build needs" >&2
bash scripts/install-deps.sh
echo "== Configuring $build" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGERLIFT_WERROR=ON "$@" >/dev/null
echo "== Building in $build (the first build takes several minutes)" >&2
cmake --build "$build" -j"$(nproc)"

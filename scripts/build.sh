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
# ccache keeps compiled objects between builds (its folder, ~/.cache/ccache,
# survives from one run to the next on the same machine); paths below the
# checkout are hashed relative to it, so two checkouts share the cache.
launcher=()
if command -v ccache >/dev/null 2>&1; then
    ccache_run="env;CCACHE_BASEDIR=$PWD;CCACHE_NOHASHDIR=1;ccache"
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER="$ccache_run" -DCMAKE_CXX_COMPILER_LAUNCHER="$ccache_run")
fi
echo "== Configuring $build" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGERLIFT_WERROR=ON "${launcher[@]}" "$@" >/dev/null
echo "== Building in $build (the first build takes several minutes)" >&2
cmake --build "$build" -j"$(nproc)"

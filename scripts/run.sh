#!/usr/bin/env bash
# Installs what is missing, builds Ledgerlift and opens its window on the
# bundled demo company. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec build/ledgerlift "$@"

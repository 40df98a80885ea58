#!/usr/bin/env bash
# Installs what is missing, builds Ledgerlift and opens its window on the
# bundled demo company. Extra arguments go to the program. The first build
# shows its progress, a line per step; later ones show it only on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -x build/ledgerlift ]; then
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    bash scripts/build.sh >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
else
    echo "== First run: installing what is missing and building Ledgerlift" >&2
    bash scripts/build.sh >&2
fi
# The demo beside the program, unless the caller names another product folder
# (--product-folder still comes first).
export LEDGERLIFT_PRODUCT_FOLDER=${LEDGERLIFT_PRODUCT_FOLDER:-$PWD/build}
exec build/ledgerlift "$@"

#!/usr/bin/env bash
# Installs what is missing, builds Ledgerlift and opens its window on the
# bundled demo company. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
exec build/ledgerlift "$@"

#!/usr/bin/env bash
# Installs, with apt-get, every Debian package that building, running and
# testing Ledgerlift needs. Packages that are already there are left alone.
set -euo pipefail
packages=(
    build-essential cmake pkg-config ccache
    qt6-base-dev qt6-svg-dev libgl1-mesa-dev
    libsqlite3-dev libfreexl-dev libgsf-1-dev libxml2-dev libcli11-dev libxlsxwriter-dev nlohmann-json3-dev
    libcairo2-dev libpango1.0-dev fonts-dejavu-core
    libgtest-dev googletest
    python3 python3-xlwt python3-xlsxwriter python3-openpyxl
    xvfb xauth poppler-utils
    desktop-file-utils appstream file dpkg-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need. Idempotent; run as root.
set -euo pipefail
packages=(
    cmake g++ make pkg-config ninja-build
    qt6-base-dev libqt6sql6-sqlite libsqlite3-dev sqlite3 postgresql libqt6sql6-psql libpq-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    libsodium-dev qt6-httpserver-dev qt6-websockets-dev qt6-translations-l10n
    poppler-utils xvfb xauth imagemagick fonts-dejavu-core fonts-dejavu-extra fonts-liberation2 curl
    dpkg-dev file librsvg2-bin desktop-file-utils appstream lintian clang-format
    clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]} (run this script as root)" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Builds Zelvora and its Debian package; the package lands in the project folder (zelvora_<version>_<arch>.deb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
rm -f build/zelvora_*.deb
(cd build && cpack -G DEB)
mv build/zelvora_*.deb .
ls zelvora_*.deb

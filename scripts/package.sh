#!/usr/bin/env bash
# Builds the Debian package of Zelvora: only what the package holds (the program, the supplied database, the
# icons; no tests, no benchmarks), optimised and hardened, in build-package/. The package lands in the project
# folder as zelvora_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DZELVORA_TESTS=OFF -DZELVORA_BENCH=OFF \
    "${launcher[@]}" >/dev/null
# The program and what packaging/ installs beside it (supplied database, icons, manual page, changelog).
cmake --build build-package --target zelvora install_files
rm -f build-package/zelvora_*.deb zelvora_*.deb
(cd build-package && cpack -G DEB)
mv build-package/zelvora_*.deb .
ls zelvora_*.deb

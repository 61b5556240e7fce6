#!/usr/bin/env bash
# Builds the program and its tests once more under AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitizers/ and runs every test there. Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
flags="-O1 -g -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined"
cmake -S . -B build-sanitizers -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELVORA_BENCH=OFF -DZELVORA_PACKAGE_TEST=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitizers
cd build-sanitizers
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600

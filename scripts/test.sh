#!/usr/bin/env bash
# Checks the include layers, then sets up, builds and runs every test (offscreen, no display needed), then runs
# them all again under AddressSanitizer and UndefinedBehaviorSanitizer, and last runs each fuzz target for a short
# while.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-layering.sh
bash scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300)
bash scripts/test-sanitizers.sh
bash scripts/fuzz.sh

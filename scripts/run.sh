#!/usr/bin/env bash
# Sets up, builds (the supplied database is created next to the executable when missing) and starts Zelvora.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec build/bin/zelvora

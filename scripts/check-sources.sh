#!/usr/bin/env bash
# Fails when a C++ source of the project lacks its licence line (SPDX-License-Identifier: GPL-3.0-or-later)
# or differs from what the root .clang-format makes of it, and lists the files. Format them with:
# clang-format -i <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
    echo "clang-format is missing (bash scripts/setup.sh installs it)" >&2
    exit 1
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
unlicensed=0
for f in "${files[@]}"; do
    if ! head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
        echo "no licence line: $f" >&2
        unlicensed=1
    fi
done
[ "$unlicensed" -eq 0 ] || exit 1
findings=$(mktemp)
trap 'rm -f "$findings"' EXIT
if ! clang-format --dry-run -Werror "${files[@]}" 2>"$findings"; then
    grep -o '^[^:]*\.\(cpp\|h\)' "$findings" | sort -u | sed 's/^/not formatted: /' >&2
    exit 1
fi
echo "every source has its licence line and is formatted"

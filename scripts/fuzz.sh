#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/ and runs
# each for a short while on its seed corpus (tests/fuzz/corpus/<target>/). Any finding fails the run and names
# the file that reproduces it. Without clang the step is skipped.
#   FUZZ_SECONDS   seconds per target (default 20)
#   FUZZ_TARGETS   targets to run (default: all)
#   FUZZ_JOBS      parallel build jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed, fuzzing skipped (scripts/setup.sh installs it)"
    exit 0
fi
seconds="${FUZZ_SECONDS:-20}"
all=(fuzz_numbers fuzz_dates fuzz_turkish fuzz_ratepage fuzz_versionpage fuzz_downloadname fuzz_decodepage
     fuzz_lumproperties fuzz_csv fuzz_restore)
read -r -a targets <<<"${FUZZ_TARGETS:-${all[*]}}"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
# Line tables are all a sanitizer's stack trace needs, and build far faster than full debug information.
flags="-O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only \
    -DZELVORA_TESTS=OFF \
    -DZELVORA_BENCH=OFF -DZELVORA_FUZZ=ON "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-fuzz -j"${FUZZ_JOBS:-2}" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
# Scratch files (the restore target writes a database per input) go to memory when it can, and go away after.
scratch=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/zelvora-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
findings=build-fuzz/findings
mkdir -p "$findings"
failed=()
for target in "${targets[@]}"; do
    # New inputs go to a scratch corpus, so the committed seeds stay as they are.
    work="build-fuzz/corpus/$target"
    mkdir -p "$work"
    log="$findings/$target.log"
    start=$SECONDS
    if build-fuzz/fuzz/"$target" "$work" "tests/fuzz/corpus/$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$findings/$target-" -print_final_stats=0 >"$log" 2>&1; then
        echo "fuzz: $target passed ($((SECONDS - start)) s, $(grep -o 'cov: [0-9]*' "$log" | tail -1))"
    else
        crash=$(grep -o "Test unit written to .*" "$log" | sed 's/Test unit written to //' | tail -1)
        echo "fuzz: $target FAILED, input: ${crash:-none written}, log: $log" >&2
        grep -m1 -E "PROPERTY VIOLATED|ERROR: AddressSanitizer|runtime error|ERROR: libFuzzer" -A2 "$log" >&2 || true
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: findings in ${failed[*]}" >&2
    exit 1
fi
echo "fuzz: all ${#targets[@]} targets ran without a finding"

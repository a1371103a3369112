#!/usr/bin/env bash
# Builds everything and passes every test: a plain build, a sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and bounded fuzz runs.
# Tests that need a window start their own X server (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
jobs=$(nproc)
fuzz_seconds=${QUILLMERE_FUZZ_SECONDS:-60}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== plain build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build -j"$jobs" --output-on-failure --timeout 600 | tee build/ctest.log

echo "== sanitizer build and tests"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLMERE_SANITIZE=ON \
      -DQUILLMERE_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize -j"$jobs" --output-on-failure --timeout 900 | tee build-sanitize/ctest.log

echo "== fuzz build and bounded runs (${fuzz_seconds} s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUILLMERE_FUZZ=ON -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
mapfile -t fuzzers < <(find build-fuzz/fuzz -type f -name 'fuzz_*' -perm -u+x | sort)
pids=()
for fuzzer in "${fuzzers[@]}"; do
    name=$(basename "$fuzzer")
    # A fresh copy of the seeds the build wrote, and the format's dictionary if it has one.
    rm -rf "build-fuzz/corpus/$name"
    mkdir -p "build-fuzz/corpus/$name"
    if [ -d "build-fuzz/fuzz/seeds/$name" ]; then cp "build-fuzz/fuzz/seeds/$name"/* "build-fuzz/corpus/$name"/; fi
    options=(-max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=30 -print_final_stats=0
             -artifact_prefix="build-fuzz/$name-")
    dict="fuzz/$(basename "$(dirname "$fuzzer")")/${name#fuzz_}.dict"
    if [ -f "$dict" ]; then options+=(-dict="$dict"); fi
    "$fuzzer" "${options[@]}" "build-fuzz/corpus/$name" >"build-fuzz/$name.log" 2>&1 &
    pids+=($!)
done
failed=0
for i in "${!pids[@]}"; do
    if ! wait "${pids[$i]}"; then
        echo "fuzzer $(basename "${fuzzers[$i]}") found a crash, timeout or memory blow-up:"
        tail -n 40 "build-fuzz/$(basename "${fuzzers[$i]}").log"
        failed=1
    else
        echo "fuzzer $(basename "${fuzzers[$i]}"): $(fuzz/fuzz_figures.sh "build-fuzz/$(basename "${fuzzers[$i]}").log")"
    fi
done
[ "$failed" -eq 0 ] || exit 1
counted() { grep -Eo 'tests failed out of [0-9]+' "$1" | tail -n 1 | grep -Eo '[0-9]+$'; }
total=$(( $(counted build/ctest.log) + $(counted build-sanitize/ctest.log) + ${#fuzzers[@]} ))
echo "$total passed, 0 failed"

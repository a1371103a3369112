#!/usr/bin/env bash
# A long fuzz run, not part of CI. Each fuzzer starts from a fresh copy of the
# seeds the fuzz build wrote, with its dictionary, and runs in libFuzzer's fork
# mode (several worker processes, executions summed) until it has made at least
# FUZZ_RUNS executions; the fuzzers run one after the other. A finding (crash,
# an input slower than 10 s, more than 2048 MB) stops the run with a non-zero
# exit and leaves the input in <build>/long-run/<fuzzer>/. Afterwards the seeds
# and the final corpus are each replayed once in a single process, for coverage
# figures comparable with those of scripts/test.sh.
#
#   fuzz/long_run.sh [build-dir]      default build-fuzz
#   FUZZ_RUNS     executions per fuzzer (default 10000000)
#   FUZZ_WORKERS  worker processes per fuzzer (default: half the cores)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
runs=${FUZZ_RUNS:-10000000}
workers=${FUZZ_WORKERS:-$(( ($(nproc) + 1) / 2 ))}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUILLMERE_FUZZ=ON -DQUILLMERE_TESTS=OFF -DQUILLMERE_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
mapfile -t fuzzers < <(find "$build/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)

# "cov N, ft M" of a single-process pass over a corpus.
replay() {
    "$1" -runs=0 -rss_limit_mb=2048 -timeout=10 "$2" 2>&1 \
        | awk '$2 == "INITED" { for (i = 1; i < NF; ++i) { if ($i == "cov:") c = $(i + 1); if ($i == "ft:") f = $(i + 1) } }
               END { printf "cov %s, ft %s", c, f }'
}

for fuzzer in "${fuzzers[@]}"; do
    name=$(basename "$fuzzer")
    work="$build/long-run/$name"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    if [ -d "$build/fuzz/seeds/$name" ]; then cp "$build/fuzz/seeds/$name"/* "$work/corpus"/; fi
    options=(-fork="$workers" -runs="$runs" -rss_limit_mb=2048 -timeout=10
             -ignore_crashes=0 -ignore_timeouts=0 -ignore_ooms=0 -artifact_prefix="$work/")
    dict="fuzz/$(basename "$(dirname "$fuzzer")")/${name#fuzz_}.dict"
    if [ -f "$dict" ]; then options+=(-dict="$dict"); fi
    seeds=$(replay "$fuzzer" "$work/corpus")
    start=$(date +%s)
    if ! "$fuzzer" "${options[@]}" "$work/corpus" >"$work/fuzz.log" 2>&1; then
        echo "$name: finding after $(( $(date +%s) - start )) s, see $work/fuzz.log:"
        ls "$work" | grep -E '^(crash|timeout|oom|leak)-' || true
        exit 1
    fi
    seconds=$(( $(date +%s) - start ))
    done_runs=$(grep -Eo '^#[0-9]+:' "$work/fuzz.log" | tail -n 1 | tr -d '#:')
    files=$(find "$work/corpus" -type f | wc -l)
    size=$(du -sk --apparent-size "$work/corpus" | cut -f1)
    echo "$name: $done_runs executions in $seconds s ($workers workers), no finding;" \
         "corpus $files files ($size KB): $(replay "$fuzzer" "$work/corpus") (seeds alone: $seeds)"
done

#!/usr/bin/env bash
# Configures a Release build with the benchmarks, builds them and runs them.
# Extra arguments go to the benchmark program (e.g. --benchmark_filter=7128).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DFUSECVT_BENCH=ON -DFUSECVT_TESTS=ON >/dev/null
cmake --build build/bench -j "$jobs" --target bench_fusecvt
build/bench/bench/bench_fusecvt "$@"

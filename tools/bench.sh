#!/usr/bin/env bash
# Configures a Release build with the benchmarks, builds them and runs them,
# then compares whole processes of the static release program with a trivial
# static C program (below). Extra arguments go to the benchmark program
# (e.g. --benchmark_filter=7128).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DFUSECVT_BENCH=ON -DFUSECVT_TESTS=ON >/dev/null
cmake --build build/bench -j "$jobs" --target bench_fusecvt
build/bench/bench/bench_fusecvt "$@"

# Whole processes: the static release program converting the largest real
# 7128 POF (the repository's 7128S example without the sample folder) against
# a trivial statically linked C program, started the same way, alternating,
# 21 runs each; prints the median of the pairwise time ratios, and with
# valgrind the instructions each process runs, with perf the page faults. The
# outputs go to a memory file system where there is one, so that the disk does
# not enter the figure.
echo "== whole process: release program against a trivial static C program"
source tools/lib/samples.sh
cmake -S . -B build/release-linux -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
  -DFUSECVT_STATIC=ON -DFUSECVT_TESTS=OFF >/dev/null
cmake --build build/release-linux -j "$jobs" --target fusecvt >/dev/null
cc -O2 -static -s -o build/bench/trivial bench/trivial.c
cc -O2 -o build/bench/spawn_ratio bench/spawn_ratio.c
pof=examples/demo7128s.pof
largest=$(largest_sample 7128)
if [ -n "$largest" ]; then pof=$largest; fi
scratch_parent=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_parent=/dev/shm
scratch=$(mktemp -d "$scratch_parent/fusecvt-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cp "$pof" "$scratch/design.pof"
echo "POF: $(basename "$pof") ($(stat -c %s "$pof") bytes), outputs in $scratch_parent"
program=$(pwd)/build/release-linux/fusecvt
build/bench/spawn_ratio 21 build/bench/trivial -- "$program" -o "$scratch/out" "$scratch/design.pof"
if command -v valgrind >/dev/null; then
  for cmd in build/bench/trivial "$program -o $scratch/out $scratch/design.pof"; do
    # shellcheck disable=SC2086
    refs=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null $cmd 2>&1 >/dev/null |
      sed -n 's/.*Collected : //p')
    echo "instructions: $refs  ($(basename "${cmd%% *}"))"
  done
fi
# Page faults: each new page a run touches costs from about 1.4 us (14 000
# instructions) on one kind of build machine to about 8.5 us on a virtual one,
# so on those machines pages weigh more than instructions.
if command -v perf >/dev/null && perf stat -e page-faults true >/dev/null 2>&1; then
  for cmd in build/bench/trivial "$program -o $scratch/out $scratch/design.pof"; do
    # shellcheck disable=SC2086
    faults=$(perf stat -x, -e page-faults -r 20 $cmd 2>&1 >/dev/null | cut -d, -f1 | tail -n1)
    echo "page faults: $faults  ($(basename "${cmd%% *}"))"
  done
fi

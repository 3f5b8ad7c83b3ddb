#!/usr/bin/env bash
# Runs every libFuzzer target (fuzz_<name>) of a fuzz build on its seed corpus
# fuzz/corpus/<name>/ for a share of the given seconds; fails on a crash, a
# leak, a timeout or an out-of-memory. New inputs go to a work corpus in the
# build folder, never into the committed seeds.
#   tools/fuzz.sh <fuzz build dir> <seconds>
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <fuzz build dir> <seconds>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)

mapfile -t fuzzers < <(find "$build" -type f -name 'fuzz_*' -perm -u+x -not -path '*/CMakeFiles/*' | sort)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "no fuzz_* targets in $build" >&2
  exit 1
fi
each=$(( seconds / ${#fuzzers[@]} ))
[ "$each" -ge 1 ] || each=1

for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  name=${name#fuzz_}
  seeds="$root/fuzz/corpus/$name"
  work="$build/corpus-work/$name"
  artifacts="$build/artifacts/$name"
  mkdir -p "$work" "$artifacts"
  corpora=("$work")
  [ -d "$seeds" ] && corpora+=("$seeds")
  echo "== fuzz_$name: ${each}s"
  "$fuzzer" -max_total_time="$each" -timeout=20 -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "${corpora[@]}"
done
echo "== fuzzing passed"

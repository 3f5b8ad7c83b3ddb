#!/usr/bin/env bash
# Writes cmake/hot-functions.txt: the functions (linker symbol names) that
# conversions of the example POFs (and of the benchmark's design) run, sorted
# by name (the order within the group matters little, and a sorted list
# changes little from run to run).
# The static Linux release links them side by side at the start of its code,
# so that a run maps a few neighbouring pages of code instead of pages
# all over the program. A symbol that no longer exists is passed over by the
# link; rerun this after larger changes to the code.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || { echo "hot-functions: valgrind is needed" >&2; exit 1; }
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
# The release compiler options and a static link, with the symbols kept.
build=build/hot-functions
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_EXE_LINKER_FLAGS=-static -DFUSECVT_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target fusecvt >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The examples, and the design the whole-process figure of tools/bench.sh
# converts: the largest real 7128 POF, when the sample folder is there (it
# runs paths the examples do not, such as the conversion error box).
pofs=(examples/demo7128s.pof examples/demo7064s.pof examples/demo7032s.pof)
source tools/lib/samples.sh
largest=$(largest_sample 7128)
if [ -n "$largest" ]; then pofs+=("$largest"); fi
profiles=()
for pof in "${pofs[@]}"; do
  profiles+=("$scratch/$(basename "$pof").out")
  valgrind --tool=callgrind --demangle=no --callgrind-out-file="${profiles[-1]}" \
    "$build/fusecvt" -o "$scratch/out" "$pof" >/dev/null 2>&1
done
# fn=(id) name and cfn=(id) name name a function the first time it appears.
cat "${profiles[@]}" | sed -n -E 's/^c?fn=\([0-9]+\) (.+)$/\1/p' | grep -v '^0x' | sort -u >"$scratch/seen"
# The C library picks a variant of its string functions for the processor at
# start-up (valgrind's processor is not the one a run has): every variant of
# a function seen is listed after the rest, and the choosers, which every
# start-up runs.
families=$(sed -n -E 's/^__([a-z]+)_(sse|avx|evex|erms|ssse).*/\1/p' "$scratch/seen" | sort -u | paste -sd'|')
nm "$build/fusecvt" | awk '{print $NF}' |
  grep -E "^__(${families:-none})_(sse|avx|evex|erms|ssse)" | sort >>"$scratch/seen" || true
nm "$build/fusecvt" | awk '$2 == "i" || $3 ~ /_ifunc$/ {print $3}' | sort >>"$scratch/seen"
awk '!seen[$0]++' "$scratch/seen" > cmake/hot-functions.txt
echo "cmake/hot-functions.txt: $(wc -l < cmake/hot-functions.txt) functions"

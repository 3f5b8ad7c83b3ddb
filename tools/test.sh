#!/usr/bin/env bash
# Builds fusecvt and runs every test: a plain g++ build, a clang++ build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
# The JEDEC tests check files with jedutil; here a missing jedutil fails them.
export FUSECVT_REQUIRE_JEDUTIL=1

echo "== g++ build and tests"
cmake -S . -B build/gcc -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/gcc -j "$jobs"
ctest --test-dir build/gcc --output-on-failure -j "$jobs"

echo "== clang++ sanitizer build and tests"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DFUSECVT_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/asan --output-on-failure -j "$jobs"

if [ -f fuzz/CMakeLists.txt ] && [ "${FUSECVT_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== fuzzing (short run)"
  cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DFUSECVT_FUZZ=ON -DFUSECVT_TESTS=OFF >/dev/null
  cmake --build build/fuzz -j "$jobs"
  tools/fuzz.sh build/fuzz "${FUSECVT_FUZZ_SECONDS:-60}"
fi
echo "== all tests passed"

#!/usr/bin/env bash
# Builds fusecvt and runs every test: a plain g++ build, a clang++ build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and, when the fuzz targets
# exist, a short fuzzing run. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
# Two jobs at most: the build machines have two cores.
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
# JEDEC files written by the end-to-end tests must pass jedutil, not skip it.
export FUSECVT_REQUIRE_JEDUTIL=1

echo "== g++ build and tests"
cmake -S . -B build/gcc -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ >/dev/null
cmake --build build/gcc -j "$jobs"
ctest --test-dir build/gcc --output-on-failure -j "$jobs" --timeout 600

echo "== clang++ sanitizer build and tests"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DFUSECVT_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/asan --output-on-failure -j "$jobs" --timeout 900

if [ -f fuzz/CMakeLists.txt ] && [ -x tools/fuzz.sh ] && [ "${FUSECVT_SKIP_FUZZ:-0}" != 1 ]; then
  echo "== fuzzing (short run)"
  cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DFUSECVT_FUZZ=ON -DFUSECVT_TESTS=OFF >/dev/null
  cmake --build build/fuzz -j "$jobs"
  tools/fuzz.sh build/fuzz "${FUSECVT_FUZZ_SECONDS:-60}"
else
  echo "== fuzzing skipped (no fuzz targets)"
fi
if [ "${FUSECVT_SKIP_WEB:-0}" != 1 ]; then
  echo "== web page: WebAssembly build, node and headless-browser tests"
  tools/web.sh test
fi
if [ "${FUSECVT_SKIP_RELEASE:-0}" != 1 ]; then
  echo "== release artifacts: build twice, then check them against the g++ build"
  tools/release.sh --check
  tools/test-artifacts.sh build/gcc/fusecvt
fi
echo "== all tests passed"

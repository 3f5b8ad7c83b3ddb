#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test fusecvt.
set -euo pipefail
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have make || need+=(make)
have g++ || need+=(g++)
have clang++ || need+=(clang)
have jedutil || need+=(mame-tools)
[ -e /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
# The web page: emscripten builds it, node and chromium test it.
have emcc || need+=(emscripten)
have node || need+=(nodejs)
have npm || need+=(npm)
[ -x /usr/bin/chromium ] || need+=(chromium)
# Release builds and their checks: the mingw-w64 cross compiler (posix
# threads), wine to run the Windows program, lintian for the Debian package.
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have wine || need+=(wine wine64)
have lintian || need+=(lintian)
# lld lays out the static release program (cmake/Release.cmake).
have ld.lld || need+=(lld)
have cpack || need+=(cmake)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${need[@]}"
fi
# Node packages of the web tests, pinned by web/package-lock.json; their
# install scripts are not run (no browser is downloaded: the tests drive
# Debian's chromium).
web=$(cd "$(dirname "$0")/../web" && pwd)
if [ -f "$web/package-lock.json" ] && [ ! -d "$web/node_modules/puppeteer-core" ]; then
  (cd "$web" && npm ci --ignore-scripts --no-audit --no-fund)
fi

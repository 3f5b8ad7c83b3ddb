#!/usr/bin/env bash
# Builds the web page and its WebAssembly module into web/dist/:
#   index.html   one self-contained page (style, script and wasm inlined);
#   fusecvt.mjs  the module for node and other pages.
# `tools/web.sh test` then runs the node test of the module and the
# headless-browser test of the page against the native build's outputs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
# Debian's emscripten runs its JavaScript tools with the machine's node, which
# finds Debian's node packages (acorn) only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

echo "== WebAssembly build"
emcmake cmake -S . -B build/wasm -DCMAKE_BUILD_TYPE=MinSizeRel -DFUSECVT_TESTS=OFF -DFUSECVT_WEB=ON >/dev/null
cmake --build build/wasm -j "$jobs" --target fusecvt_web
node web/build.mjs build/wasm/web/fusecvt-core.js web/dist
ls -l web/dist

if [ "${1:-}" = test ]; then
  echo "== native build to compare with"
  cmake -S . -B build/gcc -DCMAKE_CXX_COMPILER=g++ >/dev/null
  cmake --build build/gcc -j "$jobs" --target fusecvt web_designs
  mkdir -p build/web/designs
  build/gcc/tests/web_designs build/web/designs
  [ -d web/node_modules/puppeteer-core ] || (cd web && npm ci --ignore-scripts --no-audit --no-fund)
  echo "== web tests"
  mkdir -p build/web
  FUSECVT_NATIVE=build/gcc/fusecvt FUSECVT_DESIGNS=build/web/designs node --test --test-concurrency=1 web/test/*.test.mjs
fi

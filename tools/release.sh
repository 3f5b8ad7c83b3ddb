#!/usr/bin/env bash
# Builds the release artifacts into dist/:
#   fusecvt-<version>-linux-x86_64          static, stripped Linux program
#   fusecvt_<version>_amd64.deb             Debian package of that program
#   fusecvt-<version>-windows-x86_64.exe    static Windows program (mingw-w64, posix threads)
# and dist/SHA256SUMS. The same source gives the same bytes: no build path or
# build time goes into them, and file times come from SOURCE_DATE_EPOCH (the
# last commit's time unless it is set).
#   tools/release.sh            build (reusing build/release-*)
#   tools/release.sh --clean    build from empty build folders
#   tools/release.sh --check    build, then build again from empty folders in
#                               another place and compare the sums
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$jobs" -gt 2 ]; then jobs=2; fi

check=0
case "${1:-}" in
  --clean) rm -rf build/release-linux build/release-windows ;;
  --check) check=1 ;;
  "") ;;
  *) echo "usage: $0 [--clean | --check]" >&2; exit 2 ;;
esac

version=$(sed -n 's/^project(fusecvt VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 1796601600)
fi
export SOURCE_DATE_EPOCH
# Archive members and the package get the same owner and mode whatever the umask.
umask 022
export LC_ALL=C TZ=UTC

# Builds the three artifacts with build folders named by $1 into folder $2.
build_artifacts() {
  local b=$1 out=$2
  echo "== Linux static build ($b-linux)"
  cmake -S . -B "$b-linux" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
    -DFUSECVT_STATIC=ON -DFUSECVT_TESTS=OFF >/dev/null
  cmake --build "$b-linux" -j "$jobs"
  (cd "$b-linux" && rm -f ./*.deb && cpack -G DEB >/dev/null)

  echo "== Windows static build ($b-windows)"
  cmake -S . -B "$b-windows" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DFUSECVT_STATIC=ON -DFUSECVT_TESTS=OFF >/dev/null
  cmake --build "$b-windows" -j "$jobs" --target fusecvt

  rm -rf "$out"
  mkdir -p "$out"
  cp "$b-linux/fusecvt" "$out/fusecvt-$version-linux-x86_64"
  cp "$b-linux/fusecvt_${version}_amd64.deb" "$out/"
  cp "$b-windows/fusecvt.exe" "$out/fusecvt-$version-windows-x86_64.exe"
  (cd "$out" && sha256sum "fusecvt-$version-linux-x86_64" "fusecvt_${version}_amd64.deb" \
    "fusecvt-$version-windows-x86_64.exe" > SHA256SUMS)
}

build_artifacts build/release dist
echo "== dist/"
ls -l dist
cat dist/SHA256SUMS

if [ "$check" = 1 ]; then
  # A second build from empty folders elsewhere must give the same bytes.
  again=$(mktemp -d "${TMPDIR:-/tmp}/fusecvt-release.XXXXXX")
  trap 'rm -rf "$again"' EXIT
  build_artifacts "$again/build/release" "$again/dist" >/dev/null
  if ! diff dist/SHA256SUMS "$again/dist/SHA256SUMS"; then
    echo "release: a second build gave other bytes" >&2
    exit 1
  fi
  echo "== a second build from empty folders gave the same sums"
fi

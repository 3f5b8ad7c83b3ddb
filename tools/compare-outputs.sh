#!/usr/bin/env bash
# Before/after comparison of everything fusecvt writes.
set -euo pipefail

usage() {
  cat <<'EOF'
usage: tools/compare-outputs.sh [options] [BASE_REV]

Builds fusecvt at BASE_REV and from the working tree (Release, g++, below
build/compare/; the working tree's tests and design dumper in a
RelWithDebInfo build beside them), runs both on one corpus and compares the JEDEC file, the
report, standard output, standard error and the exit status of every run.
Only "Created on:" lines and "<name> processed <N> seconds" lines are left
out of the comparison.

  BASE_REV          revision before; default $FUSECVT_COMPARE_BASE, else
                    f784a27 (the base of the restructure into one device
                    catalogue and one block pipeline)
  --after REV       compare with REV instead of the working tree (the random
                    designs and the suite's designs still come from the
                    working tree's tests)
  --cases N         random designs (default 400)
  --seed S          seed of the random designs (default 20261208)
  --no-samples      leave out the real POFs (../shared/pof-samples, or
                    $FUSECVT_SAMPLES)
  --no-random       leave out the random designs
  --no-suite        leave out the designs of the test suite
  --accept REGEX    expected differences: runs whose description (device
                    name, options), standard output or error matches
                    (repeatable);
                    e.g. for the package rules of the device catalogue
                    (industrial grades, pin counts read after the package
                    code): --accept 'EPM[0-9A-Z]*[LTQ]I[0-9]'
                    --accept 'EPM[0-9A-Z]*[LTQ][CI]144'
  --jobs N          parallel runs (default 2)

Corpora: samples (every real POF with no -device and every -device word of
its family, each with a spread of options), random (design_dump's seeded
POFs of all 13 source kinds with their option lines), suite (the POFs and
argument lists that the end-to-end tests convert, kept by running the
working tree's tests with FUSECVT_KEEP_DESIGNS). Prints per corpus: runs,
identical, different, accepted; and a short diff of each difference.
Exit status 0 when nothing differs (but accepted differences).

On a checkout of main, main against the working tree must give 0
differences:
  tools/compare-outputs.sh main
EOF
}

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
base_rev=${FUSECVT_COMPARE_BASE:-f784a27}
after_rev="" cases=400 seed=20261208 jobs=2 samples=1 random=1 suite=1
accept=()
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --after) after_rev=$2; shift ;;
    --cases) cases=$2; shift ;;
    --seed) seed=$2; shift ;;
    --jobs) jobs=$2; shift ;;
    --accept) accept+=(--accept "$2"); shift ;;
    --no-samples) samples=0 ;;
    --no-random) random=0 ;;
    --no-suite) suite=0 ;;
    -*) usage >&2; exit 2 ;;
    *) base_rev=$1 ;;
  esac
  shift
done

out=$root/build/compare
mkdir -p "$out"
log=$out/build.log
: >"$log"

# Builds the fusecvt of revision $1 into $out/build-<sha>; prints the binary.
build_rev() {
  local sha src bld
  sha=$(git rev-parse --verify "$1^{commit}")
  src=$out/src-$sha bld=$out/build-$sha
  if [ ! -f "$src/CMakeLists.txt" ]; then
    rm -rf "$src" && mkdir -p "$src"
    git archive "$sha" | tar -x -C "$src"
  fi
  cmake -S "$src" -B "$bld" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DFUSECVT_TESTS=OFF >>"$log"
  cmake --build "$bld" -j 2 --target fusecvt >>"$log" 2>&1 || { tail -30 "$log" >&2; exit 1; }
  echo "$bld/fusecvt"
}

start=$SECONDS
echo "== building $base_rev (before)"
base_bin=$(build_rev "$base_rev")
echo "== building the working tree"
work=$out/work tests=$out/tests
cmake -S "$root" -B "$work" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DFUSECVT_TESTS=OFF >>"$log"
cmake --build "$work" -j 2 --target fusecvt >>"$log" 2>&1 || { tail -30 "$log" >&2; exit 1; }
after_bin=$work/fusecvt
# The design dumper and the test suite, in the tests' usual build type.
if [ $random = 1 ] || [ $suite = 1 ]; then
  cmake -S "$root" -B "$tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DFUSECVT_TESTS=ON >>"$log"
  targets=(design_dump)
  [ $suite = 1 ] && targets=(all)
  cmake --build "$tests" -j 2 --target "${targets[@]}" >>"$log" 2>&1 || { tail -30 "$log" >&2; exit 1; }
fi
if [ -n "$after_rev" ]; then
  echo "== building $after_rev (after)"
  after_bin=$(build_rev "$after_rev")
fi
echo "   built in $((SECONDS - start)) s"

corpora=()
if [ $samples = 1 ]; then
  dir=${FUSECVT_SAMPLES:-}
  if [ -z "$dir" ]; then
    d=$root
    while [ "$d" != / ]; do
      [ -d "$(dirname "$d")/shared/pof-samples" ] && { dir=$(dirname "$d")/shared/pof-samples; break; }
      d=$(dirname "$d")
    done
  fi
  if [ -n "$dir" ] && [ -d "$dir" ]; then corpora+=(--samples "$dir"); else echo "== no sample folder: samples skipped"; fi
fi
if [ $random = 1 ]; then
  rm -rf "$out/random"
  "$tests/tests/design_dump" "$out/random" "$cases" "$seed"
  corpora+=(--replay "random=$out/random")
fi
if [ $suite = 1 ]; then
  rm -rf "$out/suite" && mkdir -p "$out/suite"
  echo "== running the working tree's tests to keep their designs"
  FUSECVT_KEEP_DESIGNS=$out/suite ctest --test-dir "$tests" -j "$jobs" --timeout 600 >"$out/suite.log" 2>&1 ||
    echo "   (some tests failed; see $out/suite.log)"
  corpora+=(--replay "suite=$out/suite")
fi

echo "== comparing $base_rev with ${after_rev:-the working tree}"
status=0
python3 "$root/tools/compare_outputs.py" --base "$base_bin" --after "$after_bin" --jobs "$jobs" \
  "${corpora[@]}" "${accept[@]}" || status=$?
echo "== done in $((SECONDS - start)) s"
exit $status

#!/usr/bin/env bash
# Checks the release artifacts in dist/ (tools/release.sh) against the
# development build: the static Linux program and the installed Debian
# package must write the same JEDEC files, reports, console text and exit
# status; the Windows program, run under wine, the same JEDEC files and the
# same reports and console text up to line ends. Inputs: every real sample
# POF with every -device word of its family (when the sample folder is
# there), the repository's example and seed POFs, and a few runs with
# Windows paths ('\', drive letters, a dot in a folder name, the overwrite
# refusal). The "Created on" and "processed" lines hold the time and are left
# out of the comparison.
#   tools/test-artifacts.sh [development program, default build/gcc/fusecvt]
# FUSECVT_SKIP_WINE=1 leaves out the Windows program; the package is
# installed and removed only when running as root with dpkg.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source tools/lib/samples.sh

dev=$(realpath "${1:-build/gcc/fusecvt}")
version=$(sed -n 's/^project(fusecvt VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
linux=$root/dist/fusecvt-$version-linux-x86_64
deb=$root/dist/fusecvt_${version}_amd64.deb
exe=$root/dist/fusecvt-$version-windows-x86_64.exe
for f in "$dev" "$linux" "$deb" "$exe"; do
  [ -f "$f" ] || { echo "test-artifacts: $f is missing (run tools/release.sh)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fusecvt-artifacts.XXXXXX")
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then dpkg -r fusecvt >/dev/null 2>&1 || true; fi
  [ "${FUSECVT_KEEP_WORK:-0}" = 1 ] || rm -rf "$work"
}
trap cleanup EXIT

# --- The cases: id, POF, where the POF goes in the case folder, arguments.
# @DIR@ in an argument stands for the case folder's absolute path.
cases=$work/cases.tsv
: > "$cases"
n=0
add_case() {  # pof placement args...
  local pof=$1 place=$2
  shift 2
  n=$((n + 1))
  printf '%s\t%s\t%s\t%s\n' "$n" "$pof" "$place" "$*" >> "$cases"
}
options="-secure -pinclk -slew slow -open_out on -jtag on -pin_keep -mc_power off"
add_pof() {  # pof device
  local word
  for word in $(device_words "$2"); do
    if [ "$word" = none ]; then add_case "$1" x.pof x.pof; else add_case "$1" x.pof -device "$word" x.pof; fi
  done
  add_case "$1" x.pof $options x.pof
}
samples=$(samples_dir)
if [ -n "$samples" ]; then
  while IFS=$'\t' read -r file device _; do
    [ "$file" = file ] && continue
    add_pof "$samples/$file" "$(echo "$device" | tr a-z A-Z)"
  done < "$samples/SOURCES.tsv"
fi
for pof in examples/*.pof fuzz/corpus/pof/*.pof; do
  add_pof "$root/$pof" "$(pof_device "$pof")"
done
demo=$root/examples/demo7064s.pof
add_case "$demo" sub/design.pof -i sub/design -o out/res
add_case "$demo" proj.v2/design.pof proj.v2/design
add_case "$demo" sub/design.pof @DIR@/sub/design.pof -o @DIR@/out/abs
add_case "$demo" sub/design.pof -i sub/design -o sub/design.pof
add_case "$demo" sub/design.pof -o sub/same.txt sub/design
echo "== $n conversions per program"

# Every case folder with its POF in place and an out/ folder, copied for
# each program.
lay_out_template() {
  local id pof place args
  while IFS=$'\t' read -r id pof place args; do
    mkdir -p "$work/template/$id/out" "$(dirname "$work/template/$id/$place")"
    cp "$pof" "$work/template/$id/$place"
  done < "$cases"
}
lay_out() { cp -a "$work/template" "$1"; }

# Runs a Linux program on every case under $2, started as "fusecvt".
run_linux() {
  local bin=$1 base=$2 id pof place args
  lay_out "$base"
  while IFS=$'\t' read -r id pof place args; do
    local dir=$base/$id
    # shellcheck disable=SC2086
    (cd "$dir" && exec -a fusecvt "$bin" ${args//@DIR@/$dir} > console.out 2> console.err) \
      && echo 0 > "$dir/status" || echo $? > "$dir/status"
  done < "$cases"
}

# Writes a batch file $2 that runs the Windows program on the cases of the
# list $3 (lines of $cases) under $1.
write_batch() {
  local base=$1 bat=$2 list=$3 id pof place args exew dirw
  exew="Z:$(echo "$work/bin/fusecvt.exe" | tr / '\\')"
  {
    echo "@echo off"
    while IFS=$'\t' read -r id pof place args; do
      dirw="Z:$(echo "$base/$id" | tr / '\\')"
      args=${args//@DIR@/$dirw}
      echo "cd /d \"$dirw\""
      echo "\"$exew\" $(echo "$args" | tr / '\\') > console.out 2> console.err"
      echo ">status echo %ERRORLEVEL%"
    done < "$list"
    echo "exit /b 0"
  } | sed 's/$/\r/' > "$bat"
}

# Runs the Windows program on every case under $1, in one wine session. Now
# and then wine's command interpreter fails to start a program at all (status
# 9009, "Can't recognize ..."), which the converter never returns; such cases
# are laid out afresh and run again in a new session, up to three times.
run_wine() {
  local base=$1 attempt id
  lay_out "$base"
  # Named as a user would run it, so that the banner names "fusecvt".
  mkdir -p "$work/bin"
  cp "$exe" "$work/bin/fusecvt.exe"
  export WINEPREFIX=${FUSECVT_WINEPREFIX:-$root/build/wine-prefix}
  mkdir -p "$WINEPREFIX"
  cp "$cases" "$base/todo.tsv"
  for attempt in 1 2 3 4; do
    write_batch "$base" "$base/run.bat" "$base/todo.tsv"
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
      wine cmd /c "Z:$(echo "$base/run.bat" | tr / '\\')" >> "$base/wine.log" 2>&1 < /dev/null || true
    wineserver -w 2>/dev/null || true
    : > "$base/again.tsv"
    while IFS=$'\t' read -r id _; do
      if [ "$(tr -d '\r ' < "$base/$id/status" 2>/dev/null)" = 9009 ]; then
        grep "^$id"$'\t' "$cases" >> "$base/again.tsv"
      fi
    done < "$base/todo.tsv"
    [ -s "$base/again.tsv" ] && [ "$attempt" -lt 4 ] || break
    echo "== wine failed to start the program in $(wc -l < "$base/again.tsv") case(s); running them again"
    while IFS=$'\t' read -r id _; do
      rm -rf "${base:?}/$id"
      cp -a "$work/template/$id" "$base/$id"
    done < "$base/again.tsv"
    mv "$base/again.tsv" "$base/todo.tsv"
  done
  rm -f "$base/todo.tsv" "$base/again.tsv"
}

# Brings the files of a run into comparable form: no time lines, the case
# folder's path as @DIR@; for the Windows run also LF line ends in all but the
# JEDEC files, and '/' in paths.
normalise() {
  local base=$1 windows=$2
  find "$base" -name '*.pof' -delete
  find "$base" -name '*.jed' -print0 | xargs -0 -r env LC_ALL=C sed -i '/^Created on: /d'
  local script
  if [ "$windows" = 1 ]; then
    local basew
    basew=$(echo "Z:$base" | tr / '\\' | sed 's/[\\.]/\\&/g')
    script="s/\r\$//; s/${basew}\\\\[0-9]+/@DIR@/g; s/\\\\/\\//g"
  else
    script="s|$(echo "$base" | sed 's/[.]/\\./g')/[0-9]+|@DIR@|g"
  fi
  find "$base" -mindepth 2 -type f ! -name '*.jed' -print0 |
    xargs -0 -r env LC_ALL=C sed -i -E -e "$script" -e '/ processed [0-9]+ seconds$/d'
}

lay_out_template

failed=0
compare() {  # name base
  if diff -r "$work/dev" "$2" > "$work/$1.diff"; then
    echo "== $1: all $n conversions identical"
  else
    echo "== $1: differs from the development build:" >&2
    head -40 "$work/$1.diff" >&2
    failed=1
  fi
}

run_linux "$dev" "$work/dev"
# Most cases convert; a set-up fault that made every run fail alike would
# otherwise pass unseen.
written=$(find "$work/dev" -name '*.jed' | wc -l)
echo "== development build: $written of $n conversions wrote a JEDEC file"
if [ $((written * 2)) -lt "$n" ]; then
  echo "test-artifacts: too few conversions succeeded in the development build" >&2
  exit 1
fi
normalise "$work/dev" 0

run_linux "$linux" "$work/static"
normalise "$work/static" 0
compare "static Linux program" "$work/static"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
  echo "== lintian: no error in the package"
fi

if [ "$(id -u)" = 0 ] && command -v dpkg >/dev/null; then
  dpkg -i "$deb" >/dev/null
  installed=1
  run_linux /usr/bin/fusecvt "$work/deb"
  [ -f /usr/share/man/man1/fusecvt.1.gz ] || { echo "package: no manual page" >&2; failed=1; }
  dpkg -r fusecvt >/dev/null
  installed=0
  [ ! -e /usr/bin/fusecvt ] || { echo "package: /usr/bin/fusecvt left after removal" >&2; failed=1; }
  normalise "$work/deb" 0
  compare "installed package" "$work/deb"
else
  echo "== installed package: skipped (needs root and dpkg)"
fi

if [ "${FUSECVT_SKIP_WINE:-0}" != 1 ]; then
  start=$(date +%s)
  run_wine "$work/wine"
  # Byte checks before normalising: CR LF in the report and the console.
  for f in console.out x.txt; do
    if grep -q -v $'\r$' "$work/wine/1/$f"; then
      echo "windows: a line of $f does not end in CR LF" >&2
      failed=1
    fi
  done
  normalise "$work/wine" 1
  rm -f "$work/wine/run.bat" "$work/wine/wine.log"
  compare "Windows program under wine ($(( $(date +%s) - start )) s)" "$work/wine"
fi
exit $failed

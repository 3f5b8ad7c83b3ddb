# Sourced by the tools: where the real sample POFs are, if anywhere.
# FUSECVT_SAMPLES names the folder; otherwise shared/pof-samples beside the
# checkout or beside one of its parents. Prints nothing when there is none.
samples_dir() {
  if [ -n "${FUSECVT_SAMPLES:-}" ]; then
    [ -d "$FUSECVT_SAMPLES" ] && echo "$FUSECVT_SAMPLES"
    return 0
  fi
  local dir
  dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  while [ "$dir" != / ]; do
    if [ -d "$(dirname "$dir")/shared/pof-samples" ]; then
      echo "$(dirname "$dir")/shared/pof-samples"
      return 0
    fi
    dir=$(dirname "$dir")
  done
}

# The -device words that apply to a source device name (upper case), "none"
# standing for no -device word, as the end-to-end sample test uses them.
device_words() {
  case "$1" in
    *7032S*) echo "none 6032es 6032esl p6000 6000e" ;;
    *7032AE* | *3032A*) echo "none 6032es 6032esl" ;;
    *7032*) echo "none p6000 6000e 6032es 6032esl" ;;
    *7064* | *3064*) echo "none 6064es 6064esl" ;;
    *7128* | *3128*) echo "none 6128es 6128esl" ;;
    *) echo "none" ;;
  esac
}

# The device text a POF names: the first word that looks like a part number.
pof_device() {
  LC_ALL=C grep -a -o -m1 -E '(EPM|epm)[0-9]{4}[A-Za-z0-9-]*' "$1" | head -n1 | tr a-z A-Z
}

# The largest sample POF (by size) whose device in SOURCES.tsv matches the
# pattern $1 (e.g. 7128); prints nothing without the sample folder or a match.
largest_sample() {
  local samples largest
  samples=$(samples_dir)
  [ -n "$samples" ] || return 0
  largest=$(awk -F'\t' -v pat="$1" 'toupper($2) ~ pat {print $1}' "$samples/SOURCES.tsv" |
    while read -r f; do echo "$(stat -c %s "$samples/$f") $f"; done | sort -n | tail -n1 | cut -d' ' -f2-)
  [ -n "$largest" ] && echo "$samples/$largest"
  return 0
}

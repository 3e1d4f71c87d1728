#!/bin/sh
# Seeds of the whole-program target from the end-to-end cases: the answers,
# then every input file after a line "@@@@ NAME".
# Usage: fuzz/seed-program.sh CORPUS_FOLDER
set -eu
corpus=${1:?usage: seed-program.sh CORPUS_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
cases="$here/../tests/transcripts"
[ -d "$cases" ] || exit 0
for c in "$cases"/*/; do
  [ -f "$c/stdin" ] || continue
  name=$(basename "$c")
  {
    if [ -f "$c/edition" ]; then cat "$c/edition"; else echo 12; fi
    cat "$c/stdin"
    if [ -d "$c/files" ]; then
      for f in "$c/files"/*; do
        [ -f "$f" ] || continue
        printf '@@@@ %s\n' "$(basename "$f")"
        head -c 8192 "$f" | sed -e '$a\'
      done
    fi
  } > "$corpus/transcript_$name"
done

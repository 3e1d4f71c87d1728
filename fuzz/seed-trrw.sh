#!/bin/sh
# Seeds of the decade-format target from the real archive files: the first
# lines of each, behind each control byte the target knows ("@" reads "MR",
# "A" "IR", "C" "IR" keeping counts, "D" "MR" into a small store).
# Usage: fuzz/seed-trrw.sh CORPUS_FOLDER
set -eu
corpus=${1:?usage: seed-trrw.sh CORPUS_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
data="$here/../tests/data"
for f in "$data"/itrdb/*.rwl "$data"/gp/gp.rwl; do
  name=$(basename "$f" .rwl)
  for c in @ D; do
    { printf '%s' "$c"; head -n 60 "$f"; } > "$corpus/${name}_$c"
  done
done

#!/bin/sh
# Benchmark of the run driver (not a test): generates two jobs, runs
# Ruvela_v12 on each and prints wall time, peak memory and output bytes per
# second next to what `cat` takes to read the same inputs and write the same
# number of bytes.
#   (a) the largest pair the limits allow: 1001 series of 1000 years, column layout
#   (b) a batch of 50 archive-sized pairs (40 series of 300-500 years) in list-file mode
# Usage: sh bench/run_bench.sh [build folder]   (default: build)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
program="$build/Ruvela_v12"
[ -x "$program" ] || { echo "build the programs first (make build)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (sh scripts/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# series_file NAME SERIES FIRST_YEAR_BASE LENGTH_BASE SEED: decade-format ring widths
series_file() {
  awk -v n="$2" -v base="$3" -v len="$4" -v seed="$5" 'BEGIN {
    srand(seed)
    for (s = 1; s <= n; s++) {
      id = sprintf("s%05d", s); first = base + (s * 7) % 100; count = len + (s * 13) % 200
      if (len == 1000) { first = base; count = 1000 }
      line = sprintf("%-8s%4d", id, first); onl = 10 - first % 10; k = 0; y = first
      while (k < count) {
        for (j = 0; j < onl && k < count; j++) { line = line sprintf("%6d", 20 + int(rand() * 300)); k++ }
        y += onl
        if (k == count) { if (j < onl) line = line sprintf("%6d", 999); else { print line; line = sprintf("%-8s%4d%6d", id, y, 999) } }
        print line; line = sprintf("%-8s%4d", id, y); onl = 10
      }
    }
  }' > "$1"
}

# offsets_file NAME SERIES: one pith offset per series, read with (i3)
offsets_file() {
  awk -v n="$2" 'BEGIN { for (s = 1; s <= n; s++) printf "%3d  s%05d\n", (s * 11) % 60, s }' > "$1"
}

store_bytes=$(( (3 * 1001 * 5001 + 3 * 50 * 5001) * 4 ))

# measure LABEL ANSWERS INPUT_FILES...: runs the program in $work/LABEL
measure() {
  label=$1; answers=$2; shift 2
  dir="$work/$label"
  cd "$dir"
  RUVELA_DEVICE=null /usr/bin/time -f '%e %M' -o "$work/$label.time" "$program" < "$answers" > "$work/$label.console"
  grep -q "Normal Termination of Program" "$work/$label.console" ||
    { echo "$label: the run did not end normally" >&2; tail "$work/$label.console" >&2; exit 1; }
  set -- $(cat "$work/$label.time")
  wall=$1; peak_kb=$2
  out_bytes=$(cat ./*_BAI BAm2.out BAIcm2.out RRWmm.out | wc -c)
  in_bytes=$(cat ./*.rwl ./*.pth | wc -c)
  head -c "$out_bytes" /dev/zero > "$work/$label.same_size"
  start=$(date +%s.%N)
  cat ./*.rwl ./*.pth > /dev/null
  cat "$work/$label.same_size" > "$work/$label.copy"
  end=$(date +%s.%N)
  rm -f "$work/$label.same_size" "$work/$label.copy"
  awk -v l="$label" -v w="$wall" -v m="$peak_kb" -v o="$out_bytes" -v i="$in_bytes" -v s="$store_bytes" \
      -v c0="$start" -v c1="$end" 'BEGIN {
    printf "%s\n", l
    printf "  program: %.2f s wall, peak memory %.1f MB (store %.1f MB, %.0f%%)\n", w, m / 1024, s / 1048576, 100 * m * 1024 / s
    printf "  input %.1f MB, output %.1f MB, %.0f MB/s written\n", i / 1048576, o / 1048576, (w > 0 ? o / w / 1048576 : 0)
    printf "  cat reading the input and writing as many bytes: %.2f s\n", c1 - c0
  }'
  cd "$work"
}

# (a) one pair at the limits
mkdir "$work/a"
series_file "$work/a/big.rwl" 1001 1001 1000 1
offsets_file "$work/a/big.pth" 1001
{ printf '\nf\nbig.rwl\nbig.pth\n1\n(i3)\n1\n'; printf '\n\n'; } > "$work/a.answers"
measure a "$work/a.answers"

# (b) 50 pairs of archive-sized files in list-file mode
mkdir "$work/b"
: > "$work/b/rings.lst"; : > "$work/b/offsets.lst"
i=1
while [ "$i" -le 50 ]; do
  series_file "$work/b/site$i.rwl" 40 $((1500 + i)) 300 "$i"
  offsets_file "$work/b/site$i.pth" 40
  echo "site$i.rwl" >> "$work/b/rings.lst"; echo "site$i.pth" >> "$work/b/offsets.lst"
  i=$((i + 1))
done
{ printf '\nt\nrings.lst\noffsets.lst\n1\n(i3)\n1\n'; i=0; while [ $i -lt 60 ]; do echo; i=$((i + 1)); done; } > "$work/b.answers"
measure b "$work/b.answers"

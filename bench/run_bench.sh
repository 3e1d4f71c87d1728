#!/bin/sh
# Benchmark of the run driver (not a test): generates two jobs, runs
# Ruvela_v12 on each and prints its wall time, CPU time and peak memory next
# to the floor that the disk sets: the time `cat` takes to read the same
# inputs and write as many bytes, measured in the same run. The ratio of the
# two is the figure to watch; each time is the best of a few runs, as a
# machine shared with other work slows single runs at random.
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

runs=7                 # each time is the best of this many runs
peak_limit_mib=32      # peak memory allowed to either job

# now: the time in nanoseconds
now() { date +%s%N; }

# run_program: one run of the program on the answers in $answers, in the
# current folder; adds its wall time in nanoseconds, CPU times and peak
# memory as one line to $work/$label.runs
run_program() {
  rm -f ./*_BAI BAm2.out BAIcm2.out RRWmm.out
  start=$(now)
  RUVELA_DEVICE=null /usr/bin/time -f '%U %S %M' -o "$work/$label.time" "$program" < "$answers" > "$work/$label.console"
  end=$(now)
  grep -q "Normal Termination of Program" "$work/$label.console" ||
    { echo "$label: the run did not end normally" >&2; tail "$work/$label.console" >&2; exit 1; }
  echo "$((end - start)) $(cat "$work/$label.time")" >> "$work/$label.runs"
}

# run_cat: what the disk needs for the same job: cat reading its inputs and
# writing as many bytes as it writes, into a new file as the program does;
# adds its wall time in nanoseconds as one line to $work/$label.cat_runs
run_cat() {
  rm -f "$work/$label.copy"
  start=$(now)
  cat ./*.rwl ./*.pth > /dev/null
  cat "$work/$label.same_size" > "$work/$label.copy"
  end=$(now)
  echo "$((end - start))" >> "$work/$label.cat_runs"
}

# measure LABEL ANSWERS TARGET_RATIO: runs the program in $work/LABEL
measure() {
  label=$1; answers=$2; target=$3
  cd "$work/$label"
  # One run first for the output size; then the program and cat take turns,
  # so that both meet the machine in the same moods.
  run_program
  out_bytes=$(cat ./*_BAI BAm2.out BAIcm2.out RRWmm.out | wc -c)
  in_bytes=$(cat ./*.rwl ./*.pth | wc -c)
  head -c "$out_bytes" /dev/zero > "$work/$label.same_size"
  : > "$work/$label.runs"
  i=0
  while [ "$i" -lt "$runs" ]; do run_program; run_cat; i=$((i + 1)); done
  rm -f "$work/$label.same_size" "$work/$label.copy"
  set -- $(sort -n "$work/$label.runs" | head -n 1)
  program_ns=$1; cpu_user=$2; cpu_system=$3; peak_kib=$4
  cat_ns=$(sort -n "$work/$label.cat_runs" | head -n 1)
  awk -v l="$label" -v p="$program_ns" -v c="$cat_ns" -v cu="$cpu_user" -v cs="$cpu_system" -v m="$peak_kib" \
      -v o="$out_bytes" -v i="$in_bytes" -v r="$runs" -v t="$target" -v lim="$peak_limit_mib" 'BEGIN {
    printf "%s\n", l
    printf "  program:   %.3f s wall (best of %d), %.2f s CPU, peak memory %.1f MiB (limit %d)\n",
           p / 1e9, r, cu + cs, m / 1024, lim
    printf "  cat floor: %.3f s wall (best of %d) to read the %.1f MB input and write %.1f MB\n",
           c / 1e9, r, i / 1e6, o / 1e6
    printf "  ratio to the floor: %.1f (target at most %d), %.0f MB/s written\n",
           p / c, t, o / (p / 1e9) / 1e6
  }'
  cd "$work"
}

# (a) one pair at the limits
mkdir "$work/a"
series_file "$work/a/big.rwl" 1001 1001 1000 1
offsets_file "$work/a/big.pth" 1001
{ printf '\nf\nbig.rwl\nbig.pth\n1\n(i3)\n1\n'; printf '\n\n'; } > "$work/a.answers"
measure a "$work/a.answers" 10

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
measure b "$work/b.answers" 4

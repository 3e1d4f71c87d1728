#!/bin/bash
# Benchmark of the run driver (not a test): generates three jobs, runs
# Ruvela_v12 on each and prints its wall time, CPU time and peak memory next
# to the floor that any program doing the same job pays, measured in the
# same run: one process (bench/floor_writer) that reads the job's inputs and
# writes the job's output files, as many and as large, under temporary names
# renamed into place. One process, as the program is one: a floor of two
# would pay a second process start that the program does not.
# The ratio of the two is the figure to watch; each time is the best of a
# few runs, as a machine shared with other work slows single runs at random.
#   (a) the largest pair the limits allow: 1001 series of 1000 years, column layout
#   (b) a batch of 50 archive-sized pairs (40 series of 300-500 years) in list-file mode
#   (c) the batch of (b) in the decade layout
#   (d) every page of one pair of 1001 series of 1000 years into one PDF file
#   (e) every page of one pair of 200 series of 1000 years as PNG files
#   (f) with BENCH_PLOTS=large only: every page of one pair of 1001 series of
#       5000 years into one PDF file (a few minutes)
# BENCH_PLOTS=only runs (d) and (e) alone, BENCH_PLOTS=no leaves them out.
# Usage: bash bench/run_bench.sh [build folder]   (default: build)
# (bash for its clock variable: a `date` process around each run would add
# a millisecond or more to both sides of the ratio.)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
program="$build/Ruvela_v12"
[ -x "$program" ] || { echo "build the programs first (make build)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (sh scripts/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

floor_writer="$work/floor_writer"
"${CXX:-c++}" -std=c++20 -O2 -Wall -Wextra -o "$floor_writer" "$here/floor_writer.cpp"

# series_file NAME SERIES FIRST_YEAR_BASE LENGTH_BASE SEED: decade-format ring widths
series_file() {
  awk -v n="$2" -v base="$3" -v len="$4" -v seed="$5" 'BEGIN {
    srand(seed)
    for (s = 1; s <= n; s++) {
      id = sprintf("s%05d", s); first = base + (s * 7) % 100; count = len + (s * 13) % 200
      if (len >= 1000) { first = base; count = len }
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
peak_limit_mib=32      # peak memory allowed to any job

# now: the time in microseconds
now() { echo "${EPOCHREALTIME/./}"; }

outputs() { ls ./*_BAI BAm2.out BAIcm2.out RRWmm.out; }

# run_program: one timed run of the program on the answers in $answers, in
# the current folder, into new files; adds its wall time in microseconds as
# one line to $work/$label.runs. Timed on its own: /usr/bin/time would add
# a process start to the program's side only.
run_program() {
  rm -f ./*_BAI BAm2.out BAIcm2.out RRWmm.out
  start=$(now)
  RUVELA_DEVICE=null "$program" < "$answers" > "$work/$label.console"
  end=$(now)
  grep -q "Normal Termination of Program" "$work/$label.console" ||
    { echo "$label: the run did not end normally" >&2; tail "$work/$label.console" >&2; exit 1; }
  echo "$((end - start))" >> "$work/$label.runs"
}

# account_program: one run under /usr/bin/time; adds its CPU times and peak
# memory as one line to $work/$label.accounts
account_program() {
  rm -f ./*_BAI BAm2.out BAIcm2.out RRWmm.out
  RUVELA_DEVICE=null /usr/bin/time -f '%U %S %M' -o "$work/$label.time" "$program" < "$answers" > "$work/$label.console"
  cat "$work/$label.time" >> "$work/$label.accounts"
}

# run_floor: what the job costs any program: its inputs read, and its
# output files written under temporary names and renamed into place, into a
# folder of their own, by one process; adds its wall time in microseconds as
# one line to $work/$label.floor_runs
run_floor() {
  rm -rf "$work/$label.floor"; mkdir "$work/$label.floor"
  start=$(now)
  "$floor_writer" ./*.rwl ./*.pth -- "${floor_files[@]}"
  end=$(now)
  echo "$((end - start))" >> "$work/$label.floor_runs"
}

# measure LABEL ANSWERS TARGET_RATIO: runs the program in $work/LABEL
measure() {
  label=$1; answers=$2; target=$3
  cd "$work/$label"
  # One run first for the output files; then the program and the floor take
  # turns, so that both meet the machine in the same moods.
  run_program
  floor_files=()
  for f in $(outputs); do floor_files+=("$(wc -c < "$f")" "$work/$label.floor/${f#./}"); done
  out_bytes=$(cat $(outputs) | wc -c)
  out_count=$(outputs | wc -l)
  in_bytes=$(cat ./*.rwl ./*.pth | wc -c)
  : > "$work/$label.runs"; : > "$work/$label.floor_runs"; : > "$work/$label.accounts"
  i=0
  while [ "$i" -lt "$runs" ]; do run_program; run_floor; account_program; i=$((i + 1)); done
  rm -rf "$work/$label.floor"
  program_us=$(sort -n "$work/$label.runs" | head -n 1)
  floor_us=$(sort -n "$work/$label.floor_runs" | head -n 1)
  # The least CPU time of the accounted runs, the largest peak.
  set -- $(awk '{ c = $1 + $2; if (NR == 1 || c < best) best = c; if ($3 > peak) peak = $3 }
                END { print best, peak }' "$work/$label.accounts")
  cpu=$1; peak_kib=$2
  awk -v l="$label" -v p="$program_us" -v c="$floor_us" -v cpu="$cpu" -v m="$peak_kib" \
      -v o="$out_bytes" -v n="$out_count" -v i="$in_bytes" -v r="$runs" -v t="$target" \
      -v lim="$peak_limit_mib" 'BEGIN {
    printf "%s\n", l
    printf "  program: %.3f s wall (best of %d), %.2f s CPU, peak memory %.1f MiB (limit %d)\n",
           p / 1e6, r, cpu, m / 1024, lim
    printf "  floor:   %.3f s wall (best of %d) to read the %.1f MB input and write %.1f MB in %d files\n",
           c / 1e6, r, i / 1e6, o / 1e6, n
    printf "  ratio to the floor: %.1f (target at most %d), %.0f MB/s written\n",
           p / c, t, o / (p / 1e6) / 1e6
  }'
  cd "$work"
}

# measure_plots LABEL SERIES PLOTS [YEARS]: one command-line run drawing every
# page of one pair of SERIES series of YEARS (1000) years into PLOTS (a .pdf file or a
# folder/); prints its pages a second and its peak memory, the larger of the
# program's and its drawing process's. One run: a page costs the library far
# more than the machine's moods.
measure_plots() {
  label=$1; series=$2; plots=$3; years=${4:-1000}
  mkdir -p "$work/$label"; cd "$work/$label"
  series_file big.rwl "$series" $((5002 - years)) "$years" 1
  offsets_file big.pth "$series"
  RUVELA_DEVICE=null /usr/bin/time -f '%e %M' -o "$work/$label.time" \
    "$program" --kind pith --format '(i3)' --plots "$plots" big.rwl big.pth > "$work/$label.console" 2>&1 ||
    { echo "$label: the run failed" >&2; cat "$work/$label.console" >&2; }
  if [ "${plots%/}" != "$plots" ]; then pages=$(ls "$plots" | grep -c '\.png$')
  else pages=$(grep -c '/Type */Page[^s]' "$plots" 2>/dev/null || echo 0); fi
  set -- $(cat "$work/$label.time")
  awk -v l="$label" -v e="$1" -v m="$2" -v p="$pages" -v s="$series" 'BEGIN {
    printf "%s\n  %d of %d pages in %.1f s: %.1f pages/s, peak memory %.1f MiB\n",
           l, p, s + 1, e, p / e, m / 1024 }'
  cd "$work"; rm -rf "$work/$label"
}

if [ "${BENCH_PLOTS:-}" = large ]; then
  measure_plots f 1001 plots.pdf 5000
  exit 0
fi
if [ "${BENCH_PLOTS:-}" = only ]; then
  measure_plots d 1001 plots.pdf
  measure_plots e 200 pages/
  exit 0
fi

# (a) one pair at the limits
mkdir "$work/a"
series_file "$work/a/big.rwl" 1001 1001 1000 1
offsets_file "$work/a/big.pth" 1001
{ printf '\nf\nbig.rwl\nbig.pth\n1\n(i3)\n1\n'; printf '\n\n'; } > "$work/a.answers"
measure a "$work/a.answers" 5

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

# (c) the same batch in the decade layout
cp -r "$work/b" "$work/c"
rm -f "$work/c/"*_BAI "$work/c/"*.out
{ printf '\nt\nrings.lst\noffsets.lst\n1\n(i3)\n2\n'; i=0; while [ $i -lt 60 ]; do echo; i=$((i + 1)); done; } > "$work/c.answers"
measure c "$work/c.answers" 4

if [ "${BENCH_PLOTS:-}" != no ]; then
  measure_plots d 1001 plots.pdf
  measure_plots e 200 pages/
fi

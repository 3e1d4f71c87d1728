#!/bin/sh
# Runs every fuzz target of a fuzz build for FUZZ_SECONDS seconds each, on a
# working corpus under fuzz/corpus-run seeded from fuzz/seeds, the real
# data and the fixtures of the other ring-width formats. Any crash, hang,
# sanitizer report or leak stops with its input saved under
# fuzz/corpus-run/<target>/crashes.
# Usage: fuzz/run.sh BUILD_FOLDER [TARGET...]
set -eu
build=${1:?usage: fuzz/run.sh BUILD_FOLDER [TARGET...]}
shift
here=$(cd "$(dirname "$0")" && pwd)
seconds=${FUZZ_SECONDS:-60}
rss_mb=${FUZZ_RSS_MB:-2048}
targets=${*:-$(sed -n 's/^set(RUVELA_FUZZ_TARGETS \(.*\))$/\1/p' "$here/CMakeLists.txt")}
work="$here/corpus-run"

for t in $targets; do
  corpus="$work/$t/corpus"
  crashes="$work/$t/crashes"
  mkdir -p "$corpus" "$crashes"
  cp "$here/seeds/$t"/* "$corpus/" 2>/dev/null || true
  cp "$here/regressions/$t"/* "$corpus/" 2>/dev/null || true
  cp "$here/../tests/data/formats/$t"/* "$corpus/" 2>/dev/null || true
  rm -f "$corpus/README.md"
  if [ -x "$here/seed-$t.sh" ]; then sh "$here/seed-$t.sh" "$corpus"; fi
  dict=""
  if [ -f "$here/$t.dict" ]; then dict="-dict=$here/$t.dict"; fi
  echo "fuzz: $t for ${seconds}s"
  # libFuzzer ends without running exit handlers, so a target's scratch
  # folders go under a folder of its own that is removed afterwards.
  scratch="$work/$t/tmp"
  rm -rf "$scratch" && mkdir -p "$scratch"
  TMPDIR="$scratch" "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=2 -rss_limit_mb="$rss_mb" \
    -max_len=16384 -print_final_stats=1 $dict -artifact_prefix="$crashes/" "$corpus" \
    >"$work/$t/log" 2>&1 || { tail -40 "$work/$t/log"; echo "fuzz: $t FAILED, input in $crashes"; exit 1; }
  rm -rf "$scratch"
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$work/$t/log" | sed "s/^/fuzz: $t /"
done

#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60).
#   fuzz/run.sh [SECONDS]
# Findings are written to fuzz/findings/<target>/; the corpus grows in
# fuzz/corpus/<target>/ (seeded from samples/). Exit non-zero on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
cmake --preset fuzz >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=fuzz/corpus/$name
  findings=fuzz/findings/$name
  mkdir -p "$corpus" "$findings"
  case $name in
    fuzz_output_name) ;;
    *) cp -n samples/*.log "$corpus"/ 2>/dev/null || true ;;
  esac
  # Regression inputs kept from earlier findings run first.
  if [ -d "fuzz/regressions/$name" ]; then
    "$target" "fuzz/regressions/$name"/* >/dev/null 2>&1 || { echo "$name: a kept regression input fails"; status=1; }
  fi
  echo "== $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" 2>"$findings/last.log"; then
    echo "$name: finding, see $findings/"
    status=1
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$findings/last.log" || tail -n 3 "$findings/last.log"
done
exit $status

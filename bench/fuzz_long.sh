#!/usr/bin/env bash
# Runs every fuzz target for a long stretch (10^6 executions by default) from
# its seed corpus and prints the executions and coverage each reached.  Needs
# the fuzz preset's build:  cmake --workflow --preset fuzz
#
#   bench/fuzz_long.sh [executions]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
build=$root/build/fuzz/tests/fuzz
export CINCL=$root/data CLIBD=$root/data SYMINFO=$root/data/syminfo.lib ATOMSF=$root/data/atomsf.lib
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-22s %12s %10s %10s %8s\n' target executions coverage features seconds
for exe in "$build"/fuzz_*; do
  [ -x "$exe" ] && [ -f "$exe" ] || continue
  name=$(basename "$exe")
  mkdir -p "$work/$name" "$work/$name.artifacts"
  start=$(date +%s)
  "$exe" "$work/$name" "$root/tests/fuzz/corpus/$name" -dict="$root/tests/fuzz/dict/$name.dict" \
    -runs="$runs" -close_fd_mask=1 -print_final_stats=1 -timeout=10 \
    -artifact_prefix="$work/$name.artifacts/" 2>"$work/$name.log" || {
    echo "$name failed:"; tail -40 "$work/$name.log"; exit 1; }
  secs=$(( $(date +%s) - start ))
  execs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$work/$name.log" | grep -oE '[0-9]+$')
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$work/$name.log" | tail -1)
  printf '%-22s %12s %10s %10s %8s\n' "$name" "$execs" "$(echo "$cov" | awk '{print $2}')" \
    "$(echo "$cov" | awk '{print $4}')" "$secs"
done

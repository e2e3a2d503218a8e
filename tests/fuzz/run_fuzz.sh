#!/usr/bin/env bash
# Runs one fuzz target over its seed corpus, writing what it finds (new
# inputs, crash artifacts, the log) to a work directory of the build tree.
#
#   run_fuzz.sh <target> <work dir> <seed corpus> <dictionary> [libFuzzer flags]
set -u
target=$1 work=$2 seeds=$3 dict=$4
shift 4
mkdir -p "$work/corpus" "$work/artifacts"
# A unit may take seconds on a loaded machine (a file of many CRYST1 records
# loads the symmetry data once for each); only a real hang passes a minute.
"$target" "$work/corpus" "$seeds" -dict="$dict" -artifact_prefix="$work/artifacts/" \
  -close_fd_mask=1 -print_final_stats=1 -timeout=60 -rss_limit_mb=4096 "$@" 2>"$work/log"
status=$?
grep -E '^#[0-9]+.*(DONE|cov:)' "$work/log" | tail -1
grep -E 'stat::number_of_executed_units' "$work/log"
if [ $status -ne 0 ]; then
  tail -60 "$work/log"
  ls "$work/artifacts"
fi
exit $status

#!/usr/bin/env bash
# Runs the pipeline on one model and reads every connection row of the model
# it wrote back with the peer library (check_conn_rows.py).
#
#   conn_rows.sh <prepare_model> <python with gemmi> <monomer library> <model>
#                <expected status> <work dir>
#
# The site files come from the environment (CINCL, CLIBD, SYMINFO, ATOMSF).
# A status other than the expected one fails with the model and both
# statuses; a refused model that still writes a .crd has it read as well.  The
# work directory is kept, so that a bad row can be looked at in its file.
set -u
prepare=$1
python=$2
monlib=$3
model=$4
want=$5
work=$6
checker=$(dirname "$0")/check_conn_rows.py

rm -rf "$work"
mkdir -p "$work"
"$prepare" "$model" "$monlib" "$work/out" >"$work/log" 2>&1
status=$?
if [ "$status" -ne "$want" ]; then
  echo "conn_rows: prepare_model ended with status $status on $model (expected $want);" \
    "its last lines ($work/log):"
  tail -n 15 "$work/log"
  exit 1
fi
if [ ! -f "$work/out.crd" ]; then
  [ "$want" -ne 0 ] && exit 0
  echo "conn_rows: prepare_model ended with status 0 on $model but wrote no $work/out.crd"
  exit 1
fi
"$python" "$checker" "$work/out.crd"
case $? in
  0) ;;
  1) echo "conn_rows: bad connection rows in the model written from $model (see above)"
     exit 1 ;;
  *) echo "conn_rows: the rows of the model written from $model could not be checked (see above)"
     exit 1 ;;
esac

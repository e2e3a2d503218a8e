#!/usr/bin/env bash
# Runs one end-to-end case of orbinate and compares what it did with what the
# case expects.
#
#   run_case.sh <orbinate> <case dir> <site data dir> <test data dir>
#
# A case directory holds:
#   cmd              command-line arguments (one line; may use $TESTDATA,
#                    $DATA and $OUT); the run's working directory is a fresh
#                    temporary directory in which "data" points at the test
#                    data, so that file names in the log do not depend on
#                    where the tree lives
#   stdin            keyword lines (optional; no input when absent)
#   make_input       a shell script run first in the working directory, with
#                    $TESTDATA set, that writes an input too large to keep
#                    (optional)
#   expected_stdout  the whole standard output
#   expected_status  the exit status
#   expected_tls     the TLS file, byte for byte (optional)
#   tls_name         the TLS file's name (default groups.tls)
#   no_tls           present when no TLS file may exist afterwards
#   full_device      present when the TLS file's name is to lead to a full
#                    device (a link to /dev/full): every write to it fails
# The times line of a library stop carries CPU times; it is compared with its
# numbers masked.
set -u
exe=$1
case_dir=$(cd "$2" && pwd)
DATA=$3
TESTDATA=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
OUT=$work
ln -s "$TESTDATA" "$work/data"
# The symmetry library prints the SYMINFO file name: a link keeps it the same
# wherever the tree lives.
ln -s "$DATA" "$work/site"
export CINCL="$DATA" CLIBD="$DATA" SYMINFO="site/syminfo.lib" ATOMSF="site/atomsf.lib"
export DATA TESTDATA OUT

args=$(eval echo "$(cat "$case_dir/cmd")")
input=/dev/null
[ -f "$case_dir/stdin" ] && input="$case_dir/stdin"

tls_name=groups.tls
[ -f "$case_dir/tls_name" ] && tls_name=$(cat "$case_dir/tls_name")
[ -f "$case_dir/full_device" ] && ln -s /dev/full "$work/$tls_name"

cd "$work" || exit 2
if [ -f "$case_dir/make_input" ] && ! sh "$case_dir/make_input"; then
  echo "make_input failed"
  exit 1
fi
# shellcheck disable=SC2086
"$exe" $args <"$input" >"$work/stdout.raw" 2>"$work/stderr"
status=$?
sed -E 's/^Times: User: .*$/Times: User: (masked)/' "$work/stdout.raw" >"$work/stdout"

fail=0
if ! diff -u "$case_dir/expected_stdout" "$work/stdout"; then
  echo "standard output differs (above)"
  fail=1
fi
want_status=$(cat "$case_dir/expected_status")
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"
  fail=1
fi
if [ -f "$case_dir/expected_tls" ]; then
  if [ ! -f "$work/$tls_name" ]; then
    echo "TLS file $tls_name was not written"
    fail=1
  elif ! cmp -s "$case_dir/expected_tls" "$work/$tls_name"; then
    diff -u "$case_dir/expected_tls" "$work/$tls_name"
    echo "TLS file differs (above)"
    fail=1
  fi
fi
if [ -f "$case_dir/full_device" ] && [ ! -c "$work/$tls_name" ]; then
  echo "TLS file $tls_name no longer leads to the device"
  fail=1
elif [ -f "$case_dir/no_tls" ] && [ -e "$work/$tls_name" ]; then
  echo "TLS file $tls_name exists but should not"
  fail=1
fi
if [ $fail -ne 0 ]; then
  echo "--- standard error:"
  cat "$work/stderr"
fi
exit $fail

#!/usr/bin/env bash
# Builds orbinate (optimised build, only when needed) and runs it on a real
# PDB entry shipped with the tests, with TLS keywords on standard input.
# Shows the log and the TLS group file it writes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"

log=$(mktemp)
if [ ! -x "$build/apps/orbinate/orbinate" ] || [ ! -f "$build/orbinate-env.sh" ]; then
  (cd "$root" && cmake --preset release) >"$log" 2>&1 || { cat "$log"; exit 1; }
fi
cmake --build "$build" --target orbinate -j2 >"$log" 2>&1 || { cat "$log"; exit 1; }
rm -f "$log"
# Site files (environ.def, default.def, symmetry and scattering-factor data)
# and the program on PATH.
# shellcheck source=/dev/null
source "$build/orbinate-env.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
echo "=== orbinate XYZIN 1A8O.pdb TLSOUT 1a8o.tls"
# A failed run still shows its status and whatever it wrote.
status=0
orbinate XYZIN "$root/tests/data/1A8O.pdb" TLSOUT 1a8o.tls <<'KEYWORDS' || status=$?
TLS GROUP CHAIN
END
KEYWORDS
echo "=== exit status $status"
echo "=== 1a8o.tls"
cat 1a8o.tls 2>/dev/null || echo "(not written)"
exit "$status"

#!/usr/bin/env bash
# Installs the build into a scratch prefix, builds the example program as a
# project of its own against the installed package (headers, libraries,
# package files), checks that it compiles with the start value of locals the
# headers count on, and runs it with the installed environment script on a
# shipped entry.
#
#   check_install.sh <build dir> <source dir> <C++ compiler>
set -euo pipefail
build=$1
src=$2
cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
for f in include/orbinate/pipeline/tessran.h include/orbinate/runtime/run.h \
         share/orbinate/syminfo.lib share/orbinate/orbinate-env.sh; do
  [ -f "$work/prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
ls "$work"/prefix/lib*/cmake/orbinate/orbinateConfig.cmake >/dev/null

cmake -S "$src/tests/install/consumer" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DEXAMPLE_SOURCE="$src/examples/prepare_model.cpp" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
bash "$src/tests/install/check_compile_flags.sh" "$work/build/compile_commands.json"

# The installed script points at the installed site files; nothing else set.
(
  unset SYMINFO ATOMSF CLIBD CINCL
  # shellcheck source=/dev/null
  source "$work/prefix/share/orbinate/orbinate-env.sh"
  cd "$work"
  "$work/build/prepare_model" "$src/tests/data/disordered.pdb" "$src/tests/data/monlib" out >run.log 2>&1 ||
    { cat run.log; exit 1; }
  for f in out.crd out.str out.rst; do
    [ -s "$f" ] || { cat run.log; echo "not written: $f"; exit 1; }
  done
)
echo "installed package builds and runs the example"

#!/usr/bin/env bash
# Builds the example program in a project of its own that adds the orbinate
# source tree with add_subdirectory, under the README's names (the tree in
# orbinate/, the program prepare_model.cpp and its target prepare_model), and
# runs it on a shipped entry.  Only the libraries of the tree are built; the
# program's code, inlined from the headers, compiles with the start value of
# locals that the libraries count on.
#
#   check_subdirectory.sh <source dir> <C++ compiler>
set -euo pipefail
src=$1
cxx=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The README shows the project's own lines as they stand here.
grep -v -e '^#' -e '^$' -e '^cmake_minimum_required' -e '^project' \
  "$src/tests/install/subdirectory/CMakeLists.txt" | while IFS= read -r line; do
  grep -qxF "      $line" "$src/README.md" || { echo "README does not show: $line"; exit 1; }
done

mkdir "$work/project"
cp "$src/tests/install/subdirectory/CMakeLists.txt" "$work/project/"
cp "$src/examples/prepare_model.cpp" "$work/project/"
ln -s "$src" "$work/project/orbinate"

cmake -S "$work/project" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
for t in orbinate/examples/prepare_model orbinate/apps/orbinate/orbinate; do
  [ ! -e "$work/build/$t" ] || { echo "built without being asked for: $t"; exit 1; }
done
bash "$src/tests/install/check_compile_flags.sh" "$work/build/compile_commands.json"

cd "$work"
"$work/build/prepare_model" "$src/tests/data/disordered.pdb" "$src/tests/data/monlib" out >run.log 2>&1 ||
  { cat run.log; exit 1; }
for f in out.crd out.str out.rst; do
  [ -s "$f" ] || { cat run.log; echo "not written: $f"; exit 1; }
done
echo "a project that adds the source tree builds and runs the example"

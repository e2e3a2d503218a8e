#!/usr/bin/env bash
# The consumer's own source compiles with the start value of locals that the
# libraries' headers count on:
#   check_compile_flags.sh <compile_commands.json of the consumer>
set -euo pipefail
line=$(grep '"command".*prepare_model\.cpp' "$1") || { echo "no compile command for prepare_model.cpp"; exit 1; }
case "$line" in
  *-ftrivial-auto-var-init=zero*) ;;
  *) echo "prepare_model.cpp compiles without -ftrivial-auto-var-init=zero: $line"; exit 1 ;;
esac

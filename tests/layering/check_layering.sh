#!/usr/bin/env bash
# Compares every '#include "room/..."' of src/ and tests/ with the allowed
# edges of the room order, and lists every include that runs up the order.
#
#   check_layering.sh <source tree> <allowed edges file>
set -u
root=$1
table=$2

declare -A allowed
while IFS= read -r line; do
  line=${line%%#*}
  [[ $line == *:* ]] || continue
  room=${line%%:*}
  allowed[$room]=" $room ${line#*:} "
done <"$table"

bad=0
check_dir() {  # <directory> <room whose edges apply> <extra allowed rooms>
  local dir=$1 room=$2 extra=$3 file target
  [ -d "$dir" ] || return 0
  if [ -z "${allowed[$room]+x}" ]; then
    echo "layering: room '$room' ($dir) is missing from $table"
    bad=1
    return 0
  fi
  local ok="${allowed[$room]}$extra "
  while IFS=: read -r file target; do
    if [[ $ok != *" $target "* ]]; then
      echo "layering: ${file#"$root"/} includes $target/, above room $room"
      bad=1
    fi
  done < <(grep -ro --include='*.h' --include='*.cpp' '^#include "[a-z_]*/' "$dir" |
           sed 's/#include "\([a-z_]*\)\//\1/')
}

for dir in "$root"/src/*/; do
  room=$(basename "$dir")
  check_dir "$dir" "$room" ""
done
for dir in "$root"/tests/*/; do
  room=$(basename "$dir")
  case $room in
    support) check_dir "$dir" runtime " suite support " ;;
    # The example's test stands on the whole code base, as the example does;
    # so does the shelf of real entries, which runs both programs.
    example | shelf) check_dir "$dir" pipeline " support " ;;
    data | e2e | layering | fuzz | install) ;;
    *) check_dir "$dir" "$room" " support " ;;
  esac
done

[ $bad -eq 0 ] && echo "layering: every include keeps to the room order"
exit $bad

#!/usr/bin/env bash
# The layers of ARCHITECTURE.md hold: every source file has a place in its table, and no file
# includes a header of a layer below its own.
set -euo pipefail
cd "${QUORVEL_SOURCE:-$(dirname "$0")/..}"

# Table rows "| N | what | `entry` `entry` |" after the layers marker, as "entry N" lines.
entries=$(sed -n '/<!-- layers:/,/^$/p' ARCHITECTURE.md | grep -E '^\| [0-9]+ \|' |
  awk -F'|' '{ n = $2 + 0; s = $4; while (match(s, /`[^`]+`/)) {
                 print substr(s, RSTART + 1, RLENGTH - 2), n; s = substr(s, RSTART + RLENGTH) } }')
[ -n "$entries" ] || { echo "no layer table in ARCHITECTURE.md" >&2; exit 1; }

# The layer of a path under src/: its own entry, else its stem's ("x.*"), else its folder's.
layer_of() {
  local path=$1 stem=${1%.*} folder=${1%/*}/
  awk -v p="$path" -v s="$stem.*" -v f="$folder" '
    $1 == p { exact = $2 } $1 == s { stem = $2 } $1 == f { dir = $2 }
    END { print exact != "" ? exact : stem != "" ? stem : dir }' <<<"$entries"
}

failures=0
declare -A layers
mapfile -t files < <(cd src && find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort)
for file in "${files[@]}"; do
  layers[$file]=$(layer_of "$file")
  if [ -z "${layers[$file]}" ]; then
    echo "src/$file has no layer in ARCHITECTURE.md"
    failures=$((failures + 1))
  fi
done
for file in "${files[@]}"; do
  [ -n "${layers[$file]}" ] || continue
  while read -r header; do
    # Resources and system headers are not layered.
    [ -n "${layers[$header]:-}" ] || continue
    if [ "${layers[$header]}" -gt "${layers[$file]}" ]; then
      echo "src/$file (layer ${layers[$file]}) includes $header (layer ${layers[$header]})"
      failures=$((failures + 1))
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "src/$file")
done
echo "${#files[@]} files, $failures against the layers"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# Fails when a script of the build, the tests or the run calls a command that neither comes with
# a package tools/install-deps.sh installs (or one those depend on) nor with an essential
# package: such a command is only there on machines where someone installed it by hand.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t scripts < <(git ls-files 'Makefile' '.ci/*' 'tools/*.sh' 'tests/*.sh' '*CMakeLists.txt')

# Words in command position: at the start of a line or after a pipe, a list operator, a command
# substitution, a subshell or a keyword; wrappers (sudo, timeout, xargs, the Wine wrapper) are
# looked through to the command they run. Here-documents, arithmetic and strings that hold no
# command substitution are data; in CMake files only the COMMAND of custom commands runs.
shell_command_words() {
  sed -E -e '/<<[A-Z]+$/,/^[A-Z]+$/d' -e 's/(^|[[:space:]])#.*$//' -e 's/^[[:space:]]*@//' \
    -e 's/\$\(([A-Z_]+)\)/\1/g' -e 's/\$\(\(.*\)\)//' -e "s/'[^']*'//g" -e 's/"([^"$]|\$[^(])*"//g' "$@" |
    sed -E 's/(\|\||&&|\||;|\$\(|`|\(|\{|(^|[[:space:]])(then|do|else|if|elif|while|until|!)[[:space:]])/\n/g' |
    sed -E -e 's/^[[:space:]]+//' \
      -e ':strip' \
      -e 's/^[A-Za-z_][A-Za-z0-9_]*=("[^"]*"|'\''[^'\'']*'\''|[^[:space:]]*)[[:space:]]+//; t strip' \
      -e 's/^(\$sudo|sudo|exec|command|nice|env|time|xargs( -[a-z0-9]+)*|timeout [0-9.]+[smh]?)[[:space:]]+//; t strip' \
      -e 's/^[^[:space:]]*with-wine\.sh[[:space:]]+[^[:space:]]+[[:space:]]+//; t strip' |
    grep -oE '^[A-Za-z][A-Za-z0-9_.+-]*([[:space:]]|$)' | sed -E 's/[[:space:]]+$//'
}
command_words() {
  local cmake=() shell=() script
  for script in "$@"; do
    case $script in *CMakeLists.txt) cmake+=("$script") ;; *) shell+=("$script") ;; esac
  done
  {
    shell_command_words "${shell[@]}"
    grep -ohE 'COMMAND +[A-Za-z][A-Za-z0-9_.+-]*' "${cmake[@]}" | sed -E 's/COMMAND +//'
  } | sort -u
}

# The packages the install script names, with everything they depend on.
mapfile -t listed < <(tools/install-deps.sh --list)
closure=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances "${listed[@]}" 2>/dev/null |
  sed -nE 's/^[[:space:]]*(Pre)?Depends: ([^<][^[:space:]]*).*/\2/p; s/^([a-z0-9][^[:space:]]*)$/\1/p' |
  sed 's/:.*//' | sort -u)
essential=$(dpkg-query -W -f='${Package} ${Essential}\n' | sed -n 's/ yes$//p')

# The packages that own a file, by its path as given, without /usr, or with links resolved.
owner() {
  local candidate found
  for candidate in "$1" "${1#/usr}" "$(readlink -f "$1")"; do
    found=$(dpkg-query -S "$candidate" 2>/dev/null | grep -v '^diversion' | head -n 1) || true
    if [ -n "$found" ]; then
      sed -e 's/: .*//' <<<"$found" | tr ',' '\n' | sed -e 's/^ *//' -e 's/:.*//'
      return
    fi
  done
}

missing=0
for word in $(command_words "${scripts[@]}"); do
  [ "$(type -t "$word")" = file ] || continue
  # The first copy on the PATH that a package owns: local stand-ins are not installed here.
  packages="" where=""
  for path in $(type -aP "$word"); do
    case $path in "$PWD"/*) continue 2 ;; esac
    packages=$(owner "$path")
    where=$path
    [ -n "$packages" ] && break
  done
  ok=no
  for package in $packages; do
    grep -qxF "$package" <<<"$closure"$'\n'"$essential" && ok=yes
  done
  if [ "$ok" = no ]; then
    echo "check-deps: '$word' ($where, from ${packages:-no package}) is not installed by" \
      "tools/install-deps.sh" >&2
    missing=$((missing + 1))
  fi
done
[ "$missing" -eq 0 ]

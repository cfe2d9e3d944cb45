#!/usr/bin/env bash
# The fuzz test: good pictures (BMP, JPEG, PNG, GIF, TIFF) and movies and MUTANTS mutated copies of them loaded through
# the saver's own loaders (qfuzz). Run inside tools/with-wine.sh.
# Usage: fuzz.sh BUILD_DIR MUTANTS [SEED]
set -euo pipefail
build=$(realpath "$1")
mutants=$2
seed=${3:-1}
work="$build/fuzz"
rm -rf "$work"
mkdir -p "$work/movies" "$work/files" "$work/home"
bash "$(dirname "$0")/make_seed_movies.sh" "$work/movies"
bash "$(dirname "$0")/make_seed_pictures.sh" "$work/movies"
# A wave-out device that writes nowhere, so sound formats reach the platform's converter.
cat >"$work/home/.asoundrc" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "/dev/null"
  format "raw"
}
CONF
# The tests after this one get a fresh Wine session: after the crashed and killed processes of
# this one, a saver started in the same session was seen not to come to the front.
source "$(dirname "$0")/../wine-session.sh"
trap restart_wine EXIT
windows() { echo "Z:$1" | tr / '\\'; }
HOME="$work/home" wine "$build/qfuzz.exe" --movies "$(windows "$work/movies")" \
  --work "$(windows "$work/files")" --mutants "$mutants" --seed "$seed" | tr -d '\r' || {
  echo "The files that crashed or hung it are kept in $work/files"
  exit 1
}

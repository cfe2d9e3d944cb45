#!/usr/bin/env bash
# The media tests that need a wave-out device of a known kind: one whose output ALSA writes to
# a file, and none at all.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/capture" "$work/none"
cat >"$work/capture/.asoundrc" <<CONF
pcm.!default { type file slave.pcm "null" file "$work/captured.raw" format "raw" }
CONF
echo 'pcm.!default { type hw card 99 }' >"$work/none/.asoundrc"

# run MODE FILTER: the unit tests of that filter; "N passed" when all N > 0 of them passed.
run() {
  HOME=$work/$1 QUORVEL_SOUND=$1 QUORVEL_CAPTURE=$work/captured.raw \
    wine "$QUORVEL_BUILD/tests/test_media.exe" --gtest_brief=1 --gtest_filter="$2" \
    2>/dev/null | tr -d '\r' >"$work/out"
  local code=${PIPESTATUS[0]} passed
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$work/out")
  if [ "$code" -eq 0 ] && [ "${passed:-0}" -gt 0 ]; then
    echo "$passed passed"
  else
    grep -v '^ALSA' "$work/out" >&2
    echo "exit $code"
  fi
}

check "with a device that writes a file" \
  "$(run capture 'SoundTest.CapturedSound*:SoundTest.NothingToPlay*')" "5 passed"
check "without a device" "$(run none 'SoundTest.NoSoundDevice*')" "1 passed"
finish

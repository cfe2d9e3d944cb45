#!/usr/bin/env bash
# Sound heard through Wine's wave-out device, its output captured to a file by ALSA, and the
# same movies on a machine with no sound device.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/capture" "$work/none"
cat >"$work/capture/.asoundrc" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "$work/captured.raw"
  format "raw"
}
CONF

# run HOME MODE FILTER: the media unit tests of that filter; prints "N passed" when all of the
# N > 0 tests that ran passed, their failures otherwise.
run() {
  HOME=$1 QUORVEL_SOUND=$2 QUORVEL_CAPTURE=$work/captured.raw \
    wine "$QUORVEL_BUILD/tests/test_media.exe" --gtest_brief=1 --gtest_filter="$3" \
    2>/dev/null | tr -d '\r' >"$work/out"
  local code=${PIPESTATUS[0]}
  local passed
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$work/out")
  if [ "$code" -eq 0 ] && [ "${passed:-0}" -gt 0 ]; then
    echo "$passed passed"
  else
    grep -v '^ALSA' "$work/out" >&2
    echo "exit $code"
  fi
}

check "captured sound" "$(run "$work/capture" capture "CapturedSound.*:SoundTest.*")" "9 passed"
check "no sound device" "$(run "$work/none" none "NoSoundDevice.*:SoundTest.*")" "4 passed"
finish

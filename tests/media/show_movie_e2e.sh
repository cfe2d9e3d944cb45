#!/usr/bin/env bash
# A movie item in the real saver: the hologram plays a movie of the media folder and its sound
# comes out of the wave-out device (captured to a file by ALSA); the saver then ends cleanly.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
KEY='HKCU\Software\Plinthwax\QUORVEL'
work=$(mktemp -d)
trap 'wine reg delete "$KEY" /f >/dev/null 2>&1; rm -rf "$work"' EXIT
mkdir -p "$work/media" "$work/home"
capture=$work/captured.raw
cat >"$work/home/.asoundrc" <<CONF
pcm.!default {
  type file
  slave.pcm "null"
  file "$capture"
  format "raw"
}
CONF

# Two seconds of a sound with no silent sample, as a movie and as bare bytes.
ramp="aevalsrc='0.1+mod(n,997)/2000|0.7-mod(n,991)/2000':s=22050:c=stereo:d=2"
ffmpeg -nostdin -v error -y -f lavfi -i "color=c=blue:size=64x48:rate=10:duration=2" \
  -f lavfi -i "$ramp" -c:v msvideo1 -pix_fmt rgb555le -c:a pcm_s16le -shortest "$work/media/m.avi"
ffmpeg -nostdin -v error -y -f lavfi -i "$ramp" -c:a pcm_s16le -f s16le "$work/tone.raw"
# A picture that cannot be loaded: with only external items wanted, every item after the
# first is then a movie.
echo "not a picture" >"$work/media/x.bmp"

wine reg delete "$KEY" /f >/dev/null 2>&1
wine reg add "$KEY" /v "Play AVIs" /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$KEY" /v "Play AVI Sound" /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$KEY" /v "Only Show External Pics" /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$KEY" /v "AVI Path" /d "Z:$(echo "$work/media" | tr / '\\')\\" /f >/dev/null 2>&1

# The sound's bytes without the silence the platform may add around them (4-byte frames).
sound_of() { od -An -v -tx1 -w4 "$1" | grep -v '^ 00 00 00 00$'; }

HOME=$work/home start_saver /s
window=$(saver_window)
check_match "the saver runs" "$window" '^[0-9]+$'
# The first item is a built-in picture (about 16 seconds); the movie comes after it.
heard=""
for _ in $(seq 120); do
  sleep 1
  size=$(stat -c %s "$capture" 2>/dev/null || echo 0)
  if [ "$size" -ge "$(stat -c %s "$work/tone.raw")" ]; then
    sleep 1
    [ "$(stat -c %s "$capture")" = "$size" ] || continue
    heard=$(cmp <(sound_of "$capture") <(sound_of "$work/tone.raw") >/dev/null && echo same)
    break
  fi
done
check "the movie's sound was played whole, once, in order" "$heard" same
xdotool key Escape
wait_exit 10
check "a key ends the saver with 0" "$EXIT_CODE" 0
end_leftover
finish

#!/usr/bin/env bash
# A media folder as people keep theirs, in folders by year and by trip named in many scripts: a
# phone photo (stored turned, its Exif tag saying so) projected upright and a movie's sound heard
# by the running saver, read from screenshots of the scene's window and from what the sound
# device was given.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"
work=$(mktemp -d)
trap 'reset_settings; wine reg delete "$UNMANAGED_KEY" /f >/dev/null 2>&1; rm -rf "$work"' EXIT
media=$work/media photo="$work/media/2024/Ελλάδα 🌍/東京 タワー.jpg"
mkdir -p "$media/2024/Ελλάδα 🌍" "$media/2025/Fête d'été"
# Red and lime above blue and yellow, stored turned a quarter; the tag turns it back.
convert -size 48x32 xc:red xc:lime +append \( -size 48x32 xc:blue xc:yellow +append \) \
  -append +repage -rotate 270 -quality 95 "$photo"
exiftool -q -overwrite_original "-Orientation#=6" "$photo"
ffmpeg -nostdin -v error -f lavfi -i "color=c=lime:size=64x48:rate=10:duration=3" \
  -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=3" -c:v cinepak -c:a pcm_s16le \
  -ac 1 "$media/2025/Fête d'été/фильм 🎬.avi"
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\n' \
  "$work/heard.raw" >"$work/.asoundrc"

reset_settings
store_settings "AVI Path" "sz:$(windows_path "$media")\\" "Play AVIs" dword:1 \
  "Only Show External Pics" dword:1 "Show Countdown" dword:0
HOME=$work start_saver /s
check_match "the saver runs" "$(saver_window)" '^[0-9]+$'
seen=no heard=no
for _ in $(seq 300); do
  scene=$(xwininfo -root -tree | grep -E "1024x768\+0\+0 +\+-1\+-1" | grep -oE "0x[0-9a-f]+" | tail -n1)
  import -window "${scene:-root}" -depth 8 "$work/shot.ppm" 2>/dev/null &&
    perl "$QUORVEL_SOURCE/tests/textures/upright.pl" "$work/shot.ppm" lime yellow && seen=yes
  [ -s "$work/heard.raw" ] && heard=yes
  [ "$seen$heard" = yesyes ] && break
  sleep 0.5
done
check "the photo named in another script is shown upright" "$seen" yes
check "the movie named in another script is heard" "$heard" yes
[ "$seen" = yes ] || cp "$work/shot.ppm" "$QUORVEL_BUILD/show_pictures.ppm"
xdotool key Escape
wait_exit 10
check "a key ends the saver with 0" "$EXIT_CODE" 0
end_leftover

# The largest photo decoded whole, which takes a while: a key while the decoding thread is at it
# ends the saver at once. The decode is under way once the saver's memory has grown by its size.
mkdir -p "$work/large"
convert -size 6144x4096 gradient:navy-orange -quality 90 "$work/large/large.jpg"
store_settings "AVI Path" "sz:$(windows_path "$work/large")\\"
start_saver /s
check_match "the saver runs with the large photo" "$(saver_window)" '^[0-9]+$'
rss() { awk '/^VmRSS/ { print $2 }' "/proc/$SAVER_PID/status" 2>/dev/null || echo 0; }
resting=$(rss) decoding=no
for _ in $(seq 600); do
  [ "$(rss)" -gt $((resting + 100000)) ] && { decoding=yes; break; }
  sleep 0.1
done
check "the large photo is being decoded" "$decoding" yes
xdotool key Escape
start=$(date +%s%N)
for _ in $(seq 2000); do kill -0 "$SAVER_PID" 2>/dev/null || break; sleep 0.005; done
closed_ms=$((($(date +%s%N) - start) / 1000000))
wait_exit 10
echo "closed during a decode in $closed_ms ms after the key"
check "a key during the decode ends the saver with 0" "$EXIT_CODE" 0
check "at once, not after the decode" "$([ "$closed_ms" -lt 1000 ] && echo yes)" yes
end_leftover
finish

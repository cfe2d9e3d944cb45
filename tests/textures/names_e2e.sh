#!/usr/bin/env bash
# A media folder as people keep theirs: photos in folders by year and by trip, named in many
# scripts, and a movie with sound. The running saver shows the photos and plays the movie's
# sound, read from screenshots of the scene's window and from what the sound device was given.
source "$QUORVEL_SOURCE/tests/support/e2e.sh"
source "$QUORVEL_SOURCE/tests/support/dialog.sh"
work=$(mktemp -d)
trap 'reset_settings; wine reg delete "$UNMANAGED_KEY" /f >/dev/null 2>&1; rm -rf "$work"' EXIT
media=$work/media
mkdir -p "$media/2024/東京" "$media/2025/Fête d'été" "$media/Ελλάδα" "$media/.hidden"
convert -size 64x48 xc:lime "$media/2024/東京/東京 タワー.jpg"
convert -size 64x48 xc:lime "$media/2025/Fête d'été/Москва.png"
convert -size 64x48 xc:lime "$media/Ελλάδα/🌍 γη.gif"
convert -size 64x48 xc:red "$media/.hidden/never.bmp"
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
# Lime pixels of the projected photos (never the hidden folder's red one), and sound.
lime() {
  perl -e 'local $/; open(my $f, "<:raw", $ARGV[0]) or exit 1; my $p = <$f>;
    $p =~ s/^P6\s+\d+\s+\d+\s+255\s//s or exit 1; my $n = 0;
    while ($p =~ /(...)/gs) { my ($r, $g, $b) = unpack("C3", $1); $n++ if $g > 150 && $r < 80 }
    exit($n < 500)' "$1"
}
shown=no heard=no
for _ in $(seq 180); do
  scene=$(xwininfo -root -tree | grep -E "1024x768\+0\+0 +\+-1\+-1" | grep -oE "0x[0-9a-f]+" | tail -n1)
  import -window "${scene:-root}" -depth 8 "$work/shot.ppm" 2>/dev/null && lime "$work/shot.ppm" &&
    shown=yes
  [ -s "$work/heard.raw" ] && heard=yes
  [ "$shown$heard" = yesyes ] && break
  [ -n "${QUORVEL_TRACE:-}" ] && echo "$SECONDS s: shown $shown heard $heard $(stat -c %s "$work/heard.raw" 2>/dev/null)"
  sleep 1
done
check "a photo named in another script is shown" "$shown" yes
check "the movie named in another script is heard" "$heard" yes
xdotool key Escape
wait_exit 10
check "a key ends the saver with 0" "$EXIT_CODE" 0
end_leftover
finish

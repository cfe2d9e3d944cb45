#!/usr/bin/env bash
# Makes the movies the media tests play, good and broken, into folder $1: one sub-folder per
# case, so each can serve as a media folder of its own; and the picture tests' pictures.
set -euo pipefail
out=$1
rm -rf "$out"
bash "$(dirname "$0")/../textures/make_pictures.sh" "$out/pictures"
cd "$out"

# ffmpeg into a folder of the output's own.
ff() { mkdir -p "$(dirname "${*: -1}")" && ffmpeg -nostdin -v error -y "$@"; }

# Frame n is red 25n + 5; green 40 on the left half, 200 on the right; blue 60 in the top half,
# 220 in the bottom.
quadrants() {
  echo "color=c=black:size=$1:rate=$2:duration=$3,format=gbrp,geq=r='N*$4+5':g='if(lt(X,W/2),40,200)':b='if(lt(Y,H/2),60,220)'"
}
# A sound with no silent sample and no repeating stretch shorter than a buffer.
ramp="aevalsrc='0.1+mod(n,997)/2000|0.7-mod(n,991)/2000':s=22050:c=stereo"

# poke FILE OFFSET VALUE [BITS]: writes the little-endian VALUE of BITS (32) bits at byte OFFSET.
poke() {
  local bytes='' i
  for ((i = 0; i < ${4:-32}; i += 8)); do bytes+=$(printf '\\x%02x' $(($3 >> i & 255))); done
  printf "$bytes" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
peek32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
puts() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
# Byte offset of the $2-th occurrence of text $3 in file $1.
find_tag() { grep -obUa "$3" "$1" | sed -n "$2p" | cut -d: -f1; }
broken() {  # broken NAME SOURCE: a copy of SOURCE in a folder of its own
  mkdir -p "$1"
  cp "$2" "$1/m.avi"
  echo "$1/m.avi"
}
# mutate NAME SOURCE BITS TAG N OFFSET VALUE: a copy of SOURCE with the BITS-bit VALUE written
# OFFSET bytes after the N-th TAG.
mutate() { local f; f=$(broken "$1" "$2"); poke "$f" $(($(find_tag "$f" "$5" "$4") + $6)) "$7" "$3"; }

# The platform's drawer takes uncompressed frames bottom-up; the encoder writes them top-down
# with a negative height. Flipped rows and a positive height make the same picture.
bottom_up() { poke "$1" $(($(find_tag "$1" 1 strf) + 16)) "$2"; }
raw() {  # raw FILTER FILE HEIGHT [more ffmpeg arguments before the output]
  local filter=$1 file=$2 height=$3
  shift 3
  ff -f lavfi -i "$filter,vflip" "$@" -c:v rawvideo -pix_fmt bgr24 "$file"
  bottom_up "$file" "$height"
}

raw "$(quadrants 320x240 10 1 25)" raw/m.avi 240
ff -f lavfi -i "$(quadrants 160x120 10 1 25)" -c:v msvideo1 -pix_fmt rgb555le msvideo1/m.avi
ff -f lavfi -i "$(quadrants 160x120 10 1 25)" -c:v cinepak cinepak/m.avi
# 40 frames; frame n is red 32 (n mod 8) + 16, green 32 (n div 8) + 16, which survives the
# codec's 5-bit colour. (Uncompressed frames asked for out of order come back wrong.)
ff -f lavfi -i "color=c=black:size=64x32:rate=10:duration=4,format=gbrp,geq=r='mod(N,8)*32+16':g='floor(N/8)*32+16':b=128" \
  -c:v msvideo1 -pix_fmt rgb555le long/m.avi
# 10,000 samples of 4 bytes, and the same sound as bare bytes.
raw "color=c=gray:size=32x32:rate=10:duration=0.5" tone/m.avi 32 \
  -f lavfi -i "$ramp,atrim=end_sample=10000" -c:a pcm_s16le -shortest
ff -f lavfi -i "$ramp,atrim=end_sample=10000" -c:a pcm_s16le -f s16le tone/m.raw
raw "color=c=gray:size=32x32:rate=10:duration=0.5" silent/m.avi 32
ff -f lavfi -i "color=c=black:size=64x32:rate=10:duration=1,format=gbrp,geq=r='if(lt(X,W/2),255,0)':g='if(lt(Y,H/2),255,0)':b=255,vflip" \
  -c:v rawvideo -pix_fmt pal8 pal8/m.avi
bottom_up pal8/m.avi 32

mkdir -p dir/m.avi empty truncated
ff -f lavfi -i "$(quadrants 64x32 10 1 25)" -c:v rawvideo -pix_fmt bgr24 topdown/m.avi
ff -f lavfi -i "color=c=gray:size=32x32:rate=10:duration=0.5" -f lavfi -i "$ramp,atrim=end_sample=10000" \
  -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -frames:v 0 zeroframes/m.avi
ff -f lavfi -i "$(quadrants 64x32 10 1 25)" -c:v mjpeg mjpeg/m.avi
ff -f lavfi -i "$ramp,atrim=end_sample=10000" -c:a pcm_s16le audioonly/m.avi
# No index, and the first frame is not whole.
head -c 150000 raw/m.avi >truncated/m.avi

# Each breaks one rule of the structure check (offsets inside strh: 28 scale, 60 right, 62
# bottom; strf of video: 8 header size, 12 width, 16 height, 22 bit count, 40 colours; of
# sound: 10 channels, 12 rate, 20 block align).
mutate zeroduration tone/m.avi 32 strh 1 28 0
mutate hugeframe tone/m.avi 16 strh 1 60 30000
mutate hugemovi tone/m.avi 32 movi 1 -4 4294967280
mutate hugeblock tone/m.avi 16 strf 2 20 65535
mutate nochannels tone/m.avi 16 strf 2 10 0
mutate norate tone/m.avi 32 strf 2 12 0
mutate streamcount tone/m.avi 32 avih 1 32 1
mutate indexsize long/m.avi 32 idx1 1 $((8 + 3 * 16 + 12)) 4294967280
# The index entry of frame 15 sends the reader past the end of the file.
mutate badframe long/m.avi 32 idx1 1 $((8 + 15 * 16 + 8)) 2000000000
mutate headersize cinepak/m.avi 32 strf 1 8 4294967280
mutate cinepakcolours cinepak/m.avi 32 strf 1 40 4294967295
mutate palettecolours pal8/m.avi 32 strf 1 40 268435456
mutate hugewidth cinepak/m.avi 32 strf 1 12 2147483647
mutate noheight cinepak/m.avi 32 strf 1 16 0
mutate widebits raw/m.avi 16 strf 1 22 32
mutate oddwidth msvideo1/m.avi 32 strf 1 12 161
f=$(broken strlname tone/m.avi)
puts "$f" "$(find_tag "$f" 2 strl)" strx
f=$(broken halfindex tone/m.avi)
idx=$(find_tag "$f" 1 idx1)
poke "$f" $((idx + 4)) $(($(peek32 "$f" $((idx + 4))) / 2))
# Frame 5's first strip reaches 780 rows down a picture of 120.
f=$(broken stripheight cinepak/m.avi)
poke "$f" $(($(find_tag "$f" 1 movi) + $(peek32 "$f" $(($(find_tag "$f" 1 idx1) + 96))) + 26)) 3075 16

# A folder of short movies for long runs, with and without sound, broken ones among them.
ff -f lavfi -i "$ramp,atrim=end_sample=4000" -f lavfi -i "$(quadrants 48x32 20 0.2 40)" \
  -c:v msvideo1 -pix_fmt rgb555le -c:a pcm_s16le -shortest soak/a.avi
ff -f lavfi -i "$(quadrants 48x32 20 0.2 40)" -c:v cinepak soak/b.avi
cp tone/m.avi soak/c.avi
cp badframe/m.avi soak/d.avi
cp mjpeg/m.avi soak/e.avi
cp topdown/m.avi soak/f.avi
# Pictures that never load, so that a show of the folder's pictures only plays its movies.
echo "not a picture" >soak/g.jpg
echo "not a picture" >soak/h.bmp

# Good movies of unusual shape: a header that overstates the file; padding after the movie; a long name, which the platform's
# library cannot take whole; sound that starts late (the platform cannot read it) or of a kind
# no device plays; an index that ends after frame 14 (MS Video 1) or frame 4 (Cinepak).
mkdir -p tailff tailzero longname
mutate riffsize tone/m.avi 32 RIFF 1 4 2147483632
{ cat tone/m.avi; head -c 32 /dev/zero | tr '\0' '\377'; } >tailff/m.avi
{ cat tone/m.avi; head -c 204800 /dev/zero; } >tailzero/m.avi
cp tone/m.avi "longname/$(printf 'Holiday%.0s' $(seq 10)).avi"
mutate latesound tone/m.avi 32 strh 2 36 1000
mutate oddwave tone/m.avi 16 strf 2 8 4660
# cut_index NAME SOURCE N: a copy of SOURCE whose index ends after N entries, the rest junk.
cut_index() {
  local f idx size
  f=$(broken "$1" "$2")
  idx=$(find_tag "$f" 1 idx1)
  size=$(peek32 "$f" $((idx + 4)))
  poke "$f" $((idx + 4)) $(($3 * 16))
  puts "$f" $((idx + 8 + $3 * 16)) JUNK
  poke "$f" $((idx + 12 + $3 * 16)) $((size - $3 * 16 - 8))
}
cut_index lateframe long/m.avi 15
cut_index cinepakindex cinepak/m.avi 5
# A large file's layout on a small one: the headers count the samples of both parts, the index
# covers the first, the continuation follows it, the extended headers fill the space kept.
# (The frames are cut out with head before tail: tail after head can die of a closed pipe.)
f=$(broken opendml tone/m.avi)
poke "$f" $(($(find_tag "$f" 1 strh) + 40)) 10
poke "$f" $(($(find_tag "$f" 2 strh) + 40)) 20000
for stream in 00dc 01wb; do
  junk=$(find_tag "$f" 1 JUNK)
  puts "$f" "$junk" 'indx\030\020\0\0\004'
  puts "$f" $((junk + 16)) "$stream"
done
puts "$f" "$(find_tag "$f" 1 JUNK)" 'LIST\004\001\0\0odmldmlh\370\0\0\0\012'
movi=$(find_tag "$f" 1 movi)
frames=$(($(peek32 "$f" $((movi - 4))) - 4))
end=$(stat -c %s "$f")
{ printf 'RIFF\0\0\0\0AVIXLIST\0\0\0\0movi'; head -c $((movi + 4 + frames)) "$f" | tail -c "$frames"; } >>"$f"
poke "$f" $((end + 4)) $((frames + 16))
poke "$f" $((end + 16)) $((frames + 4))

# A movie below links that lead back up the tree: the library must list it once and stop.
mkdir -p links/a
cp raw/m.avi links/a/m.avi
ln -s .. links/a/up
ln -s . links/a/self
ln -s a links/b

# The tone movie named in other scripts, in a folder below the media folder.
mkdir -p "names/Fête d'été"
cp tone/m.avi "names/Fête d'été/фильм 🎬 ταινία.avi"

#!/usr/bin/env bash
# Makes the fuzzer's seed movies into folder $1: small and short, one of every codec the
# platform decodes here (uncompressed 24-bit and 8-bit palette, MS Video 1, Cinepak), each
# without sound and with PCM sound.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -nostdin -v error -y "$@"; }

# A lopsided picture that moves: five frames of 32 x 24.
picture="testsrc=size=32x24:rate=10:duration=0.5"
sound="sine=frequency=440:sample_rate=11025:duration=0.5"

codec() {  # codec NAME ffmpeg-video-arguments...
  local name=$1
  shift
  ff -f lavfi -i "$picture" "$@" -flipped_raw_rgb 1 "$name.avi"
  ff -f lavfi -i "$picture" -f lavfi -i "$sound" "$@" -c:a pcm_s16le -flipped_raw_rgb 1 \
    "$name-pcm.avi"
}

codec raw24 -c:v rawvideo -pix_fmt bgr24
codec raw8 -c:v rawvideo -pix_fmt pal8
codec msvideo1 -c:v msvideo1 -pix_fmt rgb555le
codec cinepak -c:v cinepak
# 8-bit stereo sound too, at another rate.
ff -f lavfi -i "$picture" -f lavfi -i "sine=frequency=300:sample_rate=8000:duration=0.5" \
  -c:v cinepak -c:a pcm_u8 -ac 2 cinepak-pcm8.avi

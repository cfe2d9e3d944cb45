#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, when any is missing.
# With --list, prints them instead.
set -euo pipefail
packages=(apt mawk git cmake make g++ mingw-w64 googletest wine wine64 xvfb xdotool imagemagick ffmpeg
          libfreetype-dev libpng-dev fonts-dejavu-core x11-utils x11-xserver-utils xserver-xephyr
          icoutils libxml2-utils libimage-exiftool-perl wixl msitools faketime zip python3 shfmt
          clang-14 libclang-rt-14-dev llvm-14)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# Packages a built saver for Windows users into OUT_DIR: QUORVEL-<version>-win64.msi (built by
# wixl from quorvel.wxs), QUORVEL-<version>-win64.zip (the saver, a read-me and the licence) and
# SHA256SUMS. The same commit gives the same bytes: every file carries the commit's time (or
# SOURCE_DATE_EPOCH), the archive its files in a fixed order with fixed permissions, and the
# package codes are derived from the version and the contents.
# Usage: dist.sh BUILD_DIR OUT_DIR [SAVER VERSION]
# SAVER defaults to BUILD_DIR/quorvel.scr and VERSION to the one in resources/version.h; the
# saver's own version resource must say the same.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
out=$2
saver=${3:-$build/quorvel.scr}
number() { sed -nE "s/^#define QUORVEL_VERSION_$1 ([0-9]+)$/\1/p" "$source/resources/version.h"; }
version=${4:-$(number MAJOR).$(number MINOR).$(number PATCH)}
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)} ||
  { echo "dist: no commit to take the files' time from; set SOURCE_DATE_EPOCH" >&2; exit 1; }

resource_version=$(wrestool -x --raw --type=16 --name=1 "$saver" | strings -el |
  sed -n '/^FileVersion$/{n;p;q}')
if [ "$resource_version" != "$version.0" ]; then
  echo "dist: $saver says version '$resource_version', the package would say '$version'" >&2
  exit 1
fi

# Name-based (SHA-1, version 5) UUIDs in a namespace of our own.
namespace=07FB7572-04C2-4976-9EEC-F5653FE487E1
name_uuid() {
  local hex
  hex=$({
    printf "$(sed -E 's/-//g; s/(..)/\\x\1/g' <<<"$namespace")"
    printf %s "$1"
  } | sha1sum | cut -c1-32)
  hex=${hex:0:12}5${hex:13:3}$(printf %x $(((16#${hex:16:1} & 3) | 8)))${hex:17:15}
  echo "${hex:0:8}-${hex:8:4}-${hex:12:4}-${hex:16:4}-${hex:20:12}" | tr a-f A-F
}

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$saver" "$stage/quorvel.scr"
cp "$build/quorvel_setup.dll" "$build/gen/quorvel.ico" "$stage/"
# Plain text for Notepad: CRLF line ends.
sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$source/tools/dist/README.txt" >"$stage/README.txt"
sed -e 's/$/\r/' "$source/LICENSE" >"$stage/LICENSE.txt"
chmod 0644 "$stage"/*
touch -d "@$epoch" "$stage"/*

base="QUORVEL-$version-win64"
mkdir -p "$out"
rm -f "$out/$base.zip" "$out/$base.msi" "$out/SHA256SUMS"
(cd "$stage" && TZ=UTC zip -X -q "$base.zip" quorvel.scr README.txt LICENSE.txt)
mv "$stage/$base.zip" "$out/"

# wixl stamps the package with the clock and a random package code: the clock is held at the
# commit's time, and the package code (the summary's revision) is set from the version and the
# files.
(cd "$stage" && TZ=UTC faketime "$(TZ=UTC date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" \
  wixl -a x64 -o "$base.msi" -D "Version=$version" -D "ProductCode=$(name_uuid "product $version")" \
  "$source/tools/dist/quorvel.wxs")
contents=$(cd "$stage" && sha256sum quorvel.scr quorvel_setup.dll quorvel.ico)
# The properties a user sets for the elevated part of a per-machine install to see (wixl has no
# Secure attribute): without them there, a user who is not an administrator would set them in vain.
secure=$(msiinfo export "$stage/$base.msi" Property | sed -n 's/^SecureCustomProperties\t//p' | tr -d '\r')
msibuild "$stage/$base.msi" \
  -q "UPDATE \`Property\` SET \`Value\` = '$secure;SETASCURRENT;REMOVESETTINGS;CURRENTSAVER' WHERE \`Property\` = 'SecureCustomProperties'" \
  -s "QUORVEL screen saver" Plinthwax "x64;1033" "{$(name_uuid "package $version $contents")}"
mv "$stage/$base.msi" "$out/"

(cd "$out" && sha256sum "$base.msi" "$base.zip" >SHA256SUMS)

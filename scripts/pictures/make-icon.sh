#!/usr/bin/env bash
# Draws launcher/tarnwick.ico (16, 32 and 48 px) with scripts/pictures/draw-icon.py,
# ImageMagick (the PNGs) and icotool (icoutils, the .ico).
# The same source always gives the same bytes, so the .ico is kept in the tree
# and the build needs no Python; run this after changing the drawing.
# Usage: make-icon.sh [--preview FILE]
#   --preview also writes FILE, a PNG of every size, 4x and 1x, on a light and
#   a dark background.
set -euo pipefail
cd "$(dirname "$0")/../.."

out=launcher/tarnwick.ico
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# PNG entries at every size: the smallest file by far (about 1.5 KB against
# 2.7 KB for 4-bit bitmaps, which lose the soft edges too), and Windows has
# read them since Vista. 32-bit RGBA PNGs (PNG32:), without the time chunks,
# so the same drawing gives the same bytes; icotool stores them as they are.
sizes=(16 32 48)
entries=()
for size in "${sizes[@]}"; do
  python3 -I scripts/pictures/draw-icon.py "$size" >"$tmp/$size.pam"
  convert "$tmp/$size.pam" -strip -define png:exclude-chunks=date,time \
    -define png:compression-level=9 -define png:compression-filter=1 -define png:compression-strategy=0 \
    "PNG32:$tmp/$size.png"
  entries+=("--raw=$tmp/$size.png")
done
icotool -c -o "$out" "${entries[@]}"
echo "$out: $(stat -c %s "$out") bytes, sha256 $(sha256sum "$out" | cut -c1-16)"
# The README shows the 48-pixel image.
cp "$tmp/48.png" docs/icon.png

[ "${1-}" = --preview ] || exit 0
preview=${2:?"--preview needs a file name"}
rows=()
for bg in '#f3f3f3' '#1f1f1f'; do
  big=() small=()
  for size in "${sizes[@]}"; do
    png=$tmp/$size.png
    big+=(\( "$png" -background "$bg" -alpha remove -alpha off -filter point -resize 400% -bordercolor "$bg" -border 16 \))
    small+=(\( "$png" -background "$bg" -alpha remove -alpha off -bordercolor "$bg" -border 8 \))
  done
  convert "${small[@]}" -background "$bg" -gravity center +append "$tmp/small.png"
  convert "${big[@]}" "$tmp/small.png" -background "$bg" -gravity center +append "$tmp/row${#rows[@]}.png"
  rows+=("$tmp/row${#rows[@]}.png")
done
convert "${rows[@]}" -append -strip -define png:exclude-chunks=date,time "$preview"
echo "preview: $preview"

#!/usr/bin/env bash
# Draws launcher/tarnwick.ico (16, 32 and 48 px) with scripts/draw-icon.py.
# The same source always gives the same bytes, so the .ico is kept in the tree
# and the build needs no Python; run this after changing the drawing.
# Usage: make-icon.sh [--preview FILE]
#   --preview also writes FILE, a PNG of every size, 4x and 1x, on a light and
#   a dark background (needs ImageMagick). Needs icotool (icoutils).
set -euo pipefail
cd "$(dirname "$0")/.."

out=launcher/tarnwick.ico
python3 -I scripts/draw-icon.py "$out"
echo "$out: $(stat -c %s "$out") bytes, sha256 $(sha256sum "$out" | cut -c1-16)"
# The README shows the 48-pixel image. icotool writes PNG entries out as they
# are, named NAME_INDEX_WxHxDEPTH.png. All are taken out: on PNG entries its
# --width filter matches none and --index always the first (icoutils 0.32).
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
icotool -x -o "$tmp" "$out"
cp "$tmp"/tarnwick_*_48x48x32.png docs/icon.png

[ "${1-}" = --preview ] || exit 0
preview=${2:?"--preview needs a file name"}
mapfile -t sizes < <(icotool -l "$out" | sed -n 's/.*--width=\([0-9]*\).*/\1/p')
rows=()
for bg in '#f3f3f3' '#1f1f1f'; do
  big=() small=()
  for i in "${!sizes[@]}"; do
    png=$(ls "$tmp"/*_$((i + 1))_*.png)
    big+=(\( "$png" -background "$bg" -alpha remove -alpha off -filter point -resize 400% -bordercolor "$bg" -border 16 \))
    small+=(\( "$png" -background "$bg" -alpha remove -alpha off -bordercolor "$bg" -border 8 \))
  done
  convert "${small[@]}" -background "$bg" -gravity center +append "$tmp/small.png"
  convert "${big[@]}" "$tmp/small.png" -background "$bg" -gravity center +append "$tmp/row${#rows[@]}.png"
  rows+=("$tmp/row${#rows[@]}.png")
done
convert "${rows[@]}" -append -strip -define png:exclude-chunks=date,time "$preview"
echo "preview: $preview"

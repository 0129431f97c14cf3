#!/bin/sh
# Renders the program's icon (app/icons/quillmark.svg) into the PNG sizes the desktop looks for
# and the program embeds (app/icons/quillmark-<size>.png). Run after editing the SVG; commit
# the PNGs. Needs rsvg-convert (librsvg2-bin); ImageMagick's own SVG reading hands over to it.
set -eu
dir=$(cd "$(dirname "$0")/../app/icons" && pwd)
if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
  exit 1
fi
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$dir/quillmark.svg" -o "$dir/quillmark-$size.tmp.png"
  # Without its creation time, a rendering of an unchanged drawing is the same file.
  convert-im6.q16 "$dir/quillmark-$size.tmp.png" -strip "PNG32:$dir/quillmark-$size.png"
  rm -f "$dir/quillmark-$size.tmp.png"
done

#!/bin/sh
# Regenerates the extension's icons from the program's SVG source. Needs rsvg-convert (Debian:
# librsvg2-bin). The results are committed, so a build needs no image tools.
set -eu
here=$(dirname "$0")
for size in 16 32 48 128; do
  rsvg-convert -w "$size" -h "$size" "$here/../../resources/icons/app.svg" -o "$here/icons/app-$size.png"
done

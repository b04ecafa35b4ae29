#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from its SVG (needs rsvg-convert,
# Debian librsvg2-bin). Run after changing the SVG; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.quillora.Quillora.svg -o "$size.png"
done

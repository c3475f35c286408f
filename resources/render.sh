#!/usr/bin/env bash
# Renders the SVG sources in src/ to the PNGs in icons/ that the program
# embeds (run after make_svg.py changed a drawing).
set -euo pipefail
cd "$(dirname "$0")"
python3 make_svg.py
for f in src/*.svg; do
  convert -background none -density 96 "$f" "icons/$(basename "${f%.svg}").png"
done

#!/usr/bin/env bash
# Renders every effect at its defaults on the bundled sample and lays them out as
# docs/contact-sheet.jpg (needs ImageMagick; installs it when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v montage > /dev/null || apt-get install -y -qq imagemagick
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert resources/samples/sample.jpg -resize 480x "$work/small.jpg"
build/release/cli/brumeleaf-cli render-all "$work/small.jpg" "$work/out" --seed 1 > /dev/null
args=()
for f in $(cd "$work/out" && ls | sort -n); do args+=(-label "${f%.jpg}" "$work/out/$f"); done
montage "${args[@]}" -tile 6x5 -geometry 240x240+4+4 -pointsize 11 docs/contact-sheet.jpg
echo "docs/contact-sheet.jpg"

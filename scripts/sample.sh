#!/usr/bin/env bash
# Sets everything up, builds, and composes a small sample grid of generated tiles into out/sample.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}

# Twelve tiles, 3 rows of 4, each a gradient of its own colours with a disc that grows per row.
TILES=out/sample-tiles
mkdir -p "$TILES"
COLORS=(tomato gold seagreen steelblue orchid coral khaki teal slateblue salmon olive navy)
for row in 0 1 2; do
  for col in 0 1 2 3; do
    i=$((row * 4 + col))
    /usr/bin/convert -size 160x120 "gradient:${COLORS[$i]}-${COLORS[$(((i + 5) % 12))]}" \
      -fill white -draw "circle 80,60 80,$((50 - row * 15))" "$TILES/tile_r${row}_c${col}.png"
  done
done

"$BUILD_DIR/bin/tesscli" -sources "$TILES/tile_r{row}_c{col}.png" -bgcolor 255 255 255 -out out/sample.png
echo "Sample grid (3 rows of 4 tiles from $TILES) written to $(pwd)/out/sample.png"

#!/usr/bin/env bash
# Runs two tesscli builds on the same cases and fails unless they agree byte for byte: standard
# output, exit status and every output file. For changes that must not change behaviour (moving
# code, renaming): keep a copy of the old build's bin folder, rebuild, then
#   scripts/compare-builds.sh /tmp/old-bin/tesscli [build/bin/tesscli]
# Cases: the benchmark grids (8x8 of 1000x1000 tiles, PNG and JPEG), every streamed format and
# compression, the whole-canvas path, stacking, the dry run, conversion and an error.
# Environment: WORK (default /tmp/tesscli-bench), shared with the benchmark scripts.
set -euo pipefail
cd "$(dirname "$0")/.."

OLD=$(realpath "${1:?usage: scripts/compare-builds.sh OLD_TESSCLI [NEW_TESSCLI]}")
NEW=$(realpath "${2:-build/bin/tesscli}")
TESSCLI=$NEW
source bench/common.sh
make_jpeg_tiles
cd "$WORK"

mapfile -t png_tiles < <(tile_list 8)
mapfile -t jpg_tiles < <(tile_list 8 jpg)
rows() { # the -row switches of an 8x8 grid of the given tiles
  local tiles=("$@") r
  for r in $(seq 0 7); do printf -- '-row %s ' "${tiles[*]:$((r * 8)):8}"; done
}
png_grid=$(rows "${png_tiles[@]}")
jpg_grid=$(rows "${jpg_tiles[@]}")
small_grid="-row ${png_tiles[*]:0:3} -row ${png_tiles[*]:3:2} None"

cases=(
  "$png_grid -out OUT.png"
  "$png_grid -out OUT.jpg"
  "$jpg_grid -out OUT.jpg -quality 85"
  "$jpg_grid -out OUT.png -quality 91"
  "$small_grid -out OUT.tif -compression LZW -overlap 7 -bgcolor 20 40 60"
  "$small_grid -out OUT.tiff -compression Zip -quality 40 -regionsize 700 500"
  "$small_grid -out OUT.tif -compression RLE -attribute comment c"
  "$small_grid -out OUT.png -extradata png compression-filter 5 -attribute Title t"
  "$small_grid -out OUT.jpg -extradata jpeg dct-method float -quality 95"
  "$small_grid -out OUT.bmp -transparent 0 0 0"
  "$small_grid -out OUT.webp -stack"
  "$small_grid -out OUT.gif -overlap 3"
  "$png_grid -out OUT.jpg -dryrun"
  "-convert ${png_tiles[0]} OUT.jpg"
  "$small_grid -out OUT.xyz"
)

failed=0
for i in "${!cases[@]}"; do
  for side in old new; do
    binary=$OLD
    [ "$side" = new ] && binary=$NEW
    rm -rf "cmp-$side" && mkdir "cmp-$side"
    command=${cases[$i]//OUT/cmp-$side/out}
    set +e
    # shellcheck disable=SC2086 # the case is a list of words
    "$binary" $command | sed "s#cmp-$side/#cmp/#g; s#$(dirname "$binary")/#BIN/#g; s#finished in [0-9:]*#finished in TIME#" >"cmp-$side.stdout"
    echo "exit ${PIPESTATUS[0]}" >>"cmp-$side.stdout"
    set -e
  done
  if cmp -s cmp-old.stdout cmp-new.stdout && diff -r cmp-old cmp-new >/dev/null; then
    echo "same:      ${cases[$i]:0:100}"
  else
    echo "DIFFERENT: ${cases[$i]:0:100}"
    diff cmp-old.stdout cmp-new.stdout | head -5 || true
    failed=1
  fi
done
exit $failed

#!/usr/bin/env bash
# How much of an 8x8 JPEG run is ImageMagick's decoding of the tiles alone, beside vips's whole
# run, for PNG tiles and for JPEG tiles. ImageMagick reads PNG files one at a time within a
# process (its PNG coder holds one lock for the whole of each read), so for PNG tiles this time
# is a floor for any tool that decodes through it in one process, however many threads it has;
# JPEG files decode on several threads at once. The direct decoders (cli/codecs/TileDecoders.h)
# read the tiles the chooser gives them without ImageMagick, the others through it. The tools run
# in turn, the order rotated each round. The decoding is timed by tile_decode_bench, built here,
# on one thread and on two.
#   bench/decode.sh [build-dir]     3 rounds; REPS=5 for more
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

REPS=${REPS:-3}
CONVERT=/usr/bin/convert
BUILD_DIR=${1:-build}
cmake --build "$BUILD_DIR" --target tile_decode_bench -j"$(nproc)" >/dev/null
DECODE=$(realpath "$(find "$BUILD_DIR" -name tile_decode_bench -type f -executable | head -n 1)")
source bench/common.sh
install_missing vips libvips-tools /usr/bin/time time
make_jpeg_tiles
cd "$WORK"

echo "ImageMagick $($CONVERT -version | head -1 | cut -d' ' -f3), $(vips --version), $(nproc) cores, $REPS rounds"
for type in png jpg; do
  mapfile -t tiles < <(tile_list 8 "$type")
  mapfile -t rows < <(row_switches 8 "$type")
  declare -A commands=(
    [decode1]="$DECODE 1 ${tiles[*]}"
    [decode2]="$DECODE 2 ${tiles[*]}"
    [direct1]="$DECODE --direct 1 ${tiles[*]}"
    [direct2]="$DECODE --direct 2 ${tiles[*]}"
    [tesscli]="$TESSCLI ${rows[*]} -quality 92 -out out-tesscli.jpg"
    [vips]="vips arrayjoin \"${tiles[*]}\" out-vips.jpg[Q=92,no_subsample,optimize_coding=false] --across 8"
  )
  tools=(decode1 decode2 direct1 direct2 tesscli vips)
  declare -A wall=() cpu=()
  for round in $(seq 0 $((REPS - 1))); do
    for k in "${!tools[@]}"; do
      tool=${tools[$(((k + round) % ${#tools[@]}))]}
      time_into "$tool" bash -c "${commands[$tool]}"
    done
  done

  vips_wall=$(printf '%s' "${wall[vips]}" | median)
  echo
  echo "| 8x8 of 1000x1000 ${type^^} tiles            | median wall s | median cpu s | wall x vips |"
  echo "|---------------------------------------|---------------|--------------|-------------|"
  for tool in "${tools[@]}"; do
    case $tool in
      decode1) what="ImageMagick decoding alone, 1 thread" ;;
      decode2) what="ImageMagick decoding alone, 2 threads" ;;
      direct1) what="direct decoders (ping first), 1 thread" ;;
      direct2) what="direct decoders (ping first), 2 thr." ;;
      tesscli) what="tesscli, tiles to JPEG" ;;
      vips) what="vips arrayjoin, tiles to JPEG" ;;
    esac
    w=$(printf '%s' "${wall[$tool]}" | median)
    c=$(printf '%s' "${cpu[$tool]}" | median)
    awk -v what="$what" -v w="$w" -v c="$c" -v v="$vips_wall" \
      'BEGIN { printf "| %-37s | %13.2f | %12.2f | %11.2f |\n", what, w, c, w / v }'
  done
  echo "decoded pixels: tesscli $(pixels out-tesscli.jpg), vips $(pixels out-vips.jpg)"
done

#!/usr/bin/env bash
# Composes grids of 1000x1000 tiles with tesscli and with its peers (ImageMagick convert and
# montage, libvips arrayjoin) under equal encoder settings, and prints each tool's median wall
# time, peak memory and file size, its ratios to tesscli, and a checksum of the decoded pixels.
# The tools run in turn, one run each per round, the order rotated every round, so that a noisy
# machine slows them alike.
#   bench/compose.sh                    8x8 grids, 3 rounds, then tesscli and vips on 16x16 and 32x32
#   REPS=5 SCALE="" bench/compose.sh    no scaling rows
# PNG for all: zlib level 7 with adaptive filtering (ImageMagick's default; vips
# [compression=7,filter=all]). JPEG for all: quality 92, 4:4:4, no optimised Huffman tables.
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

REPS=${REPS:-3}
SCALE=${SCALE-16 32}
CONVERT=/usr/bin/convert
MONTAGE=/usr/bin/montage
source bench/common.sh
install_missing vips libvips-tools /usr/bin/time time
make_tiles
cd "$WORK"

# measure OUT COMMAND: runs the command once, appends "seconds kilobytes" to stdout.
measure() {
  rm -f "$1"
  /usr/bin/time -f "%e %M" -o time.txt bash -c "$2" >/dev/null 2>&1 || { echo "FAILED: $2" >&2; return 1; }
  [ -s "$1" ] || { echo "FAILED: wrote no $1: $2" >&2; return 1; }
  cat time.txt
}

run_grid() { # N EXT REPS TOOLS...
  local n=$1 ext=$2 reps=$3 tools=("${@:4}") tiles rows=() convert_args=()
  mapfile -t tiles < <(tile_list "$n")
  for r in $(seq 0 $((n - 1))); do
    rows+=(-row "${tiles[@]:$((r * n)):n}")
    convert_args+=("\\(" "${tiles[@]:$((r * n)):n}" +append "\\)")
  done
  local im_opts vips_opts
  if [ "$ext" = png ]; then
    im_opts="-quality 75"
    vips_opts="[compression=7,filter=all]"
  else
    im_opts="-quality 92 -sampling-factor 1x1 -define jpeg:optimize-coding=false"
    vips_opts="[Q=92,no_subsample,optimize_coding=false]"
  fi
  declare -A commands=(
    [tesscli]="$TESSCLI ${rows[*]} -out out-tesscli.$ext"
    [montage]="$MONTAGE ${tiles[*]} -mode concatenate -tile ${n}x $im_opts out-montage.$ext"
    [convert]="$CONVERT ${convert_args[*]} -append $im_opts out-convert.$ext"
    [vips]="vips arrayjoin \"${tiles[*]}\" out-vips.$ext$vips_opts --across $n"
  )
  declare -A runs
  for tool in "${tools[@]}"; do runs[$tool]=""; done
  for round in $(seq 0 $((reps - 1))); do
    for k in $(seq 0 $((${#tools[@]} - 1))); do
      local tool=${tools[$(((k + round) % ${#tools[@]}))]}
      runs[$tool]+="$(measure "out-$tool.$ext" "${commands[$tool]}")"$'\n'
    done
  done
  local base_time="" base_mem=""
  for tool in "${tools[@]}"; do
    local t m size sum
    t=$(printf '%s' "${runs[$tool]}" | cut -d' ' -f1 | median)
    m=$(printf '%s' "${runs[$tool]}" | cut -d' ' -f2 | median)
    m=$(awk -v k="$m" 'BEGIN { printf "%.0f", k / 1024 }')
    size=$(awk -v b="$(stat -c %s "out-$tool.$ext")" 'BEGIN { printf "%.1f", b / 1048576 }')
    sum=$(pixels "out-$tool.$ext")
    if [ "$tool" = tesscli ]; then base_time=$t; base_mem=$m; fi
    awk -v g="${n}x${n} $ext" -v tool="$tool" -v t="$t" -v m="$m" -v bt="$base_time" -v bm="$base_mem" \
      -v size="$size" -v sum="$sum" -v reps="$reps" \
      'BEGIN { printf "| %-9s | %-8s | %8.2f | %8d | %6.2f | %6.2f | %8s | %s | %d |\n", g, tool, t, m, t / bt, m / bm, size, sum, reps }'
  done
}

echo "ImageMagick $($CONVERT -version | head -1 | cut -d' ' -f3), $(vips --version), $(nproc) cores"
echo
echo "| grid      | tool     | median s | peak MiB | time x | mem x  | file MiB | pixels       | runs |"
echo "|-----------|----------|----------|----------|--------|--------|----------|--------------|------|"
for ext in png jpg; do run_grid 8 "$ext" "$REPS" tesscli convert montage vips; done
for n in $SCALE; do
  run_grid "$n" jpg 1 tesscli vips
done

#!/usr/bin/env bash
# The speed-up from one core to two: the 8x8 grids of PNG and of JPEG tiles composed into a JPEG by
# tesscli and by vips, each pinned with taskset to core 0 and then to cores 0 and 1. Every run
# takes its turn, the order rotated each round; every output must decode to the same pixels.
# Besides the wall times it prints the CPU time divided by the cores used: the floor no tool
# can go below on this machine, and how close each run comes to it.
#   bench/scaling.sh        3 rounds; REPS=5 for more
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

REPS=${REPS:-3}
source bench/common.sh
install_missing vips libvips-tools /usr/bin/time time taskset util-linux
make_jpeg_tiles
cd "$WORK"

echo "$(vips --version), $(nproc) cores, $REPS rounds; JPEG quality 92, 4:4:4, no optimised Huffman tables"
echo
echo "| tiles | tool    | 1 core s | 2 cores s | speed-up | cpu s (2 cores) | floor s | wall / floor | pixels       |"
echo "|-------|---------|----------|-----------|----------|-----------------|---------|--------------|--------------|"
for type in png jpg; do
  mapfile -t tiles < <(tile_list 8 "$type")
  mapfile -t rows < <(row_switches 8 "$type")
  declare -A commands=(
    [tesscli]="$TESSCLI ${rows[*]} -quality 92 -out out-tesscli.jpg"
    [vips]="vips arrayjoin \"${tiles[*]}\" out-vips.jpg[Q=92,no_subsample,optimize_coding=false] --across 8"
  )
  runs=(tesscli:0 tesscli:0,1 vips:0 vips:0,1)
  declare -A wall=() cpu=()
  for round in $(seq 0 $((REPS - 1))); do
    for k in 0 1 2 3; do
      run=${runs[$(((k + round) % 4))]}
      tool=${run%%:*} cores=${run#*:}
      time_into "$run" taskset -c "$cores" bash -c "${commands[$tool]}"
    done
  done
  for tool in tesscli vips; do
    one=$(printf '%s' "${wall[$tool:0]}" | median)
    two=$(printf '%s' "${wall[$tool:0,1]}" | median)
    used=$(printf '%s' "${cpu[$tool:0,1]}" | median)
    awk -v type="$type" -v tool="$tool" -v one="$one" -v two="$two" -v cpu="$used" -v sum="$(pixels "out-$tool.jpg")" \
      'BEGIN { printf "| %-5s | %-7s | %8.2f | %9.2f | %7.2fx | %15.2f | %7.2f | %11.2fx | %s |\n",
               type, tool, one, two, one / two, cpu, cpu / 2, two / (cpu / 2), sum }'
  done
done

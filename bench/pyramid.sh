#!/usr/bin/env bash
# DeepZoom pyramids of a large grid (by default 30x30 tiles of 1000x1000: 30000x30000 pixels) with
# tesscli and with vips (arrayjoin of the same tiles straight into dzsave, and dzsave of the
# composed PNG), then the 65x65 grid with both; reports wall time, peak memory, tiles and tiles
# per second. JPEG tiles at quality 75 (vips's default), tile size 254, overlap 1 for both.
#   bench/pyramid.sh [N ...]     grids of N tiles a side (default 30 65)
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench), PEERS
# (default "vips"; empty for tesscli alone).
set -euo pipefail
cd "$(dirname "$0")/.."

SIDES=("${@:-30 65}")
read -r -a SIDES <<<"${SIDES[*]}"
PEERS=${PEERS-vips}
source bench/common.sh
install_missing vips libvips-tools /usr/bin/time time
make_tiles
cd "$WORK"
# vips keeps every input open at once; the default limit of 1024 files is too few.
ulimit -n "$(ulimit -Hn)"

report() { # TOOL FILES-FOLDER, after a run timed into pyramid-time.txt
  local wall rss tiles
  read -r wall rss <pyramid-time.txt
  tiles=$(find "$2" -type f -name '*.jp*g' | wc -l)
  printf '%-16s wall %7.1f s  peak %6.0f MiB  %7d tiles  %7.0f tiles/s  %s\n' "$1" "$wall" \
    "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" "$tiles" "$(awk -v t="$tiles" -v w="$wall" 'BEGIN { print t / w }')" \
    "$(cat "$2"/../*.dzi 2>/dev/null | tr -d '\n ' | grep -o 'Width="[0-9]*"' | head -1)"
}

for N in "${SIDES[@]}"; do
  echo "== ${N}x${N} tiles of 1000x1000 (load: $(cut -d' ' -f1-3 /proc/loadavg))"
  mapfile -t tiles < <(tile_list "$N")
  args=()
  for r in $(seq 0 $((N - 1))); do args+=(-row "${tiles[@]:$((r * N)):N}"); done
  rm -rf pyr pyr-vips pyr-vips-png && mkdir -p pyr pyr-vips pyr-vips-png
  /usr/bin/time -f "%e %M" -o pyramid-time.txt "$TESSCLI" "${args[@]}" -out pyr/mosaic.dzi >pyramid-log.txt || true
  report tesscli pyr/mosaic_files
  for peer in $PEERS; do
    /usr/bin/time -f "%e %M" -o pyramid-time.txt \
      vips arrayjoin "${tiles[*]}" "pyr-vips/mosaic.dz[container=fs]" --across "$N" >/dev/null 2>&1 || true
    report "vips arrayjoin" pyr-vips/mosaic_files
    # The same composed input for both, where it fits on the disk: tesscli's own PNG of the grid.
    if [ "$N" -le 30 ]; then
      "$TESSCLI" "${args[@]}" -out pyr-vips-png/mosaic.png >/dev/null
      /usr/bin/time -f "%e %M" -o pyramid-time.txt \
        vips dzsave pyr-vips-png/mosaic.png pyr-vips-png/mosaic --suffix .jpg >/dev/null 2>&1 || true
      report "vips dzsave png" pyr-vips-png/mosaic_files
      rm -f pyr-vips-png/mosaic.png
    fi
  done
done
rm -rf pyr pyr-vips pyr-vips-png

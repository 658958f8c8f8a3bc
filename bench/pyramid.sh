#!/usr/bin/env bash
# DeepZoom pyramids of a large grid (by default 30x30 tiles of 1000x1000: 30000x30000 pixels) with
# tesscli and with vips (arrayjoin of the same tiles straight into dzsave, and dzsave of the
# composed PNG), then the 65x65 grid with both; reports wall time, peak memory, tiles and tiles
# per second. JPEG tiles at quality 75 (vips's default), tile size 254, overlap 1 for both. Grids up
# to 30x30 run ROUNDS times (default 3), tesscli and vips in turn, the order rotated; medians.
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

ROUNDS=${ROUNDS:-3}
declare -A wall cpu rss

# peak_into KEY COMMAND...: runs the command once and appends its wall seconds and peak RSS (KiB).
peak_into() {
  local e m
  /usr/bin/time -f "%e %M" -o pyramid-time.txt "${@:2}" >/dev/null 2>&1 || true
  read -r e m <pyramid-time.txt
  wall[$1]+="$e"$'\n'
  rss[$1]+="$m"$'\n'
}

# same_tiles A B: the decoded pixels of a few tiles (the 1x1 level, a middle level, the first full-size
# tile) are equal in both pyramids; prints the verdict.
same_tiles() {
  local levels tile verdict=equal
  levels=$(ls "$1" | sort -n | tail -1)
  for tile in 0/0_0 $((levels / 2))/0_0 "$levels"/0_0; do
    [ "$(pixels "$1/$tile".jp*g)" = "$(pixels "$2/$tile".jp*g)" ] || verdict="DIFFERENT at $tile"
  done
  echo "decoded tiles: $verdict"
}

report() { # TOOL KEY FILES-FOLDER
  local tiles w m
  tiles=$(find "$3" -type f -name '*.jp*g' | wc -l)
  w=$(median <<<"${wall[$2]}")
  m=$(median <<<"${rss[$2]}")
  printf '%-16s wall %7.1f s  peak %6.0f MiB  %7d tiles  %7.0f tiles/s  (runs: %s)\n' "$1" "$w" \
    "$(awk -v k="$m" 'BEGIN { print k / 1024 }')" "$tiles" "$(awk -v t="$tiles" -v w="$w" 'BEGIN { print t / w }')" \
    "$(echo ${wall[$2]})"
}

for N in "${SIDES[@]}"; do
  echo "== ${N}x${N} tiles of 1000x1000 (load: $(cut -d' ' -f1-3 /proc/loadavg))"
  mapfile -t tiles < <(tile_list "$N")
  mapfile -t args < <(row_switches "$N")
  rm -rf pyr pyr-vips pyr-vips-png && mkdir -p pyr pyr-vips pyr-vips-png
  rounds=$ROUNDS
  [ "$N" -le 30 ] || rounds=1
  for round in $(seq 1 "$rounds"); do
    # Each tool in turn, the order rotated every round.
    order=(tesscli $PEERS)
    [ $((round % 2)) -eq 0 ] && order=($PEERS tesscli)
    for tool in "${order[@]}"; do
      if [ "$tool" = tesscli ]; then
        rm -rf pyr/*
        peak_into "tesscli$N" "$TESSCLI" "${args[@]}" -out pyr/mosaic.dzi
      else
        rm -rf pyr-vips/*
        peak_into "vips$N" vips arrayjoin "${tiles[*]}" "pyr-vips/mosaic.dz[container=fs]" --across "$N"
      fi
    done
  done
  report tesscli "tesscli$N" pyr/mosaic_files
  for peer in $PEERS; do
    report "vips arrayjoin" "vips$N" pyr-vips/mosaic_files
    same_tiles pyr/mosaic_files pyr-vips/mosaic_files
    echo "tesscli / vips arrayjoin: $(awk -v a="$(median <<<"${wall[tesscli$N]}")" -v b="$(median <<<"${wall[vips$N]}")" 'BEGIN { printf "%.2f", a / b }')"
    # The same composed input for both, where it fits on the disk: tesscli's own PNG of the grid.
    if [ "$N" -le 30 ]; then
      "$TESSCLI" "${args[@]}" -out pyr-vips-png/mosaic.png >/dev/null
      peak_into "png$N" vips dzsave pyr-vips-png/mosaic.png pyr-vips-png/mosaic --suffix .jpg
      report "vips dzsave png" "png$N" pyr-vips-png/mosaic_files
      rm -f pyr-vips-png/mosaic.png
    fi
  done
done
rm -rf pyr pyr-vips pyr-vips-png

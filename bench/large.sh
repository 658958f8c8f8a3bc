#!/usr/bin/env bash
# Composes one very large JPEG (by default 65x65 tiles of 1000x1000: 65000x65000 pixels, the
# format's own limit is 65500) with tesscli and with vips arrayjoin on the same grid, and reports
# wall time, peak memory, the result's size and a checksum of its decoded pixels for each. The 64
# distinct tiles are reused.
#   bench/large.sh [N [EXT]]     N tiles a side (default 65), EXT the output format (default jpg)
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench), PEERS
# (default "vips"; empty for tesscli alone).
set -euo pipefail
cd "$(dirname "$0")/.."

N=${1:-65}
EXT=${2:-jpg}
PEERS=${PEERS-vips}
source bench/common.sh
install_missing vips libvips-tools /usr/bin/time time
make_tiles
cd "$WORK"

mapfile -t tiles < <(tile_list "$N")
mapfile -t args < <(row_switches "$N")

report() { # TOOL OUT
  printf '%-8s %s, ' "$1" "$(cat "large-time-$1.txt")"
  if [ -s "$2" ]; then
    # Decoded by vips, streaming: the pixels of both outputs must be the same.
    printf '%s, %.0f MiB, pixels %s\n' "$(vipsheader "$2" 2>/dev/null || /usr/bin/identify -ping -format '%wx%h' "$2")" \
      "$(awk -v b="$(stat -c %s "$2")" 'BEGIN { print b / 1048576 }')" \
      "$(vips rawsave "$2" /dev/stdout | md5sum | cut -c1-12)"
  else
    echo "no output"
  fi
}

rm -f "large.$EXT"
/usr/bin/time -f "wall %e s, peak RSS %M KiB" -o large-time-tesscli.txt "$TESSCLI" "${args[@]}" -out "large.$EXT" > large-log.txt || true
tail -n 4 large-log.txt
report tesscli "large.$EXT"
for peer in $PEERS; do
  rm -f "large-vips.$EXT"
  # vips keeps every input open at once; the default limit of 1024 files is too few.
  ulimit -n "$(ulimit -Hn)"
  /usr/bin/time -f "wall %e s, peak RSS %M KiB" -o large-time-vips.txt \
    vips arrayjoin "${tiles[*]}" "large-vips.$EXT[Q=92,no_subsample]" --across "$N" > large-vips-log.txt 2>&1 || true
  report vips "large-vips.$EXT"
done

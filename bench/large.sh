#!/usr/bin/env bash
# Composes one very large JPEG (by default 65x65 tiles of 1000x1000: 65000x65000 pixels, the
# format's own limit is 65500) with tesscli and with vips arrayjoin on the same grid, and reports
# wall time, peak memory and the result's size for each. The 64 distinct tiles are reused.
#   bench/large.sh [N [EXT]]     N tiles a side (default 65), EXT the output format (default jpg)
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench), PEERS
# (default "vips"; empty for tesscli alone).
set -euo pipefail
cd "$(dirname "$0")/.."

TESSCLI=$(realpath "${TESSCLI:-build/bin/tesscli}")
WORK=${WORK:-/tmp/tesscli-bench}
N=${1:-65}
EXT=${2:-jpg}
PEERS=${PEERS-vips}

need=()
command -v vips >/dev/null || need+=(libvips-tools)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
mkdir -p "$WORK/tiles"
cd "$WORK"
for i in $(seq 1 64); do
  [ -f "tiles/t$i.png" ] || /usr/bin/convert -seed "$i" -size 1000x1000 plasma:fractal -depth 8 "tiles/t$i.png"
done

args=()
tiles=()
for r in $(seq 0 $((N - 1))); do
  args+=(-row)
  for c in $(seq 0 $((N - 1))); do
    args+=("tiles/t$(((r * N + c) % 64 + 1)).png")
    tiles+=("tiles/t$(((r * N + c) % 64 + 1)).png")
  done
done

report() { # TOOL OUT
  printf '%-8s %s, ' "$1" "$(cat "large-time-$1.txt")"
  if [ -s "$2" ]; then
    printf '%s, %.0f MiB\n' "$(vipsheader "$2" 2>/dev/null || MAGICK_CONFIGURE_PATH=$(dirname "$TESSCLI")/ImConfig /usr/bin/identify -ping -format '%wx%h' "$2")" \
      "$(awk -v b="$(stat -c %s "$2")" 'BEGIN { print b / 1048576 }')"
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
  ulimit -n 65536
  /usr/bin/time -f "wall %e s, peak RSS %M KiB" -o large-time-vips.txt \
    vips arrayjoin "${tiles[*]}" "large-vips.$EXT[Q=92,no_subsample]" --across "$N" > large-vips-log.txt 2>&1 || true
  report vips "large-vips.$EXT"
done

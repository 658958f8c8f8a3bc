#!/usr/bin/env bash
# Composes a 30000x30000 image (30x30 tiles of 1000x1000) with tesscli's shipped resource limits
# and reports wall time, peak memory and the result's size. Needs about 8 GiB of memory.
#   bench/large.sh [EXT]     EXT is the output format's extension, jpg by default
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

TESSCLI=$(realpath "${TESSCLI:-build/bin/tesscli}")
WORK=${WORK:-/tmp/tesscli-bench}
EXT=${1:-jpg}
N=30

[ -x /usr/bin/time ] || { export DEBIAN_FRONTEND=noninteractive; apt-get update -qq; apt-get install -y -qq time; }
mkdir -p "$WORK/tiles"
cd "$WORK"
for i in $(seq 1 64); do
  [ -f "tiles/t$i.png" ] || /usr/bin/convert -seed "$i" -size 1000x1000 plasma:fractal -depth 8 "tiles/t$i.png"
done

args=()
for r in $(seq 0 $((N - 1))); do
  args+=(-row)
  for c in $(seq 0 $((N - 1))); do args+=("tiles/t$(((r * N + c) % 64 + 1)).png"); done
done
rm -f "large.$EXT"
/usr/bin/time -f "wall %e s, peak RSS %M KiB" -o large-time.txt "$TESSCLI" "${args[@]}" -out "large.$EXT" > large-log.txt
tail -n 6 large-log.txt
cat large-time.txt
MAGICK_CONFIGURE_PATH=$(dirname "$TESSCLI")/ImConfig /usr/bin/identify "large.$EXT"

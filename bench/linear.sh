#!/usr/bin/env bash
# Cost must follow the work: composes one row of N small tiles (16x16) for growing N and prints
# wall time and peak memory, which should grow linearly with N (placing a tile touches only its
# own rectangle; pinging keeps only each tile's size).
#   bench/linear.sh [N ...]     default 5000 10000 20000
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

source bench/common.sh
install_missing /usr/bin/time time
mkdir -p "$WORK/linear"
cd "$WORK/linear"
for i in $(seq 1 16); do
  [ -f "s$i.png" ] || /usr/bin/convert -size 16x16 "xc:rgb($((i * 15)),100,$((255 - i * 15)))" "s$i.png"
done
echo "| tiles | ms/tile | wall s | peak MiB |"
echo "|-------|---------|--------|----------|"
for n in "${@:-5000 10000 20000}"; do
  for n1 in $n; do
    args=(-row)
    for k in $(seq 0 $((n1 - 1))); do args+=("s$((k % 16 + 1)).png"); done
    /usr/bin/time -f "%e %M" -o time.txt "$TESSCLI" "${args[@]}" -out row.png > log.txt
    read -r secs kib < time.txt
    awk -v n="$n1" -v s="$secs" -v k="$kib" 'BEGIN { printf "| %5d | %7.3f | %6.2f | %8.0f |\n", n, s * 1000 / n, s, k / 1024 }'
  done
done

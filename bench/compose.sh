#!/usr/bin/env bash
# Composes grids of 1000x1000 tiles with tesscli and with its peers (ImageMagick montage and
# convert, libvips arrayjoin) and prints median wall time and peak memory of each.
#   bench/compose.sh             8x8 grid, 3 runs per tool and format, plus a 16x16 scaling row
#   REPS=5 SCALE_REPS=0 bench/compose.sh
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."

TESSCLI=${TESSCLI:-build/bin/tesscli}
WORK=${WORK:-/tmp/tesscli-bench}
REPS=${REPS:-3}
SCALE_REPS=${SCALE_REPS:-1}
CONVERT=/usr/bin/convert
MONTAGE=/usr/bin/montage

need=()
command -v vips >/dev/null || need+=(libvips-tools)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
[ -x "$TESSCLI" ] || { echo "tesscli not found at $TESSCLI (build it first or set TESSCLI)"; exit 1; }
TESSCLI=$(realpath "$TESSCLI")
# The peers get the same resource limits as tesscli; the system policy stops them at 16K pixels.
export MAGICK_CONFIGURE_PATH
MAGICK_CONFIGURE_PATH=$(dirname "$TESSCLI")/ImConfig

mkdir -p "$WORK/tiles"
cd "$WORK"
for i in $(seq 1 64); do
  [ -f "tiles/t$i.png" ] || "$CONVERT" -seed "$i" -size 1000x1000 plasma:fractal -depth 8 "tiles/t$i.png"
done

# tile_list N: N*N tile paths, row by row, reusing the 64 distinct tiles beyond 8x8.
tile_list() { for k in $(seq 0 $(($1 * $1 - 1))); do echo "tiles/t$((k % 64 + 1)).png"; done; }

# measure NAME OUT COMMAND...: runs the command, prints "seconds kilobytes" of one run.
measure() {
  rm -f "$2"
  /usr/bin/time -f "%e %M" -o time.txt "${@:3}" >/dev/null 2>&1 || { echo "FAILED: $1" >&2; return 1; }
  [ -s "$2" ] || { echo "FAILED: $1 wrote no $2" >&2; return 1; }
  cat time.txt
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

run_grid() { # N EXT REPS
  local n=$1 ext=$2 reps=$3 tiles rows=() convert_args=() out="out.$ext"
  mapfile -t tiles < <(tile_list "$n")
  for r in $(seq 0 $((n - 1))); do
    rows+=(-row "${tiles[@]:$((r * n)):n}")
    convert_args+=("\\(" "${tiles[@]:$((r * n)):n}" +append "\\)")
  done
  declare -A commands=(
    [tesscli]="$TESSCLI ${rows[*]} -out $out"
    [montage]="$MONTAGE ${tiles[*]} -mode concatenate -tile ${n}x $out"
    [convert]="$CONVERT ${convert_args[*]} -append $out"
    [vips]="vips arrayjoin \"${tiles[*]}\" $out --across $n"
  )
  local base_time="" base_mem=""
  for tool in tesscli convert montage vips; do
    : > runs.txt
    for _ in $(seq 1 "$reps"); do
      measure "$tool" "$out" bash -c "${commands[$tool]}" >> runs.txt
    done
    local t m
    t=$(cut -d' ' -f1 runs.txt | median)
    m=$(cut -d' ' -f2 runs.txt | median)
    m=$(awk -v k="$m" 'BEGIN { printf "%.0f", k / 1024 }')
    if [ "$tool" = tesscli ]; then base_time=$t; base_mem=$m; fi
    awk -v g="${n}x${n} $ext" -v tool="$tool" -v t="$t" -v m="$m" -v bt="$base_time" -v bm="$base_mem" \
      -v reps="$reps" 'BEGIN { printf "| %-9s | %-8s | %8.2f | %8d | %6.2f | %6.2f | %d |\n", g, tool, t, m, t / bt, m / bm, reps }'
  done
}

canvas_mib() { awk -v n="$1" 'BEGIN { printf "%.0f", n * 1000 * n * 1000 * 8 / 1048576 }'; }

echo "ImageMagick $($CONVERT -version | head -1 | cut -d' ' -f3), $(vips --version), $(nproc) cores"
echo "Memory target for tesscli: canvas + one tile + 15% = $(awk -v c="$(canvas_mib 8)" 'BEGIN { printf "%.0f", (c + 8) * 1.15 }') MiB (8x8)," \
  "$(awk -v c="$(canvas_mib 16)" 'BEGIN { printf "%.0f", (c + 8) * 1.15 }') MiB (16x16)"
echo
echo "| grid      | tool     | median s | peak MiB | time x | mem x  | runs |"
echo "|-----------|----------|----------|----------|--------|--------|------|"
for ext in png jpg; do run_grid 8 "$ext" "$REPS"; done
if [ "$SCALE_REPS" -gt 0 ]; then
  for ext in png jpg; do run_grid 16 "$ext" "$SCALE_REPS"; done
fi

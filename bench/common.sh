# Shared by the benchmark scripts (sourced from the repository root): peers and tools installed on
# demand, the run's folder, and the 64 distinct 1000x1000 tiles the grids reuse.
# Environment: TESSCLI (default build/bin/tesscli), WORK (default /tmp/tesscli-bench).

# install_missing COMMAND PACKAGE ...: installs each package whose command is not there.
install_missing() {
  local need=()
  while [ $# -ge 2 ]; do
    command -v "$1" >/dev/null || need+=("$2")
    shift 2
  done
  if [ ${#need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}"
  fi
}

TESSCLI=${TESSCLI:-build/bin/tesscli}
[ -x "$TESSCLI" ] || { echo "tesscli not found at $TESSCLI (build it first or set TESSCLI)"; exit 1; }
TESSCLI=$(realpath "$TESSCLI")
WORK=${WORK:-/tmp/tesscli-bench}
# The peers get the same resource limits as tesscli; the system policy stops them at 16K pixels.
export MAGICK_CONFIGURE_PATH
MAGICK_CONFIGURE_PATH=$(dirname "$TESSCLI")/ImConfig

# make_tiles: WORK/tiles/t1.png .. t64.png, 1000x1000 8-bit RGB plasma, made once.
make_tiles() {
  mkdir -p "$WORK/tiles"
  local i
  for i in $(seq 1 64); do
    [ -f "$WORK/tiles/t$i.png" ] \
      || /usr/bin/convert -seed "$i" -size 1000x1000 plasma:fractal -depth 8 "$WORK/tiles/t$i.png"
  done
}

# make_jpeg_tiles: WORK/tiles/t1.jpg .. t64.jpg, the same tiles at JPEG quality 92, made once.
make_jpeg_tiles() {
  make_tiles
  local i
  for i in $(seq 1 64); do
    [ -f "$WORK/tiles/t$i.jpg" ] || /usr/bin/convert "$WORK/tiles/t$i.png" -quality 92 "$WORK/tiles/t$i.jpg"
  done
}

# tile_list N [EXTENSION]: N*N tile paths relative to WORK, row by row, reusing the 64 distinct
# tiles (png unless EXTENSION says jpg).
tile_list() { for k in $(seq 0 $(($1 * $1 - 1))); do echo "tiles/t$((k % 64 + 1)).${2:-png}"; done; }

# row_switches N [EXTENSION]: tesscli's "-row" switches for the tile_list grid, one word a line.
row_switches() {
  local tiles r
  mapfile -t tiles < <(tile_list "$@")
  for r in $(seq 0 $(($1 - 1))); do printf '%s\n' -row "${tiles[@]:$((r * $1)):$1}"; done
}

# time_into KEY COMMAND...: runs the command once and appends its wall and CPU seconds to the
# caller's associative arrays wall[KEY] and cpu[KEY].
time_into() {
  local e u s
  /usr/bin/time -f "%e %U %S" -o time.txt "${@:2}" >/dev/null 2>&1
  read -r e u s <time.txt
  wall[$1]+="$e"$'\n'
  cpu[$1]+="$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')"$'\n'
}

# median: the median of the numbers read, one a line (blank lines skipped).
median() { sort -n | awk 'NF { v[++n] = $1 } END { print (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }'; }

# pixels FILE: a checksum of the decoded 8-bit RGB pixels: equal settings must give equal pixels.
pixels() { /usr/bin/convert "$1" -depth 8 rgb:- | md5sum | cut -c1-12; }

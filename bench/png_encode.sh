#!/usr/bin/env bash
# Times the streaming PNG writer on an 8000x8000 RGB image with 1 thread and with 2 (capped
# through MAGICK_THREAD_LIMIT as users cap ImageMagick), and ImageMagick writing the same pixels.
# Usage: bench/png_encode.sh [build-dir]; SIZE (default 8000), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
SIZE=${SIZE:-8000}
WORK=${WORK:-/tmp/tesscli-bench}
mkdir -p "$WORK"
cmake --build "$BUILD_DIR" --target encode_bench -j"$(nproc)" >/dev/null
BENCH=$(find "$BUILD_DIR" -name encode_bench -type f -executable | head -n 1)
for threads in 1 2; do
  echo "MAGICK_THREAD_LIMIT=$threads:"
  MAGICK_THREAD_LIMIT=$threads "$BENCH" "$SIZE" "$WORK/encode.png" $([ "$threads" = 1 ] && echo magick)
done
rm -f "$WORK/encode.png"

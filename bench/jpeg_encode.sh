#!/usr/bin/env bash
# Times the streaming JPEG writer (quality 92, 4:4:4) on an 8000x8000 RGB image with 1 thread and
# with 2 (capped through MAGICK_THREAD_LIMIT), medians of REPS runs taken in turn, and checks that
# both files decode to the same pixels.
# Usage: bench/jpeg_encode.sh [build-dir]; SIZE (default 8000), REPS (default 5), WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
SIZE=${SIZE:-8000}
REPS=${REPS:-5}
WORK=${WORK:-/tmp/tesscli-bench}
mkdir -p "$WORK"
cmake --build "$BUILD_DIR" --target encode_bench -j"$(nproc)" >/dev/null
BENCH=$(find "$BUILD_DIR" -name encode_bench -type f -executable | head -n 1)
median() { sort -n | awk 'NF { v[++n] = $1 } END { print (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }'; }
for rep in $(seq 1 "$REPS"); do
  for threads in 1 2; do
    MAGICK_THREAD_LIMIT=$threads "$BENCH" "$SIZE" "$WORK/encode-$threads.jpg" >> "$WORK/encode-$threads.txt"
  done
done
for threads in 1 2; do
  # "streaming writer: 1.23 s, cpu 1.45 s, 12.3 MiB"
  printf '%s thread(s): median wall %s s, median cpu %s s, %s MiB, pixels %s\n' "$threads" \
    "$(awk '{ print $3 }' "$WORK/encode-$threads.txt" | median)" "$(awk '{ print $6 }' "$WORK/encode-$threads.txt" | median)" \
    "$(awk '{ print $8 }' "$WORK/encode-$threads.txt" | tail -n 1)" \
    "$(/usr/bin/convert "$WORK/encode-$threads.jpg" -depth 8 rgb:- | md5sum | cut -c1-12)"
  rm -f "$WORK/encode-$threads.txt" "$WORK/encode-$threads.jpg"
done

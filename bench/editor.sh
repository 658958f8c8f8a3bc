#!/usr/bin/env bash
# Times the editor on large grids. grid_bench: cell creation, grid layout, flip and zoom (milliseconds,
# offscreen). project_bench: opening an N x N project in the main window until the window answers
# again, until every thumbnail is read, and an undo of a whole-grid flip; each project is opened
# with an empty thumbnail cache, then again with the cache filled, and peak RSS is taken with
# /usr/bin/time -v.
# Usage: bench/editor.sh [build-dir]; grid sizes in SIZES (default "10 20 40 60"), project sizes in
# PROJECT_SIZES (default "100 300"). Tiles are made once in WORK (default /tmp/tesscli-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
WORK=${WORK:-/tmp/tesscli-bench}
command -v /usr/bin/time >/dev/null || { export DEBIAN_FRONTEND=noninteractive; apt-get update -qq && apt-get install -y -qq time; }
cmake --build "$BUILD_DIR" --target grid_bench project_bench -j"$(nproc)" >/dev/null
for n in ${SIZES:-10 20 40 60}; do
  QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bin/grid_bench" "$n" "$n" 2>/dev/null
done
mkdir -p "$WORK/editor-tiles"
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
for n in ${PROJECT_SIZES:-100 300}; do
  rm -rf "${cache:?}"/*
  for run in "empty cache" "filled cache"; do
    line=$(XDG_CACHE_HOME=$cache QT_QPA_PLATFORM=offscreen /usr/bin/time -v -o "$cache/time.txt" \
      "$BUILD_DIR/bin/project_bench" "$n" "$n" "$WORK/editor-tiles" 2>/dev/null)
    rss=$(awk -F': ' '/Maximum resident/ { printf "%d", $2 / 1024 }' "$cache/time.txt")
    echo "$line, peak $rss MiB ($run)"
  done
done

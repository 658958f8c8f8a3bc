#!/usr/bin/env bash
# Times the editor's grid on large mosaics (cell loading with thumbnails, grid layout, flip, zoom)
# and opening projects in the main window.
# Usage: bench/editor.sh [build-dir]; grid sizes in SIZES (default "10 20 40 60"), project sizes in
# PROJECT_SIZES (default "100 300").
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
cmake --build "$BUILD_DIR" --target grid_bench project_bench -j"$(nproc)" >/dev/null
for n in ${SIZES:-10 20 40 60}; do
  QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bin/grid_bench" "$n" "$n" 2>/dev/null
done
for n in ${PROJECT_SIZES:-100 300}; do
  QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bin/project_bench" "$n" "$n" 2>/dev/null
done

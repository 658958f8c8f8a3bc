#!/usr/bin/env bash
# Sets everything up, builds, checks the code style, runs every test (GUI tests headless), checks the install and the
# Debian package, then runs the same suite under AddressSanitizer/UndefinedBehaviorSanitizer and
# the fuzz targets (scripts/sanitize.sh; skip with SANITIZE=0).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
scripts/check-install.sh "${BUILD_DIR:-build}"
[ "${SANITIZE:-1}" = 0 ] || scripts/sanitize.sh

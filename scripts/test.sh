#!/usr/bin/env bash
# Sets everything up, builds, runs every test (GUI tests headless), then checks the install and the
# Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)"
scripts/check-install.sh "${BUILD_DIR:-build}"

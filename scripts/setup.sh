#!/usr/bin/env bash
# Installs the build dependencies (Debian 12, as root), then configures and builds into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(g++ cmake make pkg-config clang-format
  libmagick++-6.q16-dev imagemagick libpugixml-dev libpcre2-dev libgtest-dev libgmock-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev zlib1g-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core xvfb xauth xdotool
  desktop-file-utils appstream shared-mime-info man-db groff lintian dpkg-dev
  clang-14 libclang-rt-14-dev gdb
  libvips-tools # a second JPEG decoder for the writer tests
  python3 chromium) # the DeepZoom viewer page's test in a real browser

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j"$(nproc)"

#!/usr/bin/env bash
# Sets everything up, builds, and runs tesscli on a small sample.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build/bin/tesscli -help

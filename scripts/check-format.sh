#!/usr/bin/env bash
# Fails when a C++ file of the tree is not in the style of .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

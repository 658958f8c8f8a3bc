#!/usr/bin/env bash
# Standing guards, run by scripts/test.sh after the normal suite: builds everything with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan, runs the whole suite there, then
# runs every libFuzzer target for FUZZ_SECONDS (default 60) from a generated seed corpus. A crash
# leaves its input in build-asan/fuzz-crashes; it then belongs in a regression test.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${ASAN_BUILD_DIR:-build-asan}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}

CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARA_SANITIZE=ON -DTESSARA_FUZZ=ON
cmake --build "$BUILD_DIR" -j"$(nproc)"

# allocator_may_return_null: a huge allocation fails as it would without the sanitizer, so the
# code's own "not enough memory" handling is what runs. Leak checking needs no suppressions: the
# suite, GUI tests included, runs clean.
export ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)"

corpus=$BUILD_DIR/fuzz-corpus
crashes=$BUILD_DIR/fuzz-crashes
rm -rf "$corpus"
mkdir -p "$crashes"
scripts/fuzz_corpus.sh "$corpus"
for target in fuzz_switches fuzz_color fuzz_cli_project fuzz_sources fuzz_tile_decoders fuzz_editor_project; do
  [ -x "$BUILD_DIR/bin/$target" ] || continue
  echo "== $target for ${FUZZ_SECONDS}s"
  log=$crashes/$target.log
  if ! "$BUILD_DIR/bin/$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$crashes/$target-" -print_final_stats=1 "$corpus/$target" > "$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target failed; its input is in $crashes"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$log" || true
done

#!/usr/bin/env bash
# Builds everything and runs the whole test suite.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--sanitize" ]; then
  scripts/setup.sh build-asan -DCHROMIK_SANITIZE=ON
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  # Leaks inside system libraries (fontconfig, the X and GL stacks) are not ours to fix.
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  dir=build-asan
else
  scripts/setup.sh build
  dir=build
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300

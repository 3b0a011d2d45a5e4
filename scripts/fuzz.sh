#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into build-fuzz/ and runs each one
# for a bounded time. Fails on any crash, sanitizer report, leak, hang (an input that
# runs longer than 10 s) or memory above 2 GB.
#   scripts/fuzz.sh                      every target for 10 s (the CI step)
#   scripts/fuzz.sh --time 600 ini       one target for 10 minutes
#   scripts/fuzz.sh --runs 10000000      every target for 10 million inputs
#   scripts/fuzz.sh --max-len 1024 ...   inputs of at most 1024 bytes (4096 by default)
# ASAN_OPTIONS from the environment replace the defaults below; for long runs
# malloc_context_size=0:quarantine_size_mb=1 gave 7% more inputs a second.
# Corpora grow in build-fuzz/corpus/<target>/ (the seeds of fuzz/corpus/ are read too);
# what a finding left is in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=10
runs=-1
max_len=4096
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --time) seconds="$2"; shift 2 ;;
    --runs) runs="$2"; seconds=0; shift 2 ;;
    --max-len) max_len="$2"; shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  targets=(sensor_answers ini panel_settings parameter_file table_attributes outside_text)
fi

scripts/setup.sh --packages-only
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  # Paths relative to the checkout and no build directory in the hash: a fresh
  # checkout or build directory still finds the objects of the last build.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHROMIK_WITH_QT=OFF \
  -DCHROMIK_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1:malloc_context_size=10}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
mkdir -p build-fuzz/artifacts
failed=()
for t in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$t"
  log="build-fuzz/fuzz-$t.log"
  mkdir -p "$corpus"
  echo "== fuzz_$t: $([ "$runs" -gt 0 ] && echo "$runs inputs" || echo "$seconds s")"
  status=0
  build-fuzz/fuzz/"fuzz_$t" -max_total_time="$seconds" -runs="$runs" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$max_len" -reload=10 -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t-" \
    "$corpus" "fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  # The last progress line: executions, coverage (cov), features (ft), corpus size.
  grep -E '^#[0-9]+' "$log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    echo "fuzz_$t FAILED (exit $status); see $log"
    grep -E 'ERROR:|runtime error:|SUMMARY:' "$log" | head -n 5 || true
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: no findings"

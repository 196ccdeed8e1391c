#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer build, and runs
# every test of both on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -DTARNWOOD_TESTS=ON -DTARNWOOD_BENCH=ON
scripts/build.sh build-asan -DTARNWOOD_SANITIZE=ON -DTARNWOOD_TESTS=ON -DTARNWOOD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:suppressions=$PWD/tests/asan.supp"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
for dir in build build-asan; do
  echo "== tests: $dir"
  xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" || status=1
done

# A short run of every fuzz harness (clang, libFuzzer, ASan + UBSan), so
# that the harnesses keep building and the seeds and what they reach stay clean.
echo "== fuzz: ${TARNWOOD_FUZZ_SECONDS:-10} s per harness"
scripts/fuzz.sh "${TARNWOOD_FUZZ_SECONDS:-10}" || status=1
exit $status

#!/usr/bin/env bash
# The 24-hour soak: runs the real scene for 24 simulated hours (frames of
# 100 ms, one in 1000 drawn into a 160x120 window) under AddressSanitizer and
# UBSan on a virtual X display, printing one row per simulated hour, and
# fails when resident memory moves more than 1 MiB after the first hour, when
# anything is still held at the end, or when the leak checker finds a leak.
#
# Usage: scripts/soak.sh [tarnwood-soak options...]   (see tarnwood-soak --help)
# SOAK_BUILD=build runs the normal build instead of build-asan.
# The report is also written to $SOAK_BUILD/soak-report.md.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${SOAK_BUILD:-build-asan}
if [ "$build" = build-asan ]; then
  scripts/build.sh build-asan -DTARNWOOD_SANITIZE=ON -DTARNWOOD_TESTS=ON -DTARNWOOD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
else
  scripts/build.sh "$build" >/dev/null
fi

# The quarantine holds freed blocks back to catch late uses; a small one fills
# within the first simulated hour, so that it does not pass for growth later.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:quarantine_size_mb=16:suppressions=$PWD/tests/asan.supp"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

report="$build/soak-report.md"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" "$build/tarnwood/tarnwood-soak" --hours 24 "$@" 2>&1 | tee "$report" \
  || status=$?
echo "tarnwood-soak exit status: $status (report in $report)"
exit $status

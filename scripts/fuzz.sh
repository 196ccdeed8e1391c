#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, in the tree build-fuzz) and runs each of them
# for SECONDS (default 600), two at a time, at low priority.
#
#   scripts/fuzz.sh [SECONDS] [HARNESS...]      e.g. scripts/fuzz.sh 900 archive_texture
#
# Each harness grows a working corpus in build-fuzz/corpus/NAME, seeded from
# fuzz/corpus/NAME; crashing, leaking or hanging inputs are saved in
# build-fuzz/artifacts/NAME/ and the full log is build-fuzz/logs/NAME.log.
# Inputs that take a second or more are saved there too (slow-unit-*) and
# counted, but do not fail the run: on a loaded machine they may be noise.
# At the end every input of each working corpus is run once more and the
# slowest one is reported. Exit status 1 when any harness found a fault.
#
# Environment: FUZZ_JOBS (harnesses at once, default 2), FUZZ_TIMEOUT
# (seconds after which one input counts as a hang, default 5).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-600}
[ $# -gt 0 ] && shift
jobs=${FUZZ_JOBS:-2}
timeout_s=${FUZZ_TIMEOUT:-5}
tree=build-fuzz

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$tree" -DTARNWOOD_FUZZ=ON -DTARNWOOD_TESTS=OFF -DTARNWOOD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "${launcher[@]}" >/dev/null
nice cmake --build "$tree" -j "$(nproc)" >/dev/null

if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  harnesses=()
  for f in fuzz/*.cpp; do
    name=$(basename "$f" .cpp)
    [ "$name" = FuzzSupport ] || harnesses+=("$name")
  done
fi

# The harnesses that need OpenGL use SDL's offscreen driver: no X display.
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0:suppressions=$root/tests/asan.supp"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_one() {
  local name=$1
  local corpus=$tree/corpus/$name artifacts=$tree/artifacts/$name log=$tree/logs/$name.log
  mkdir -p "$corpus" "$artifacts" "$tree/logs"
  cp -n fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
  local start=$SECONDS status=0
  # Each harness runs in a scratch folder of its own (the tool harnesses
  # write files); the paths handed to it are absolute.
  local scratch
  scratch=$(mktemp -d)
  (cd "$scratch" && env -u DISPLAY TMPDIR="$scratch" nice -n 10 "$root/$tree/fuzz/fuzz_$name" \
      -max_total_time="$seconds" -timeout="$timeout_s" -rss_limit_mb=2560 -report_slow_units=1 \
      -print_final_stats=1 -artifact_prefix="$root/$artifacts/" "$root/$corpus") >"$log" 2>&1 || status=$?
  local elapsed=$((SECONDS - start))
  # Run every input once more, for the slowest.
  local slowest
  slowest=$( (cd "$scratch" && env -u DISPLAY TMPDIR="$scratch" nice -n 10 "$root/$tree/fuzz/fuzz_$name" \
      -runs=1 "$root/$corpus"/* 2>&1) | sed -n 's/^Executed \(.*\) in \([0-9]*\) ms$/\2 \1/p' | sort -n | tail -1)
  rm -rf "$scratch"
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  local faults slow
  faults=$(find "$artifacts" -type f ! -name 'slow-unit-*' | wc -l)
  slow=$(find "$artifacts" -type f -name 'slow-unit-*' | wc -l)
  local verdict=ok
  if [ "$status" -ne 0 ] || [ "$faults" -ne 0 ]; then verdict=FAULT; fi
  printf '%-24s %-5s %7ss %10s runs  corpus %5s  slowest input %s ms  faults %s  inputs over 1 s %s\n' \
    "$name" "$verdict" "$elapsed" "${runs:-?}" "$(ls "$corpus" | wc -l)" "${slowest%% *}" "$faults" "$slow" \
    | tee "$tree/logs/$name.summary"
  [ "$verdict" = ok ]
}

status=0
running=0
for name in "${harnesses[@]}"; do
  if [ ! -x "$tree/fuzz/fuzz_$name" ]; then
    echo "no harness named $name" >&2
    status=1
    continue
  fi
  run_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || status=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done
exit $status

#!/usr/bin/env bash
# Builds the Release tree and prints every speed figure next to its reference
# measured in the same run, as min and median over alternating rounds:
#   plasma and fire generators beside the plain loops (ns per texel or cell),
#   frame cost and heap allocations of the scene beside the bare clear + swap
#   loop, with and without multisampling,
#   start-up (video mode set to first swap returned) beside the bare loop.
# Usage: scripts/bench.sh [ROUNDS]   (default 5). Needs no display of its own:
# without DISPLAY it runs on a private Xvfb screen of 1024x768.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-5}
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DTARNWOOD_TESTS=OFF -DTARNWOOD_BENCH=ON

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

bench=build-release/bench

# min and median of the numbers on stdin, one a line
stats() { sort -g | awk '{v[NR]=$1} END {printf "%.3f / %.3f", v[1], v[int((NR+1)/2)]}'; }

echo "== Generators at 256x256, $rounds alternating rounds (min / median)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for ((i = 0; i < rounds; ++i)); do
  # Benchmark order alternates between rounds so neither side always runs first.
  if ((i % 2)); then filter='BM_(PlasmaSixSinesPerTexel|PlasmaGenerate|FirePlainStep|FireStep)/256'
  else filter='BM_(PlasmaGenerate|PlasmaSixSinesPerTexel|FireStep|FirePlainStep)/256'; fi
  "$bench/bench_proctex" --benchmark_filter="$filter" --benchmark_min_time=0.2 --benchmark_format=csv 2>/dev/null |
    awk -F, -v dir="$tmp" '
      NR == 1 { for (c = 1; c <= NF; ++c) { h = $c; gsub(/"/, "", h); if (h == "ns_per_texel") col = c }; next }
      { name = $1; gsub(/"/, "", name); sub(/\/256$/, "", name); print $col > (dir "/" name) }'
  paste "$tmp/BM_PlasmaGenerate" "$tmp/BM_PlasmaSixSinesPerTexel" | tail -1 | awk '{print $2 / $1}' >> "$tmp/plasma_ratio"
  paste "$tmp/BM_FireStep" "$tmp/BM_FirePlainStep" | tail -1 | awk '{print $2 / $1}' >> "$tmp/fire_ratio"
  for n in BM_PlasmaGenerate BM_PlasmaSixSinesPerTexel BM_FireStep BM_FirePlainStep; do
    tail -1 "$tmp/$n" >> "$tmp/$n.all"
  done
done
printf '  plasma ns/texel  ours %s   plain loop %s   plain/ours %s\n' \
  "$(stats < "$tmp/BM_PlasmaGenerate.all")" "$(stats < "$tmp/BM_PlasmaSixSinesPerTexel.all")" "$(stats < "$tmp/plasma_ratio")"
printf '  fire ns/cell     ours %s   plain loop %s   plain/ours %s\n' \
  "$(stats < "$tmp/BM_FireStep.all")" "$(stats < "$tmp/BM_FirePlainStep.all")" "$(stats < "$tmp/fire_ratio")"

echo "== Frames at the screen's size, scene beside the bare loop"
"$bench/bench_scene" frames --rounds "$rounds" --frames 10
"$bench/bench_scene" frames --rounds "$rounds" --frames 10 --no-multisample

echo "== Start-up: video mode set to first swap returned, $rounds alternating processes (ms, min / median)"
for ((i = 0; i < rounds; ++i)); do
  for variant in bare scene; do
    "$bench/bench_scene" startup "$variant" | awk '{print $3}' >> "$tmp/startup_$variant"
  done
done
paste "$tmp/startup_scene" "$tmp/startup_bare" | awk '{print $1 - $2}' > "$tmp/startup_extra"
printf '  scene %s   bare %s   scene minus bare %s\n' \
  "$(stats < "$tmp/startup_scene")" "$(stats < "$tmp/startup_bare")" "$(stats < "$tmp/startup_extra")"

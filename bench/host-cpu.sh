#!/usr/bin/env bash
# CPU use of the scene player in a stand-in host window (400x300) on a private
# Xvfb: with no delay, with --delay 30000 (the pacing hosts ask for), with
# --delay 100000 (pacing that bites even where a busy machine holds the frame
# rate below 33 per second), and with the host window unmapped; plus the time
# from SIGTERM to the player's end.
# Rounds alternate between the cases so that load on a shared machine hits
# them alike; min and median are per case, ratios against "no delay".
# Usage: bench/host-cpu.sh [BUILD_DIR] [ROUNDS] [SECONDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-3}
seconds=${3:-4}
tarnwood=$(realpath "$build/tarnwood/Tarnwood")
window_tool=$(realpath "$build/tests/tarnwood-stand-in-window")
ticks_per_second=$(getconf CLK_TCK)

work=$(mktemp -d)
xvfb_pid=""
window_pid=""
cleanup() {
  exec 3>&- 2>/dev/null || true
  [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec 4> "$work/displayfd"
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/displayfd")"

mkfifo "$work/commands"
"$window_tool" < "$work/commands" > "$work/answers" &
window_pid=$!
exec 3> "$work/commands"
for _ in $(seq 100); do [ -s "$work/answers" ] && break; sleep 0.1; done
window=$(head -1 "$work/answers")
command_window() {
  local before
  before=$(wc -l < "$work/answers")
  echo "$1" >&3
  for _ in $(seq 200); do [ "$(wc -l < "$work/answers")" -gt "$before" ] && return 0; sleep 0.05; done
  echo "stand-in window did not answer '$1'" >&2; exit 1
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# One measurement: percent of one core over $seconds, after a warm-up.
measure() {
  local case=$1; shift
  XDG_CONFIG_DIRS="$work" "$tarnwood" --window-id "$window" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 3
  [ "$case" = unmapped ] && command_window unmap && sleep 0.5
  local t0 t1
  t0=$(cpu_ticks "$pid")
  sleep "$seconds"
  t1=$(cpu_ticks "$pid")
  [ "$case" = unmapped ] && command_window map
  local start end
  start=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid" || true
  end=$(date +%s%N)
  echo "$case $(( (t1 - t0) * 100 / (ticks_per_second * seconds) )) $(( (end - start) / 1000000 ))" >> "$work/results"
}

for round in $(seq "$rounds"); do
  measure no-delay
  measure delay-30000 --delay 30000
  measure delay-100000 --delay 100000
  measure unmapped
done

stats() {  # case column -> "min median"
  awk -v c="$1" -v k="$2" '$1 == c {print $k}' "$work/results" | sort -n |
    awk '{v[NR] = $1} END {printf "%d %d", v[1], v[int((NR + 1) / 2)]}'
}
read -r base_min base_median <<< "$(stats no-delay 2)"
echo "CPU use of one core, ${rounds} alternating rounds of ${seconds} s, 400x300 stand-in window:"
for case in no-delay delay-30000 delay-100000 unmapped; do
  read -r min median <<< "$(stats "$case" 2)"
  ratio=$(awk -v m="$median" -v b="$base_median" 'BEGIN { if (b > 0) printf "%.2f", m / b; else print "n/a" }')
  printf "  %-12s min %3d%%  median %3d%%  (median / no-delay median: %s)\n" "$case" "$min" "$median" "$ratio"
done
read -r min median <<< "$(awk '{print $3}' "$work/results" | sort -n | awk '{v[NR] = $1} END {printf "%d %d", v[1], v[int((NR + 1) / 2)]}')"
echo "SIGTERM to exit: min ${min} ms, median ${median} ms over all runs"

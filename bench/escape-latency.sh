#!/usr/bin/env bash
# Time from a stop request to the end of the full-screen scene player on a
# private Xvfb: from the Escape key press, and from SIGTERM. The reference is
# a bare SDL program (an OpenGL full-screen surface cleared every frame, ended
# by Escape) built by this script and measured in the same rounds, so the
# figure reads as the player's own cost over what SDL, GL and X take anyway.
# Each run starts the program, waits for its window, lets it draw for a
# moment, then asks it to stop. Rounds alternate between the cases so that
# load on a shared machine hits them alike; min and median are per case.
# Usage: bench/escape-latency.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-5}
tarnwood=$(realpath "$build/tarnwood/Tarnwood")

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cat > "$work/bare.c" <<'EOF'
#include <GL/gl.h>
#include <SDL.h>

int main(void)
{
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(0, 0, 32, SDL_OPENGL | SDL_FULLSCREEN))
        return 1;
    SDL_WM_SetCaption("bare", "bare");
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)) {
                SDL_Quit();
                return 0;
            }
        glClearColor(0.2f, 0.4f, 0.8f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapBuffers();
    }
}
EOF
# shellcheck disable=SC2046
cc -O2 -o "$work/bare" "$work/bare.c" $(pkg-config --cflags --libs sdl) -lGL

exec 4> "$work/displayfd"
Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$work/displayfd")"

# One run: case name, how to stop (escape or term), window name, program.
measure() {
  local case=$1 stop=$2 name=$3; shift 3
  XDG_CONFIG_DIRS="$work" "$@" >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 300); do xwininfo -root -children 2>/dev/null | grep -q "\"$name\"" && break; sleep 0.05; done
  # A few frames, so that textures are up and the loop is in its steady state.
  sleep 1
  local start end
  start=$(date +%s%N)
  if [ "$stop" = escape ]; then xdotool key Escape; else kill -TERM "$pid"; fi
  wait "$pid" || true
  end=$(date +%s%N)
  echo "$case $(( (end - start) / 1000000 ))" >> "$work/results"
}

for _ in $(seq "$rounds"); do
  measure bare-escape escape bare "$work/bare"
  measure tarnwood-escape escape Tarnwood "$tarnwood"
  measure tarnwood-sigterm term Tarnwood "$tarnwood"
done

stats() {  # case -> "min median"
  awk -v c="$1" '$1 == c {print $2}' "$work/results" | sort -n |
    awk '{v[NR] = $1} END {printf "%d %d", v[1], v[int((NR + 1) / 2)]}'
}
read -r base_min base_median <<< "$(stats bare-escape)"
echo "Stop request to exit, full screen 1024x768, ${rounds} alternating rounds:"
for case in bare-escape tarnwood-escape tarnwood-sigterm; do
  read -r min median <<< "$(stats "$case")"
  ratio=$(awk -v m="$median" -v b="$base_median" 'BEGIN { if (b > 0) printf "%.2f", m / b; else print "n/a" }')
  printf "  %-17s min %5d ms  median %5d ms  (median / bare median: %s)\n" "$case" "$min" "$median" "$ratio"
done

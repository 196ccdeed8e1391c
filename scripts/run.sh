#!/usr/bin/env bash
# Installs what is missing, builds, and runs the screensaver's scene.
# With a display it runs full screen until Escape. Without one it starts a
# virtual X display, runs the scene for a few seconds and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -DTARNWOOD_TESTS=OFF -DTARNWOOD_BENCH=OFF

if [ -n "${DISPLAY:-}" ]; then
  exec build/tarnwood/Tarnwood
fi

shot="$PWD/build/screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  build/tarnwood/Tarnwood & pid=$!
  sleep 6
  import -window root "$1"
  xdotool key Escape
  wait $pid
' _ "$shot"
echo "Screenshot of the running scene: $shot"

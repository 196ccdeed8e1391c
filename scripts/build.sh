#!/usr/bin/env bash
# Configures (once) and builds one build tree. Usage: build.sh DIR [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"

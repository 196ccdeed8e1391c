#!/usr/bin/env bash
# Configures and builds one build tree. Usage: build.sh DIR [cmake options...]
# The options are applied on every call, so a tree first made by one command
# (say, without tests) is set right by the next. When ccache is installed it
# caches compilations across trees and clones, so a second run is quick.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"

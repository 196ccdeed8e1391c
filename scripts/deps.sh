#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# any of them is missing. Safe to run again: it does nothing once all are there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  libsdl1.2-compat-dev libsdl-image1.2-dev
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libx11-dev
  libfreetype-dev libpng-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev
  libgtk-3-dev
  xvfb xauth xdotool x11-utils imagemagick
  libxml2-utils dpkg-dev file
  xscreensaver
  clang libclang-rt-14-dev
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

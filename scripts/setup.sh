#!/usr/bin/env bash
# Installs the Debian packages the show, its tools and its tests need. Idempotent.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev googletest libbenchmark-dev
  libsdl2-dev libgl1-mesa-dri libegl-dev libegl1-mesa-dev libglu1-mesa-dev
  libx11-dev xvfb xauth x11-utils xdotool xclip mesa-utils
  libmpg123-dev libkissfft-dev libgtk-3-dev
  libjpeg-turbo-progs libjpeg62-turbo-dev libmp3lame-dev lame sox libpng-dev libstb-dev
  lib3ds-dev assimp-testmodels libassimp-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs what is missing, builds, makes the stand-in data set when there is
# none, and plays the show: in a window where there is a display, otherwise
# off-screen with frames written as PNG files.
#   QUILLMERE_PROGRAM   quillmere-aa8 (default), quillmere-aa4 or quillmere-plain
#   QUILLMERE_DATA      the data directory (default: ./data, generated when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
data=${QUILLMERE_DATA:-$root/data}
if [ ! -f "$data/music/Dorrin-afternoon stroll.mp3" ] || [ ! -d "$data/textures" ]; then
    echo "making the stand-in data set in $data"
    build/tools/make_standin_data "$data"
fi
program=$root/build/${QUILLMERE_PROGRAM:-quillmere-aa8}
cd "$data"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    export QUILLMERE_CAPTURE_EVERY=${QUILLMERE_CAPTURE_EVERY:-250}
    export QUILLMERE_CAPTURE_DIR=${QUILLMERE_CAPTURE_DIR:-$root/frames}
    echo "no display: playing off-screen, frames go to $QUILLMERE_CAPTURE_DIR"
fi
exec "$program"

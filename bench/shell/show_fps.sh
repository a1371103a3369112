#!/usr/bin/env bash
# Frames per second of the whole show, off-screen on the software rasteriser,
# at 1280 x 720: one frame every half second of show time (about 520 frames
# spread over every layer), without multisampling and with 4 samples.
#   bench/shell/show_fps.sh [build-dir] [data-dir]
set -euo pipefail
build=${1:-build}
data=${2:-data}
build=$(cd "$build" && pwd)
[ -d "$data/textures" ] || "$build/tools/make_standin_data" "$data"
cd "$data"
for program in quillmere-plain quillmere-aa4; do
    start=$(date +%s.%N)
    env -u DISPLAY QUILLMERE_HEADLESS=1 QUILLMERE_SETUP="1280x720 windowed no-music" QUILLMERE_FRAME_TIME=0.5 \
        "$build/$program" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v p="$program" -v s="$start" -v e="$end" \
        'BEGIN { frames = 523; printf "%-16s %6.1f frames/s (%d frames in %.1f s, loading included)\n", p, frames / (e - s), frames, e - s }'
done

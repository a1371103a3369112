#!/usr/bin/env bash
# Runs the whole show off-screen, as shipped (every development switch off),
# and checks that it ends with code 0 and leaves no file behind: nothing new
# in the directory it runs in, nothing changed in the data.
# usage: dev_files_check.sh PROGRAM DATA_DIR
set -u
program=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"
for entry in "$data"/*; do ln -s "$entry" "$work/run/$(basename "$entry")"; done

listing() { find -L "$work/run" "$data" -printf '%p %s %T@\n' | sort; }
listing >"$work/before"
(cd "$work/run" && env -u DISPLAY -u WAYLAND_DISPLAY QUILLMERE_HEADLESS=1 QUILLMERE_FRAME_TIME=1.0 \
    timeout 500 "$program" >"$work/out" 2>&1)
code=$?
listing >"$work/after"
if [ $code -ne 0 ]; then
    echo "FAIL: exit code $code"; cat "$work/out"; exit 1
fi
if ! diff "$work/before" "$work/after"; then
    echo "FAIL: the run wrote files"; exit 1
fi
echo "ok: ended with code 0, no file written"

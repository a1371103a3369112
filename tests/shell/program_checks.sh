#!/usr/bin/env bash
# Runs one of the programs in a scenario and checks how it ends.
# usage: program_checks.sh SCENARIO PROGRAM DATA_DIR [CLOSE_WINDOW_TOOL]
# The program runs in DATA_DIR, which holds the show's data files.
set -u
self=$(realpath "$0")
scenario=$1
program=$2
data=$3
close_window=${4:-}
name=$(basename "$program")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$data"

fail() { echo "FAIL ($scenario, $name): $*"; echo "--- output:"; cat "$work/out" 2>/dev/null; exit 1; }

# Runs the program off-screen with the given extra environment; output in $work/out.
run_headless() {
    env -u DISPLAY -u WAYLAND_DISPLAY QUILLMERE_HEADLESS=1 "$@" timeout 900 "$program" >"$work/out" 2>&1
}

expected_samples() {
    case "$name" in
        *-plain) echo 0 ;;
        *) echo 4 ;;   # the software rasteriser offers only 4 samples: 8 is retried with 2
    esac
}

# The desktop checks wait on events, not on a clock: a loaded machine may take
# long to start the program or to draw, so each wait allows `patience`
# seconds and ends early only when the program ($pid) has already exited.
patience=120

still_running() { kill -0 "$pid" 2>/dev/null; }

# Runs COMMAND every 0.1 s until it succeeds; false after `patience` seconds,
# or at once when the program has exited without it (one last look then, as
# it may have exited just after the previous one).
wait_until() {
    local deadline=$((SECONDS + patience))
    until "$@"; do
        if ! still_running; then "$@"; return; fi
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}

window_shown() {   # NAME-PATTERN: prints the first shown top-level window whose name matches
    # xwininfo rather than a search tool: the dialog toolkit leaves windows behind
    # that some search tools stop at. Hidden windows (a probe window) don't count.
    for id in $(xwininfo -root -children 2>/dev/null |
                awk -v pattern="$1" 'match($0, /"[^"]*"/) { name = substr($0, RSTART + 1, RLENGTH - 2); if (name ~ pattern) print $1 }'); do
        if xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

wait_for_window() { wait_until window_shown "$1"; }

wait_for_show() {   # waits until the show has drawn its first frames (after loading)
    wait_until [ -f "$work/started/frame_000003.png" ] && return 0
    still_running || fail "the program ended before the show started"
    fail "the show did not start within $patience s"
}

exited() { ! still_running; }

wait_for_exit() {   # the program's exit code
    if ! wait_until exited; then
        kill "$pid"
        fail "the program did not end within $patience s"
    fi
    wait "$pid"
}

case "$scenario" in
headless)
    # Standard error apart (music is on): only the program's own lines, the
    # dummy-driver line on a machine without sound, none of the audio library's.
    env -u DISPLAY -u WAYLAND_DISPLAY QUILLMERE_HEADLESS=1 QUILLMERE_MAX_PASSES=5 timeout 900 "$program" \
        >"$work/out" 2>"$work/err"
    code=$?
    cat "$work/err" >>"$work/out"
    [ $code -eq 0 ] || fail "exit code $code"
    grep -q "GL renderer: llvmpipe" "$work/out" || fail "no llvmpipe renderer reported"
    grep -q "samples: $(expected_samples)\$" "$work/out" || fail "expected $(expected_samples) samples"
    ! grep -v "^sound: " "$work/err" | grep -q . || fail "lines on standard error that are not the program's"
    ;;
bad_setting)
    # A frame time below the clock's step would freeze the show on its first frame.
    run_headless QUILLMERE_SETUP="1024x576 windowd no-musik" QUILLMERE_FRAME_TIME=1e-10
    code=$?
    [ $code -eq 4 ] || fail "exit code $code for unusable settings"
    grep -q '^QUILLMERE_SETUP: cannot use "1024x576 windowd no-musik" (.*"windowd"' "$work/out" || fail "setup not named"
    grep -q '^QUILLMERE_FRAME_TIME: cannot use "1e-10" (' "$work/out" || fail "frame time not named"
    [ "$(wc -l <"$work/out")" -eq 2 ] || fail "more than the two lines: nothing may start"
    ;;
capture_unwritable)
    # The folder's parent is a regular file (permission bits would not stop
    # root): the first frame asked for cannot be written and the run ends there.
    touch "$work/file"
    run_headless QUILLMERE_SETUP="320x180 windowed no-music" QUILLMERE_MAX_PASSES=20 \
        QUILLMERE_CAPTURE_EVERY=2 QUILLMERE_CAPTURE_DIR="$work/file/frames"
    code=$?
    [ $code -eq 5 ] || fail "exit code $code with frames that cannot be written"
    [ "$(grep -c "could not write" "$work/out")" -eq 1 ] || fail "the run went on after a lost frame"
    grep -qxF "could not write $work/file/frames/frame_000002.png: Not a directory" "$work/out" ||
        fail "path or reason not given"
    ;;
capture_full_disk)
    # A disk that fills up partway through a frame: a 400 KB tmpfs, in a mount
    # namespace of the check's own when this machine allows one, else a file
    # size limit of 400 KB (a write past it fails; its signal is ignored). The
    # run ends at that frame, and every file left in the folder is a whole frame.
    if [ -z "${QUILLMERE_CHECK_UNSHARED:-}" ] && unshare -m true 2>/dev/null; then
        rm -rf "$work"
        trap - EXIT
        QUILLMERE_CHECK_UNSHARED=1 exec unshare -m bash "$self" "$scenario" "$program" "$data"
    fi
    mkdir "$work/frames"
    limit=unlimited
    if [ -n "${QUILLMERE_CHECK_UNSHARED:-}" ] && mount -t tmpfs -o size=400k tmpfs "$work/frames" 2>/dev/null; then
        trap 'umount "$work/frames"; rm -rf "$work"' EXIT
    else
        limit=400
    fi
    (
        trap '' XFSZ
        ulimit -f "$limit"
        # Black frames of under 3 KB up to 16 s, then frames of about 600 KB.
        run_headless QUILLMERE_SETUP="1280x720 windowed no-music" QUILLMERE_FRAME_TIME=0.5 \
            QUILLMERE_MAX_PASSES=40 QUILLMERE_CAPTURE_EVERY=1 QUILLMERE_CAPTURE_DIR="$work/frames"
    )
    code=$?
    [ $code -eq 5 ] || fail "exit code $code when the disk fills up"
    lost=$(sed -n 's/^could not write \(.*\): \(No space left on device\|File too large\)$/\1/p' "$work/out")
    [ -n "$lost" ] || fail "no lost frame reported with its reason"
    [ ! -e "$lost" ] || fail "the lost frame was left under its name"
    ! ls "$work/frames" | grep -qv '^frame_[0-9]*\.png$' || fail "files left beside the frames: $(ls "$work/frames")"
    whole=0
    for png in "$work/frames"/frame_*.png; do
        [ -e "$png" ] || continue
        [ "$(tail -c 8 "$png" | head -c 4)" = IEND ] || fail "$(basename "$png") is not whole"
        whole=$((whole + 1))
    done
    [ $whole -ge 1 ] || fail "no frame was written before the disk filled up"
    echo "$whole whole frames before $(basename "$lost"), limit: $([ $limit = unlimited ] && echo tmpfs || echo "ulimit -f $limit")"
    ;;
capture)
    run_headless QUILLMERE_MAX_PASSES=3 QUILLMERE_CAPTURE_FRAMES=2 QUILLMERE_CAPTURE_DIR="$work/frames" \
        QUILLMERE_SETUP="1024x576 windowed no-music"
    [ $? -eq 0 ] || fail "exit code"
    png="$work/frames/frame_000002.png"
    [ -f "$png" ] || fail "no frame written"
    [ ! -f "$work/frames/frame_000001.png" ] || fail "an unrequested frame was written"
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$size" = "1024x576" ] || fail "frame size $size"
    ;;
refused_mode)
    run_headless QUILLMERE_SETUP="1280x720 fullscreen" QUILLMERE_MESSAGE_ANSWER=no
    code=$?
    [ $code -ne 0 ] || fail "a refused mode switch must fail the run"
    grep -q "Use Windowed Mode Instead?" "$work/out" || fail "no question asked"
    grep -q "Program Will Now Close." "$work/out" || fail "no closing message"
    ! grep -q "GL renderer" "$work/out" || fail "a window was made"
    ;;
accepted_mode)
    run_headless QUILLMERE_SETUP="1280x720 fullscreen" QUILLMERE_MAX_PASSES=2
    [ $? -eq 0 ] || fail "exit code"
    grep -q "answered Yes" "$work/out" || fail "the question was not answered"
    ;;
no_multisample)
    # The plain software rasteriser offers no multisample format at all.
    run_headless GALLIUM_DRIVER=softpipe QUILLMERE_MAX_PASSES=2
    code=$?
    [ $code -ne 0 ] || fail "exit code 0 without a multisample format"
    grep -q "Can't Set The PixelFormat(3)." "$work/out" || fail "wrong message"
    ;;
no_gl)
    run_headless LIBGL_DRIVERS_PATH="$work/none" QUILLMERE_MAX_PASSES=2
    code=$?
    [ $code -ne 0 ] && [ $code -ne 124 ] || fail "exit code $code without a GL driver"
    grep -q "^\[ERROR\] " "$work/out" || fail "no message"
    ;;
window)
    # Under a test X server: a windowed 1024 x 576 request, keys, a click, and a close.
    QUILLMERE_SETUP="1024x576 windowed" QUILLMERE_MESSAGES=stderr QUILLMERE_TRACE_MESSAGES=1 \
        QUILLMERE_CAPTURE_FRAMES=3 QUILLMERE_CAPTURE_DIR="$work/started" "$program" >"$work/out" 2>&1 &
    pid=$!
    win=$(wait_for_window "Quillmere - Orvane") || fail "no window"
    wait_for_show
    geometry=$(xwininfo -id "$win")
    echo "$geometry" | grep -q "Width: 1024" || fail "width: $geometry"
    echo "$geometry" | grep -q "Height: 576" || fail "height: $geometry"
    echo "$geometry" | grep -q "Absolute upper-left X:  50" || fail "position: $geometry"
    xdotool key --window "$win" Up 5
    xdotool mousemove --window "$win" 100 100 click 2
    sleep 0.5
    "$close_window" "$win"
    wait_for_exit
    code=$?
    [ $code -eq 0 ] || fail "exit code $code"
    grep -q "message key_down key=38 " "$work/out" || fail "Up did not arrive"
    grep -q "message key_down key=53 " "$work/out" || fail "'5' did not arrive"
    grep -q "message middle_button_down" "$work/out" || fail "the middle click did not arrive"
    grep -q "message close" "$work/out" || fail "the close did not arrive"
    ;;
dialog_run|dialog_quit)
    # The setup dialog on a desktop: pressed where its buttons are drawn.
    QUILLMERE_HEADLESS=0 QUILLMERE_MESSAGES=stderr QUILLMERE_CAPTURE_FRAMES=3 QUILLMERE_CAPTURE_DIR="$work/started" \
        QUILLMERE_CLIPBOARD_FILE="$work/clipboard" "$program" >"$work/out" 2>&1 &
    pid=$!
    dialog=$(wait_for_window "^Quillmere\$") || fail "no dialog"
    sleep 0.3
    if [ "$scenario" = dialog_quit ]; then
        xdotool mousemove --window "$dialog" 330 142 click 1
        wait_for_exit
        code=$?
        [ $code -eq 0 ] || fail "Quit ended with $code"
        ! grep -q "GL renderer" "$work/out" || fail "Quit opened the show window"
    else
        xdotool mousemove --window "$dialog" 200 88 click 1   # "Windowed"
        sleep 0.2
        xdotool mousemove --window "$dialog" 160 142 click 1  # "Run ... "
        win=$(wait_for_window "Quillmere - Orvane") || fail "no show window after Run"
        geometry=$(xwininfo -id "$win")
        # The only mode of the test server, 1920 x 1080, is the default selection.
        echo "$geometry" | grep -q "Width: 1920" || fail "width: $geometry"
        echo "$geometry" | grep -q "Absolute upper-left X:  50" || fail "not windowed: $geometry"
        wait_for_show
        sleep 1
        xdotool mousemove --window "$win" 300 300 click 2
        xdotool keydown --window "$win" Escape
        wait_for_exit
        code=$?
        [ $code -eq 0 ] || fail "exit code $code"
        grep -q "^MCr :" "$work/clipboard" 2>/dev/null || fail "no capture text on the clipboard"
    fi
    ;;
show_end)
    # One second per frame: the show ends by itself past 261.1 s of demo time.
    run_headless QUILLMERE_FRAME_TIME=1.0 QUILLMERE_CAPTURE_FRAMES=263 QUILLMERE_CAPTURE_DIR="$work/frames"
    code=$?
    [ $code -eq 0 ] || fail "exit code $code"
    [ -f "$work/frames/frame_000263.png" ] || fail "the last frame (swap 263: loading screen + 262 frames) is missing"
    [ ! -f "$work/frames/frame_000264.png" ] || fail "the show went on past its end"
    ;;
full_show)
    # The whole show at 30 frames a second of show time, at a low resolution.
    run_headless QUILLMERE_SETUP="320x180 windowed music" QUILLMERE_FRAME_TIME=0.0333333 \
        QUILLMERE_CAPTURE_FRAMES=7800 QUILLMERE_CAPTURE_DIR="$work/frames"
    code=$?
    [ $code -eq 0 ] || fail "exit code $code"
    [ -f "$work/frames/frame_007800.png" ] || fail "the show ended before 7800 frames"
    ;;
escape_headless)
    # Escape after swap 101 (frame 100, demo time 2.0 s at 0.02 s a frame): the show
    # ends on the first frame more than 0.555 s later, 28 frames on, and leaves
    # the capture text (empty: nothing was captured) on the clipboard.
    run_headless QUILLMERE_SETUP="320x180 windowed music" QUILLMERE_PRESS_ESCAPE_AT=101 \
        QUILLMERE_FRAME_TIME=0.02 QUILLMERE_CAPTURE_EVERY=1 \
        QUILLMERE_CAPTURE_DIR="$work/frames" QUILLMERE_CLIPBOARD_FILE="$work/clipboard"
    code=$?
    [ $code -eq 0 ] || fail "exit code $code"
    [ -f "$work/clipboard" ] || fail "nothing was put on the clipboard"
    [ ! -s "$work/clipboard" ] || fail "the capture text should be empty: $(cat "$work/clipboard")"
    last=$(ls "$work/frames" | sort | tail -n 1)
    [ "$last" = "frame_000129.png" ] || fail "the last frame shown is $last"
    ;;
missing_data)
    cd "$work"
    run_headless QUILLMERE_MAX_PASSES=2
    code=$?
    [ $code -ne 0 ] && [ $code -ne 124 ] || fail "exit code $code without data files"
    grep -q "textures//fhammer.txt" "$work/out" || fail "the missing file is not named"
    ;;
missing_music)
    mkdir -p "$work/show"
    cp -r "$data/textures" "$work/show/"
    cd "$work/show"
    run_headless QUILLMERE_MAX_PASSES=2
    code=$?
    [ $code -ne 0 ] && [ $code -ne 124 ] || fail "exit code $code without the soundtrack"
    grep -q "No sound file." "$work/out" || fail "no message"
    ;;
escape_fade)
    # Under a test X server: a middle click, then Escape; the fade-out ends the
    # show and leaves the capture text on the clipboard.
    QUILLMERE_SETUP="640x360 windowed" QUILLMERE_MESSAGES=stderr QUILLMERE_FRAME_TIME=0.05 \
        QUILLMERE_CLIPBOARD_FILE="$work/clipboard" QUILLMERE_CAPTURE_FRAMES=3 \
        QUILLMERE_CAPTURE_DIR="$work/started" "$program" >"$work/out" 2>&1 &
    pid=$!
    win=$(wait_for_window "Quillmere - Orvane") || fail "no window"
    wait_for_show
    xdotool mousemove --window "$win" 100 100 click 2
    # Held down until the show ends: a key pressed and released while the show
    # is still loading is gone before the first frame looks at the keys.
    xdotool keydown --window "$win" Escape
    wait_for_exit
    code=$?
    [ $code -eq 0 ] || fail "exit code $code"
    [ -f "$work/clipboard" ] || fail "nothing was put on the clipboard"
    grep -q "^Cam :0.,0.,0.  \$" "$work/clipboard" || fail "capture text: $(cat "$work/clipboard")"
    grep -q "^Pnt :0.,0.,0.  \$" "$work/clipboard" || fail "capture text: $(cat "$work/clipboard")"
    grep -q "^MCr :" "$work/clipboard" || fail "capture text: $(cat "$work/clipboard")"
    # The desktop clipboard still holds it after the program has ended.
    timeout 60 xclip -selection clipboard -o 2>/dev/null | grep -q "^MCr :" || fail "the clipboard lost the text"
    ;;
*)
    echo "unknown scenario $scenario"
    exit 2
    ;;
esac
echo "ok ($scenario, $name)"

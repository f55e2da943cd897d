#!/bin/sh
# The real zelk6 full screen on a bare X server (Xvfb, no window manager, as a kiosk's startx):
# nobody resizes its window there, yet the whole picture must show, scaled by whole multiples.
# Return, Return starts the show on a 1280x1024 screen; while the still picture stands (60 to
# 65 s of show time) a screenshot, cut to the picture's place and scaled back to 640x480, must
# match the capture tool's frame at 62 s. Escape then ends the show with 0.
# Usage: fullscreen_under_xvfb.sh ZELK6 ZELK6-CAPTURE SHOWDIR
set -u
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
zelk6=$(absolute "$1")
capture=$(absolute "$2")
show=$(cd "$3" && pwd)
for tool in Xvfb xdotool ffmpeg; do
    command -v $tool >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done
scratch=$(mktemp -d)
show_pid=""
xvfb=""
trap 'kill $xvfb 2>/dev/null; [ -n "$show_pid" ] && kill -9 $show_pid 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "$1"; cat "$scratch/log" 2>/dev/null; exit 1; }

# The frame to match, from the same data.
"$capture" --data "$show" --from 62000 --to 62000 --format png --out "$scratch/frame" >/dev/null 2>&1 ||
    fail "the capture tool could not draw the frame at 62 s"
frame=$scratch/frame/062000.png

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for i in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$scratch/display")

cd "$show"
SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$zelk6" >"$scratch/log" 2>&1 &
show_pid=$!

# Prints the id of the newest shown window titled exactly $1, waiting up to 10 s for it.
wait_window() {
    for i in $(seq 100); do
        w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        kill -0 $show_pid 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
# Presses Return in window $1 until it is gone (a key before the focus is lost).
accept() {
    for attempt in 1 2 3 4 5; do
        xdotool windowfocus --sync "$1" 2>/dev/null
        xdotool key --window "$1" Return 2>/dev/null
        for i in $(seq 20); do
            xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
            sleep 0.1
        done
    done
    return 1
}
sound=$(wait_window "Sound set-up") || fail "no sound set-up dialog appeared"
accept "$sound" || fail "the sound set-up dialog stayed after Return"
device=$(wait_window "Zelk6") || fail "no render-device dialog appeared"
accept "$device" || fail "the render-device dialog stayed after Return"
window=$(wait_window "Zelk6") || fail "no show window appeared"

# Where the picture lies: the window's size, the largest whole multiple of 640x480 in it, centred.
# It is shown first, then given its size: up to 5 s for that.
for i in $(seq 50); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$WIDTH" = 1280 ] && [ "$HEIGHT" = 1024 ] && break
    sleep 0.1
done
[ "$WIDTH" = 1280 ] && [ "$HEIGHT" = 1024 ] || fail "the full-screen window is ${WIDTH}x$HEIGHT, not the screen's 1280x1024"
scale=$((WIDTH / 640 < HEIGHT / 480 ? WIDTH / 640 : HEIGHT / 480))
cut="crop=$((640 * scale)):$((480 * scale)):$((X + (WIDTH - 640 * scale) / 2)):$((Y + (HEIGHT - 480 * scale) / 2))"

# The still picture stands from 60 to 65 s after the timeline starts, a little after the window
# appears: screenshots from 57 s to 72 s, until one matches.
sleep 57
matched=""
best=""
for attempt in $(seq 30); do
    kill -0 $show_pid 2>/dev/null || fail "zelk6 ended before the still picture"
    ffmpeg -loglevel error -y -f x11grab -video_size 1280x1024 -i "$DISPLAY" -frames:v 1 "$scratch/shot.png" 2>/dev/null
    psnr=$(ffmpeg -loglevel info -i "$scratch/shot.png" -i "$frame" -filter_complex \
        "[0]$cut,scale=640:480:flags=neighbor[a];[a][1]psnr" -f null - 2>&1 | sed -n 's/.*PSNR.* average:\([^ ]*\).*/\1/p')
    best="$best $psnr"
    case $psnr in inf) matched=1; break ;; esac
    # Identical but for rounding: 40 dB is far above any other frame of the show.
    [ -n "$psnr" ] && [ "${psnr%%.*}" -ge 40 ] 2>/dev/null && { matched=1; break; }
    sleep 0.5
done
[ -n "$matched" ] || fail "no screenshot showed the whole still picture (PSNR against the frame:$best)"
echo "full screen on a bare X server shows the whole picture at ${scale}x (PSNR $psnr dB)"

for attempt in 1 2 3 4 5; do
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Escape 2>/dev/null
    for i in $(seq 20); do
        kill -0 $show_pid 2>/dev/null || break 2
        sleep 0.1
    done
done
kill -0 $show_pid 2>/dev/null && fail "zelk6 still running after Escape"
wait $show_pid
code=$?
show_pid=""
[ $code -eq 0 ] || fail "zelk6 exited with $code after Escape"

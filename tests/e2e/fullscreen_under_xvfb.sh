#!/bin/sh
# The real zelk6 full screen on a bare X server (Xvfb, no window manager, as a kiosk's startx):
# nobody resizes its window there, yet the whole picture must show, filling the screen's width
# at 4:3, which on its 1280x1024 is the whole multiple 2x.
# Return, Return starts the show on a 1280x1024 screen; while the still picture stands (60 to
# 65 s of show time) a screenshot, cut to the picture's place and scaled back to 640x480, must
# match the capture tool's frame at 62 s. Escape then ends the show with 0.
# Usage: fullscreen_under_xvfb.sh ZELK6 ZELK6-CAPTURE SHOWDIR
set -u
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
zelk6=$(absolute "$1")
capture=$(absolute "$2")
show=$(cd "$3" && pwd)
. "$(dirname "$0")/xvfb_driver.sh"
command -v ffmpeg >/dev/null || fail "missing ffmpeg (scripts/setup.sh installs it)"

# The frame to match, from the same data.
"$capture" --data "$show" --from 62000 --to 62000 --format png --out "$scratch/frame" >/dev/null 2>&1 ||
    fail "the capture tool could not draw the frame at 62 s"
frame=$scratch/frame/062000.png

start_show_accepted

# Where the picture lies: the window's size, the largest 4:3 rectangle in it (here a whole
# multiple of 640x480), centred.
wait_full_screen
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

escape_show

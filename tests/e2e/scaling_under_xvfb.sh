#!/bin/sh
# The real zelk6 full screen on a 1920x1080 desktop with a window manager (openbox), as most
# people watch it today. Return, Return starts the show with the default settings; during the
# wave edge (20 to 30 s of show time, whose frames reach all four edges) a screenshot must show
# the picture's lit area filling the height at 4:3, 1440x1080 in the middle. Alt+S then moves
# to whole multiples: 1280x960 with bars all round. Escape ends the show with 0.
# Usage: scaling_under_xvfb.sh ZELK6 SHOWDIR
set -u
zelk6=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
show=$(cd "$2" && pwd)
screen=1920x1080
. "$(dirname "$0")/xvfb_driver.sh"
command -v ffmpeg >/dev/null || fail "missing ffmpeg (scripts/setup.sh installs it)"

start_wm
start_show_accepted

wait_full_screen

# The screen's lit area as "x y w h": ffmpeg's bbox of what is brighter than the wave edge's
# darkest blue, from one screenshot.
lit_box() {
    ffmpeg -loglevel error -y -f x11grab -video_size $screen -i "$DISPLAY" -frames:v 1 "$scratch/shot.png" 2>/dev/null
    ffmpeg -loglevel info -i "$scratch/shot.png" -vf bbox=min_val=24 -f null - 2>&1 |
        sed -n 's/.* x1:\([0-9]*\) .* y1:\([0-9]*\) .* w:\([0-9]*\) h:\([0-9]*\).*/\1 \2 \3 \4/p' | tail -1
}

# Screenshots every half second until one shows the box $1 ("x y w h"), at most $2 of them.
seen=""
wait_box() {
    seen=""
    for attempt in $(seq "$2"); do
        kill -0 $show_pid 2>/dev/null || fail "zelk6 ended during the wave edge"
        box=$(lit_box)
        [ "$box" = "$1" ] && return 0
        seen="$seen [$box]"
        sleep 0.5
    done
    return 1
}

# The timeline starts a little after the window appears. The wave edge stands from 20 to 30 s;
# the credits before it never light the whole frame, and the segments after it up to 45 s do,
# so a slow start only moves the check into those.
sleep 20
wait_box "240 0 1440 1080" 16 || fail "aspect: no screenshot showed the picture at 240,0 1440x1080 (seen:$seen)"
echo "aspect: the picture fills the height at 4:3, 1440x1080 at x 240"

xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null
xdotool key alt+s
wait_box "320 60 1280 960" 16 || fail "integer after Alt+S: no screenshot showed the picture at 320,60 1280x960 (seen:$seen)"
echo "integer after Alt+S: the picture is 2x, 1280x960 at 320,60"

escape_show

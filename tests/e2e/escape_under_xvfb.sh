#!/bin/sh
# The real zelk6 in a real X window (Xvfb), driven with real key presses (xdotool):
# 1. Escape in the sound set-up dialog ends the program with 2 before any display exists.
# 2. Return in the sound set-up dialog and Escape in the render-device dialog "Zelk6" (after
#    a pick in its drop-down list) ends the program with 2, and no show window ever appears.
# 3. Return in the sound set-up dialog and in the render-device dialog (its six controls
#    laid out from the template: a 520 x 140 window) starts the show, and Escape then ends
#    it with 0.
# Usage: escape_under_xvfb.sh ZELK6 SHOWDIR [SCREENSHOT.png]
set -u
zelk6=$1
show=$2
shot=${3:-}
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

# Xvfb picks a free display itself, so parallel runs never share one.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
show_pid=""
log=$(mktemp)
trap 'kill $xvfb 2>/dev/null; [ -n "$show_pid" ] && kill -9 $show_pid 2>/dev/null; rm -f "$log" "$displayfile"' EXIT
for i in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$displayfile")
ready=""
for i in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && { ready=1; break; }; sleep 0.1; done
[ -n "$ready" ] || { echo "Xvfb on $DISPLAY does not answer"; exit 1; }

cd "$show"

fail() { echo "$1"; cat "$log"; exit 1; }

start_show() {
    # x11 named outright: without a display SDL would quietly draw off screen instead.
    SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$zelk6" >"$log" 2>&1 &
    show_pid=$!
}

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

# Focuses window $1 and presses key $2 until the window is gone (a press that arrives before
# the window has the focus is lost). At most five presses, two seconds apart.
press_until_gone() {
    for attempt in 1 2 3 4 5; do
        xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
        xdotool key --window "$1" "$2" 2>/dev/null || xdotool key "$2" 2>/dev/null
        for i in $(seq 20); do
            xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
            kill -0 $show_pid 2>/dev/null || return 0
            sleep 0.1
        done
    done
    return 1
}

# Waits up to 10 s for the show to end; sets code to its exit code.
wait_end() {
    for i in $(seq 100); do
        kill -0 $show_pid 2>/dev/null || break
        sleep 0.1
    done
    kill -0 $show_pid 2>/dev/null && return 1
    wait $show_pid
    code=$?
    show_pid=""
}

# 1. Escape in the sound set-up dialog.
start_show
sound=$(wait_window "Sound set-up") || fail "no sound set-up dialog appeared"
press_until_gone "$sound" Escape || fail "the sound set-up dialog stayed after Escape"
wait_end || fail "zelk6 still running after Escape in the sound set-up dialog"
[ "$code" -eq 2 ] || fail "zelk6 exited with $code after Escape in the sound set-up dialog"
echo "Escape in the sound set-up dialog ended zelk6 with 2"

# 2. Return in the sound set-up dialog, Escape in the render-device dialog.
start_show
sound=$(wait_window "Sound set-up") || fail "no sound set-up dialog appeared"
press_until_gone "$sound" Return || fail "the sound set-up dialog stayed after Return"
device=$(wait_window "Zelk6") || fail "no render-device dialog Zelk6 appeared"
# First the driver list: a click on the field opens it in a window of its own over the
# dialog, a click on its first line picks that and closes it. The dialog keeps the keyboard
# throughout, so a single Escape, with no focusing in between, is Cancel.
xdotool windowfocus --sync "$device" 2>/dev/null || xdotool windowfocus "$device" 2>/dev/null
xdotool mousemove --window "$device" 300 20 click 1
sleep 0.5
xdotool mousemove --window "$device" 300 39 click 1
sleep 0.3
xdotool key Escape
for i in $(seq 30); do
    xdotool getwindowname "$device" >/dev/null 2>&1 || break
    kill -0 $show_pid 2>/dev/null || break
    sleep 0.1
done
xdotool getwindowname "$device" >/dev/null 2>&1 && fail "the render-device dialog lost the keyboard to its list"
# Until zelk6 has ended, no other window titled Zelk6 (the show's) may appear.
for i in $(seq 100); do
    kill -0 $show_pid 2>/dev/null || break
    other=$(xdotool search --onlyvisible --name '^Zelk6$' 2>/dev/null | grep -vx "$device")
    [ -z "$other" ] || fail "a show window appeared after Escape in the render-device dialog"
    sleep 0.1
done
wait_end || fail "zelk6 still running after Escape in the render-device dialog"
[ "$code" -eq 2 ] || fail "zelk6 exited with $code after Escape in the render-device dialog"
echo "Escape in the render-device dialog ended zelk6 with 2 before any show window"

# 3. Return, Return, then Escape in the show.
start_show
sound=$(wait_window "Sound set-up") || fail "no sound set-up dialog appeared"
press_until_gone "$sound" Return || fail "the sound set-up dialog stayed after Return"
device=$(wait_window "Zelk6") || fail "no render-device dialog Zelk6 appeared"
geometry=$(xdotool getwindowgeometry "$device" 2>/dev/null | sed -n 's/.*Geometry: //p')
[ "$geometry" = "520x140" ] || fail "the render-device dialog is $geometry, not 520x140"
if [ -n "$shot" ] && command -v import >/dev/null; then
    sleep 0.5
    import -window "$device" "$shot" 2>/dev/null && echo "screenshot of the render-device dialog: $shot"
fi
press_until_gone "$device" Return || fail "the render-device dialog stayed after Return"

window=$(wait_window "Zelk6") || fail "no Zelk6 show window appeared"
sleep 3  # the loading screen and the first seconds of the show
kill -0 $show_pid 2>/dev/null || fail "zelk6 ended before Escape"
# The show's window may have been remade when the display mode was set: look again, give it
# the focus and press the key through XTEST, as a keyboard would. A press that arrives before
# the window has the focus is lost, so press again (any further Escape is harmless).
for attempt in 1 2 3 4 5; do
    window=$(xdotool search --onlyvisible --name '^Zelk6$' 2>/dev/null | tail -1)
    [ -n "$window" ] && { xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null; }
    xdotool key Escape 2>/dev/null
    for i in $(seq 20); do
        kill -0 $show_pid 2>/dev/null || break 2
        sleep 0.1
    done
done
if kill -0 $show_pid 2>/dev/null; then
    fail "zelk6 still running 10 s after the first Escape"
fi
wait $show_pid
code=$?
show_pid=""
[ $code -eq 0 ] || fail "zelk6 exited with $code after Escape"
echo "Return in both dialogs started the show; Escape ended it with 0"

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
zelk6=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
show=$(cd "$2" && pwd)
shot=${3:-}
. "$(dirname "$0")/xvfb_driver.sh"

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
escape_show
echo "Return in both dialogs started the show; Escape ended it with 0"

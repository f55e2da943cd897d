#!/bin/sh
# The real zelk6 in a real X window (Xvfb): Escape pressed with xdotool ends the show with 0.
# Usage: escape_under_xvfb.sh ZELK6 SHOWDIR
set -u
zelk6=$1
show=$2
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done

display=:$((90 + $$ % 100))
Xvfb $display -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; [ -n "${show_pid:-}" ] && kill -9 $show_pid 2>/dev/null' EXIT
export DISPLAY=$display
for i in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

cd "$show"
log=$(mktemp)
SDL_AUDIODRIVER=dummy "$zelk6" >"$log" 2>&1 &
show_pid=$!

window=""
for i in $(seq 100); do
    window=$(xdotool search --name '^Zelk6$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no Zelk6 window appeared"; cat "$log"; exit 1; }

sleep 3  # the loading screen and the first seconds of the show
kill -0 $show_pid 2>/dev/null || { echo "zelk6 ended before Escape"; cat "$log"; exit 1; }
# The show's window may have been remade when the display mode was set: look again, give it
# the focus and press the key through XTEST, as a keyboard would. A press that arrives before
# the window has the focus is lost, so press again (any further Escape is harmless).
for attempt in 1 2 3 4 5; do
    window=$(xdotool search --name '^Zelk6$' 2>/dev/null | tail -1)
    [ -n "$window" ] && { xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null; }
    xdotool key Escape 2>/dev/null
    for i in $(seq 20); do
        kill -0 $show_pid 2>/dev/null || break 2
        sleep 0.1
    done
done
if kill -0 $show_pid 2>/dev/null; then
    echo "zelk6 still running 10 s after the first Escape"; cat "$log"; exit 1
fi
wait $show_pid
code=$?
show_pid=""
[ $code -eq 0 ] || { echo "zelk6 exited with $code after Escape"; cat "$log"; exit 1; }
echo "zelk6 ended on Escape with 0"

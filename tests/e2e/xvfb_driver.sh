# Sourced by the end-to-end scripts: a private Xvfb, the real zelk6 started in it, its windows
# found and real keys pressed (xdotool). The caller sets zelk6 (the program) and show (the
# show folder, absolute) first, and may set screen (default 1280x1024); `log` holds what the
# program printed.
for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "missing $tool (scripts/setup.sh installs it)"; exit 1; }
done
screen=${screen:-1280x1024}
scratch=$(mktemp -d)
log=$scratch/log
show_pid=""
wm=""
trap 'kill $xvfb $wm 2>/dev/null; [ -n "$show_pid" ] && kill -9 $show_pid 2>/dev/null; rm -rf "$scratch"' EXIT

fail() { echo "$1"; cat "$log" 2>/dev/null; exit 1; }

# Xvfb picks a free display itself, so parallel runs never share one.
Xvfb -displayfd 3 -screen 0 ${screen}x24 -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
for i in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -1 "$scratch/display")
ready=""
for i in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && { ready=1; break; }; sleep 0.1; done
[ -n "$ready" ] || fail "Xvfb on $DISPLAY does not answer"

# A window manager on the display, as on a desktop: openbox, with its own default settings
# (none of the user's), ready once it runs its start-up command.
start_wm() {
    command -v openbox >/dev/null || fail "missing openbox (scripts/setup.sh installs it)"
    XDG_CONFIG_HOME="$scratch/config" openbox --startup "touch $scratch/wm-ready" >/dev/null 2>&1 &
    wm=$!
    for i in $(seq 100); do [ -e "$scratch/wm-ready" ] && return 0; sleep 0.1; done
    fail "openbox did not start on $DISPLAY"
}

start_show() {
    # x11 named outright: without a display SDL would quietly draw off screen instead. The
    # picture settings are the defaults, whatever the user running the tests chose.
    (cd "$show" && unset ZELK6_SCALE ZELK6_FILTER && XDG_CONFIG_HOME="$scratch/config" SDL_VIDEODRIVER=x11 \
        SDL_AUDIODRIVER=dummy exec "$zelk6") >"$log" 2>&1 &
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
# the window has the focus is lost). At most five presses, five seconds apart: a press repeated
# while a busy machine is still closing the window would reach the next dialog instead.
press_until_gone() {
    for attempt in 1 2 3 4 5; do
        xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null
        xdotool key --window "$1" "$2" 2>/dev/null || xdotool key "$2" 2>/dev/null
        for i in $(seq 50); do
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

# Return in both dialogs; sets window to the show's window.
start_show_accepted() {
    start_show
    sound=$(wait_window "Sound set-up") || fail "no sound set-up dialog appeared"
    press_until_gone "$sound" Return || fail "the sound set-up dialog stayed after Return"
    device=$(wait_window "Zelk6") || fail "no render-device dialog Zelk6 appeared"
    press_until_gone "$device" Return || fail "the render-device dialog stayed after Return"
    window=$(wait_window "Zelk6") || fail "no Zelk6 show window appeared"
}

# Waits until the show's window has the whole screen; sets X, Y, WIDTH and HEIGHT to its
# place. It is shown first, then given its size: up to 5 s for that.
wait_full_screen() {
    for i in $(seq 50); do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [ "${WIDTH}x$HEIGHT" = "$screen" ] && return 0
        sleep 0.1
    done
    fail "the full-screen window is ${WIDTH}x$HEIGHT, not the screen's $screen"
}

# Escape in the running show, which must end it with 0. The show's window may have been
# remade when the display mode was set: look again, give it the focus and press the key
# through XTEST, as a keyboard would; press again while it runs (a further Escape is harmless).
escape_show() {
    kill -0 $show_pid 2>/dev/null || fail "zelk6 ended before Escape"
    for attempt in 1 2 3 4 5; do
        window=$(xdotool search --onlyvisible --name '^Zelk6$' 2>/dev/null | tail -1)
        [ -n "$window" ] && { xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window" 2>/dev/null; }
        xdotool key Escape 2>/dev/null
        for i in $(seq 20); do
            kill -0 $show_pid 2>/dev/null || break 2
            sleep 0.1
        done
    done
    wait_end || fail "zelk6 still running 10 s after the first Escape"
    [ $code -eq 0 ] || fail "zelk6 exited with $code after Escape"
}

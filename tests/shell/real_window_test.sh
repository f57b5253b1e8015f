#!/usr/bin/env bash
# Drives the real quedrino binary like a user: on a virtual X display, with a
# real notification area (trayer), through mouse clicks and key presses.
# HOME points at a temporary folder, so no real reminder file is touched.
# Usage: real_window_test.sh path/to/quedrino
set -uo pipefail

BIN=$(realpath "$1")
WORK=$(mktemp -d)
PIDS=()
passed=0
failed=0

cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

check() { # check "what" command...
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what (${SECONDS}s)"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
    fi
}

# wait_for SECONDS command...: true as soon as the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$WORK/display" 2>"$WORK/xvfb.log" &
PIDS+=($!)
wait_for 10 test -s "$WORK/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$WORK/display")

# The program's visible top-level windows, one "id width height name" a line.
visible_windows() {
    local id
    for id in $(xdotool search --maxdepth 1 --onlyvisible --classname quedrino 2>/dev/null); do
        echo "$id $(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}') $(xdotool getwindowname "$id")"
    done
}
window_shown() { visible_windows | grep -q -- " $1\$"; }
window_gone() { ! window_shown "$1"; }
menu_open() { visible_windows | awk '$2 < 300 && $3 < 150' | grep -q .; }

tray_panel() { xdotool search --maxdepth 1 --classname panel 2>/dev/null | head -n1; }
# How many of the program's icons sit in the tray.
tray_icons() {
    local panel
    panel=$(tray_panel)
    [ -n "$panel" ] || { echo 0; return; }
    xwininfo -tree -id "$panel" | grep -c '("quedrino"'
}
icons_are() { [ "$(tray_icons)" = "$1" ]; }
tray_up() { test -n "$(tray_panel)"; }
tray_down() { test -z "$(tray_panel)"; }
menu_closed() { ! menu_open; }
main_window_size_is() { visible_windows | grep -q " $1 $2 Quedrino\$"; }
app_ended() { ! kill -0 "$APP" 2>/dev/null; }

click_icon() { # click_icon BUTTON [REPEAT]
    local icon x y w h
    icon=$(xwininfo -tree -id "$(tray_panel)" | awk '/\("quedrino"/{print $1; exit}')
    eval "$(xwininfo -id "$icon" | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4} /Width:/{print "w="$2} /Height:/{print "h="$2}')"
    # --sync waits for the pointer to arrive, so it must start elsewhere.
    xdotool mousemove --sync 0 300
    xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click --repeat "${2:-1}" "$1"
}
right_click_icon() { click_icon 3; }

choose() { # choose KEY: opens the tray menu and picks the entry by its accelerator
    right_click_icon
    wait_for 5 menu_open || return 1
    sleep 0.3 # the menu takes the keyboard just after it appears
    xdotool key "$1"
}

# --- With a notification area
trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
wait_for 10 tray_up || { echo "FAIL: trayer did not start"; exit 1; }

"$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
APP=$!
PIDS+=($APP)
check "one icon in the tray after start" wait_for 10 icons_are 1
sleep 0.5
check "no window shown after start" test -z "$(visible_windows)"
click_icon 1
click_icon 1 2
sleep 0.7
check "a left click or a double click opens nothing" test -z "$(visible_windows)"

right_click_icon
check "a right click opens the tray menu" wait_for 5 menu_open
sleep 0.3
xdotool key Escape
check "Esc closes the tray menu" wait_for 5 menu_closed

choose i
check "\"&Incluir Lembrete\" shows the main window" wait_for 5 window_shown Quedrino
check "the main window's client area is 439 x 265" main_window_size_is 439 265

choose s
check "\"&Sobre\" shows the About window" wait_for 5 window_shown "Sobre o Quedrino 1.1a"
about=$(visible_windows | awk '/Sobre o Quedrino 1.1a$/{print $1}')
xdotool windowfocus --sync "$about" 2>/dev/null
xdotool key Return
check "Enter closes the About window" wait_for 5 window_gone "Sobre o Quedrino 1.1a"

# The tray menu still works while a dialog is open, so the program can be
# ended from it.
choose s
check "\"&Sobre\" opens the About window again" wait_for 5 window_shown "Sobre o Quedrino 1.1a"
choose e
status=timeout
if wait_for 10 app_ended; then
    wait "$APP"
    status=$?
fi
check "\"&Encerrar\" ends the program with status 0 (got $status)" test "$status" = 0
check "the icon is gone from the tray" wait_for 5 icons_are 0

# --- Without a notification area
kill "${PIDS[1]}" 2>/dev/null
wait_for 5 tray_down
"$BIN" >"$WORK/out2.log" 2>"$WORK/err2.log" &
APP=$!
PIDS+=($APP)
check "without a tray the main window is shown" wait_for 10 window_shown Quedrino
check "without a tray one line on stderr says why" grep -q "no notification area" "$WORK/err2.log"
kill "$APP"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

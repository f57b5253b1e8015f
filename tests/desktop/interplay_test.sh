#!/usr/bin/env bash
# Where two windows meet: the real quedrino binary on a virtual display with a
# notification area (trayer) and a window manager (openbox), driven with
# xdotool like a person who sees only the window on top. Each journey checks
# the reminder file byte for byte where it is involved.
# Each journey starts the program afresh; JOURNEYS may name some of them.
# Usage: interplay_test.sh path/to/quedrino
set -uo pipefail

BIN=$(realpath "$1")
WORK=$(mktemp -d)
PIDS=()
source "$(dirname "${BASH_SOURCE[0]}")/../x11_session.sh"

trap cleanup EXIT

private_home
start_display || { echo "FAIL: Xvfb did not start"; exit 1; }

REMINDERS=$HOME/quedrino/quedrino.txt
yesterday=$(date -d yesterday +%d/%m/%Y)
next_year=$(date -d '+1 year' +%d/%m/%Y)
LINE_X=$(printf '%s08:00Primeiro' "$next_year")
LINE_Y=$(printf '%s09:00Segundo' "$next_year")
LINE_D=$(printf '%s07:30Vencido ontem' "$yesterday")
tomorrow=$(date -d tomorrow +%d/%m/%Y)

# Windows of the running copy by title: the managed ones sit in frames, so
# any depth.
windows_named() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$(xdotool getwindowpid "$id" 2>/dev/null)" = "$APP" ] && echo "$id"
    done
}
main_window() { windows_named Quedrino | while read -r id; do
    # A message box is titled "Quedrino" too, but is smaller.
    geometry_of "$id" && [ "$w" = 439 ] && echo "$id"
done | head -n1; }
main_shown() { [ -n "$(main_window)" ]; }
shown() { [ -n "$(windows_named "$1")" ]; }
gone() { [ -z "$(windows_named "$1")" ]; }
# A message box "Quedrino": a window of that title that is not the main one.
message_shown() { [ "$(windows_named Quedrino | wc -l)" -gt "$(main_window | wc -l)" ]; }
no_message() { ! message_shown; }
# click_in ID X Y: a left click at X, Y of the window's client area.
click_in() {
    geometry_of "$1" || return 1
    xdotool mousemove $((x + $2)) $((y + $3)) sleep 0.1 click 1
    sleep 0.3
}
# A combo box's list: a small window of the program's outside any frame.
popup_open() { visible_windows | awk '$3 > 40' | grep -q .; }
# pick_first_with_mouse ID X Y: opens the combo box at X, Y and clicks the
# first item of its list.
pick_first_with_mouse() {
    click_in "$1" "$2" "$3"
    wait_for 5 popup_open || return 1
    geometry_of "$(visible_windows | awk '$3 > 40 {print $1}' | head -n1)"
    xdotool mousemove $((x + w / 2)) $((y + 8)) sleep 0.1 click 1
    sleep 0.3
}
keys() {
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.15
    done
}
# A shortcut held as a slow hand holds it, with no race against its release.
slow_alt_a() { xdotool keydown alt+a sleep 0.3 keyup a sleep 0.1 keyup alt; }
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
normal_state() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Normal'; }
listed() { wmctrl -l | awk '{print $1}' | grep -qi "^0x0*$(printf '%x' "$1")\$"; }
# stacked_above A B: A is higher than B in the window manager's stacking.
stacked_above() {
    local list a b
    list=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    a=$(echo "$list" | tr ' ' '\n' | grep -n -i "^0x0*$(printf '%x' "$1")\$" | cut -d: -f1)
    b=$(echo "$list" | tr ' ' '\n' | grep -n -i "^0x0*$(printf '%x' "$2")\$" | cut -d: -f1)
    [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]
}

# Where the include panel's fields are, in the main window's client area.
DESC=(131 149)
HOUR=(150 92)
MINUTE=(290 91)
PLUS1=(315 55)


# start_app LINE...: the reminder file holds the lines; the program starts
# in the tray, its stderr in $WORK/err.log.
start_app() {
    put_reminders "$@"
    "$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
    APP=$!
    PIDS+=("$APP")
    wait_for 10 icons_are 1
}
stop_app() {
    kill "$APP" 2>/dev/null
    wait "$APP" 2>/dev/null
    wait_for 5 icons_are 0
}
open_include_panel() {
    choose i
    wait_for 5 main_shown
    main=$(main_window)
    focus "$main"
}
# A reminder due since yesterday, written by another program; its alert.
due_alert() {
    printf '%s\r\n' "$LINE_D" >>"$REMINDERS"
    wait_for 10 one_alert
}

journey_about() {
    start_app "$LINE_X"
    open_include_panel
    choose s
    wait_for 5 shown "Sobre o Quedrino 1.1a"
    local about
    about=$(windows_named "Sobre o Quedrino 1.1a")
    click_in "$main" 20 20
    check "a click on the main window blocked by About leaves About above it" \
        wait_for 2 stacked_above "$about" "$main"
    # With an alert open too, the alert keeps the keyboard.
    due_alert
    local alert
    alert=$(alerts)
    click_in "$main" 20 20
    check "with an alert open as well, such a click leaves the keyboard with the alert" \
        wait_for 2 test "$(xdotool getwindowfocus 2>/dev/null)" = "$alert"
    stop_app
}

journey_shortcut() {
    start_app "$LINE_X"
    open_include_panel
    click_in "$main" "${PLUS1[@]}"
    click_in "$main" "${DESC[@]}"
    xdotool type --delay 50 "Pelo atalho"
    pick_first_with_mouse "$main" "${MINUTE[@]}"
    pick_first_with_mouse "$main" "${HOUR[@]}"
    xdotool key alt+a
    reminders_file "$WORK/expected" "$LINE_X" "${tomorrow}00:00Pelo atalho"
    check "Alt+A at once after choosing the minute, then the hour with the mouse, schedules" \
        wait_for 5 reminders_are "$WORK/expected"
    check "and shows no message" no_message
    stop_app
}

journey_return() {
    start_app "$LINE_X"
    open_include_panel
    click_in "$main" "${PLUS1[@]}"
    click_in "$main" "${DESC[@]}"
    xdotool type --delay 50 "Pelo teclado"
    click_in "$main" "${MINUTE[@]}"
    wait_for 5 popup_open
    xdotool type --delay 80 10
    keys Return
    click_in "$main" "${HOUR[@]}"
    wait_for 5 popup_open
    xdotool type --delay 80 01
    # Its release reaches the minute box, where the focus has moved.
    keys Return
    slow_alt_a
    reminders_file "$WORK/expected" "$LINE_X" "${tomorrow}01:10Pelo teclado"
    check "Return choosing the hour from its list leaves the minute chosen before" \
        wait_for 5 reminders_are "$WORK/expected"
    stop_app
}

journey_focus() {
    start_app "$LINE_X"
    open_include_panel
    click_in "$main" "${PLUS1[@]}"
    pick_first_with_mouse "$main" "${HOUR[@]}"
    pick_first_with_mouse "$main" "${MINUTE[@]}"
    xdotool type --delay 50 "Antes"
    due_alert
    focus "$(alerts)"
    keys alt+a
    wait_for 5 no_alert
    xdotool type --delay 50 " e depois"
    slow_alt_a
    reminders_file "$WORK/expected" "$LINE_X" "${tomorrow}00:00Antes e depois"
    check "after an alert, typing goes on in the description where it was" \
        wait_for 5 reminders_are "$WORK/expected"
    stop_app
}

journey_question() {
    start_app "$LINE_X" "$LINE_Y"
    choose r
    wait_for 5 main_shown
    focus "$(main_window)"
    keys Down alt+e
    wait_for 5 shown "Exclusão"
    due_alert
    check "the delete question closes when an alert opens" wait_for 2 gone "Exclusão"
    # Keys go to what the user sees: the alert.
    keys Return alt+a
    reminders_file "$WORK/expected" "$LINE_X" "$LINE_Y"
    check "Return, then Alt+A, at the alert: only the alerted line leaves the file" \
        wait_for 5 reminders_are "$WORK/expected"
    check "a normal run with alerts writes nothing on stderr" test ! -s "$WORK/err.log"
    stop_app
}

journey_minimized() {
    start_app "$LINE_X"
    due_alert
    local alert
    alert=$(alerts)
    # Each change of the alert's state, as the window manager writes it.
    xprop -spy -id "$alert" WM_STATE >"$WORK/states" 2>/dev/null &
    PIDS+=($!)
    wait_for 5 grep -q 'window state' "$WORK/states" # listening from now on
    xdotool windowminimize "$alert"
    # It may come back before xprop reads the Iconic state: any change shows
    # the window manager acted, the state now shows where it ended.
    wait_for 5 state_changed
    check "a minimized alert is shown again within 2 s" wait_for 2 state_is Normal "$alert"
    wait_for 5 one_alert
    xdotool windowunmap "$alert"
    check "an alert unmapped by another program is shown again within 2 s" wait_for 2 one_alert
    stop_app
}
state_changed() { [ "$(grep -c 'window state' "$WORK/states")" -ge 2 ]; }
state_is() { xprop -id "$2" WM_STATE 2>/dev/null | grep -q "window state: $1"; }

journey_destroyed() {
    start_app "$LINE_X"
    due_alert
    local alert
    alert=$(alerts)
    xdotool windowclose "$alert"
    check "an alert window destroyed outright comes back" wait_for 5 new_alert_after "$alert"
    # Destroyed again while a message of its own waits over it.
    alert=$(alerts)
    focus "$alert"
    keys alt+d
    wait_for 5 message_shown
    xdotool windowclose "$alert"
    check "destroyed under its own message, it comes back too" wait_for 5 new_alert_after "$alert"
    check "and the program still runs" app_alive
    focus "$(alerts)"
    keys alt+a
    reminders_file "$WORK/expected" "$LINE_X"
    check "and its Alt+A deletes the due line" wait_for 5 reminders_are "$WORK/expected"
    stop_app
}

journey_message_tray() {
    start_app "$LINE_X"
    open_include_panel
    slow_alt_a
    wait_for 5 message_shown
    encerrar
    check "\"&Encerrar\" from the tray with a message box open ends the program (got $STATUS)" \
        test "$STATUS" = 0
}

# Without a notification area, nothing is hidden beyond reach.
journey_no_tray() {
    kill "$TRAY" 2>/dev/null
    wait_for 5 test -z "$(tray_panel)"
    put_reminders "$LINE_X"
    "$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
    APP=$!
    PIDS+=("$APP")
    wait_for 10 main_shown
    main=$(main_window)
    focus "$main"
    keys alt+f
    check "without a tray, \"&Fechar Janela\" leaves the main window minimized" wait_for 5 iconic "$main"
    check "and known to the window manager" listed "$main"
    timeout 20 "$BIN" >/dev/null 2>&1
    check "a second start brings it back" wait_for 5 normal_state "$main"
    focus "$main"
    keys alt+q r
    sleep 0.5
    keys alt+f
    check "\"&Fechar\" of the review panel leaves it minimized" wait_for 5 iconic "$main"
    wmctrl -i -a "$main"
    check "from where the desktop brings it back" wait_for 5 normal_state "$main"
    check "stderr holds the notice of no notification area, and only it" \
        test "$(grep -c . "$WORK/err.log")" = 1 -a "$(grep -c 'no notification area' "$WORK/err.log")" = 1
    stop_app
    start_tray "$WORK/trayer2.log"
    TRAY=${PIDS[-1]}
}

start_tray "$WORK/trayer.log" || { echo "FAIL: trayer did not start"; exit 1; }
TRAY=${PIDS[-1]}
start_wm || { echo "FAIL: openbox did not start"; exit 1; }
for journey in ${JOURNEYS:-about shortcut return focus question minimized destroyed message_tray no_tray}; do
    "journey_$journey"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Drives the real quedrino binary like a user: on a virtual X display, with a
# real notification area (trayer), through mouse clicks and key presses.
# HOME points at a temporary folder, so no real reminder file is touched.
# Usage: real_window_test.sh path/to/quedrino
set -uo pipefail

BIN=$(realpath "$1")
WORK=$(mktemp -d)
PIDS=()
source "$(dirname "${BASH_SOURCE[0]}")/../x11_session.sh"

trap cleanup EXIT

private_home
start_display || { echo "FAIL: Xvfb did not start"; exit 1; }

window_shown() { visible_windows | grep -q -- " $1\$"; }
window_gone() { ! window_shown "$1"; }
tray_down() { test -z "$(tray_panel)"; }
menu_closed() { ! menu_open; }
main_window_size_is() { visible_windows | grep -q " $1 $2 Quedrino\$"; }

# --- With a notification area
start_tray "$WORK/trayer.log" || { echo "FAIL: trayer did not start"; exit 1; }

"$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
APP=$!
PIDS+=("$APP")
check "one icon in the tray after start" wait_for 10 icons_are 1
sleep 0.5
check "no window shown after start" test -z "$(visible_windows)"
click_icon 1
click_icon 1 2
sleep 0.7
check "a left click or a double click opens nothing" test -z "$(visible_windows)"

click_icon mousedown
sleep 0.7
check "pressing the right button alone opens nothing" menu_closed
xdotool mouseup 3
check "releasing it opens the tray menu" wait_for 5 menu_open
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
encerrar
check "\"&Encerrar\" ends the program with status 0 (got $STATUS)" test "$STATUS" = 0
check "the icon is gone from the tray" wait_for 5 icons_are 0

# --- Under a window manager
# With openbox the alert's stacking and its coming back can be seen. Its
# frames put the program's windows one level below the root, so the alerts
# are looked for at any depth.
start_wm || { echo "FAIL: openbox did not start"; exit 1; }

REMINDERS=$HOME/quedrino/quedrino.txt
yesterday=$(date -d yesterday +%d/%m/%Y)
next_year=$(date -d '+1 year' +%d/%m/%Y)
# Windows-1252 text; A is later in the day than B but first in the file.
LINE_A=$(printf '%s10:00Comprar p\xe3o' "$yesterday")
LINE_B=$(printf '%s09:00Reuni\xe3o \xe0s nove' "$yesterday")
LINE_C=$(printf '%s08:15Ligar para o m\xe9dico' "$yesterday")
LINE_F=$(printf '%s12:00Anivers\xe1rio da Ana' "$next_year")
reminders_file "$WORK/abf.txt" "$LINE_A" "$LINE_B" "$LINE_F"
reminders_file "$WORK/bf.txt" "$LINE_B" "$LINE_F"
reminders_file "$WORK/f.txt" "$LINE_F"
reminders_file "$WORK/cf.txt" "$LINE_C" "$LINE_F"
mkdir -p "$HOME/quedrino"
put_reminders "$LINE_A" "$LINE_B" "$LINE_F"

above_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -qw _NET_WM_STATE_ABOVE; }
# The child of the root that holds window ID (its frame under a manager).
toplevel_of() {
    local id=$1 parent root
    [ -n "$id" ] || return 1
    while :; do
        eval "$(xwininfo -children -id "$id" 2>/dev/null |
            awk '/Root window id:/{print "root="$4} /Parent window id:/{print "parent="$4}')"
        [ -n "${parent:-}" ] || return 1
        [ $((parent)) = $((root)) ] && break
        id=$parent
        parent=
    done
    echo $((id))
}
# The top-level window the pointer sees at X Y, that is the one on top there.
toplevel_at() {
    xdotool mousemove --sync "$1" "$2" 2>/dev/null
    xdotool getmouselocation --shell | awk -F= '/^WINDOW=/{print $2}'
}
other_window() { xdotool search --onlyvisible --classname '^stacktest$' 2>/dev/null | head -n1; }
other_shown() { [ -n "$(other_window)" ]; }
# above_other ALERT: another window, put over the alert and made the active
# one, still shows beneath it.
above_other() {
    local other ok=0
    [ -n "$1" ] || return 1
    xmessage -name stacktest -geometry 160x80 "outra janela" >/dev/null 2>&1 &
    other=$!
    PIDS+=("$other")
    wait_for 5 other_shown && on_top_of_other "$1" "$(other_window)" && ok=1
    kill "$other" 2>/dev/null
    wait "$other" 2>/dev/null
    [ $ok = 1 ]
}
on_top_of_other() { # on_top_of_other ALERT OTHER
    local x y w h ax ay aw ah px py
    geometry_of "$1" || return 1
    ax=$x ay=$y aw=$w ah=$h
    xdotool windowmove "$2" $((ax + aw / 2 - 80)) $((ay + ah / 2 - 40)) 2>/dev/null
    focus "$2" || return 1
    geometry_of "$2" || return 1
    px=$((x + w / 2)) py=$((y + h / 2))
    # The spot must lie on both windows, or the check shows nothing.
    if [ "$px" -le "$ax" ] || [ "$px" -ge $((ax + aw)) ] || [ "$py" -le "$ay" ] || [ "$py" -ge $((ay + ah)) ]; then
        echo "  the other window is not over the alert: ($px, $py)"
        return 1
    fi
    [ "$(toplevel_at $px $py)" = "$(toplevel_of "$1")" ]
}

"$BIN" >"$WORK/out3.log" 2>"$WORK/err3.log" &
APP=$!
PIDS+=("$APP")
check "a reminder due since yesterday opens \"Aviso do Quedrino\"" wait_for 10 one_alert
alert=$(alerts)
check "the alert's _NET_WM_STATE holds _NET_WM_STATE_ABOVE" above_state "$alert"
check "the alert stays above a window activated after it" above_other "$alert"

wmctrl -i -c "$alert"
check "closed by the window manager, the alert comes back in a new window" wait_for 5 new_alert_after "$alert"
check "closing the alert leaves the file unchanged" reminders_are "$WORK/abf.txt"
check "closing the alert does not end the program" app_alive
alert=$(alerts)

focus "$alert"
xdotool key alt+a
check "Alt+A deletes exactly the first due line (A) of the file" wait_for 5 reminders_are "$WORK/bf.txt"
check "the next due reminder's alert follows at once" wait_for 5 new_alert_after "$alert"
alert=$(alerts)
check "that alert too is above others" above_state "$alert"
focus "$alert"
xdotool key alt+a
check "Alt+A on it deletes B: only the future line is left" wait_for 5 reminders_are "$WORK/f.txt"
check "with nothing due, the alerts end" wait_for 5 no_alert
check "the future reminder opens no alert" no_alert_for 5

put_reminders "$LINE_C" "$LINE_F"
check "a due line written to the file opens its alert" wait_for 5 one_alert
encerrar
check "\"&Encerrar\" with the alert open ends the program with status 0 (got $STATUS)" test "$STATUS" = 0
check "ending with the alert open keeps the due line in the file" reminders_are "$WORK/cf.txt"
check "the icon is gone from the tray" wait_for 5 icons_are 0

# --- Including and reviewing, with the keyboard
# The program runs on a clock that starts at 10:04:40 today (libfaketime), so
# a reminder scheduled for 10:05, the next step of the minute list, falls due
# twenty seconds later.
today=$(date +%d/%m/%Y)
LINE_X=$(printf '%s08:00Primeiro' "$next_year")
LINE_Y=$(printf '%s09:00Segundo' "$next_year")
LINE_N=$(printf '%s10:05Consulta medica' "$today")
reminders_file "$WORK/xy.txt" "$LINE_X" "$LINE_Y"
reminders_file "$WORK/xyn.txt" "$LINE_X" "$LINE_Y" "$LINE_N"
reminders_file "$WORK/yx.txt" "$LINE_Y" "$(printf '%s08:00Novo texto' "$next_year")"
put_reminders "$LINE_X" "$LINE_Y"
main_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^Quedrino$' 2>/dev/null); do
        [ "$(xdotool getwindowpid "$id" 2>/dev/null)" = "$APP" ] && echo "$id" && return
    done
}
main_shown() { [ -n "$(main_window)" ]; }
keys() { # keys KEY...: one at a time, as a person types
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.15
    done
}
pick() { # pick TEXT: opens the focused box's list and chooses TEXT from it
    keys alt+Down
    sleep 0.3
    xdotool type --delay 80 "$1"
    keys Return
}

# Preloaded straight into the program, so it keeps its own process id; a
# sanitized build must be told that the preload comes first.
LIBFAKETIME=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
LD_PRELOAD=$LIBFAKETIME FAKETIME="@$(date +%Y-%m-%d) 10:04:40" FAKETIME_DONT_FAKE_MONOTONIC=1 \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
    "$BIN" >"$WORK/out4.log" 2>"$WORK/err4.log" &
APP=$!
PIDS+=("$APP")
wait_for 10 icons_are 1
choose i
check "\"&Incluir Lembrete\" shows the include panel" wait_for 5 main_shown
focus "$(main_window)"
# From the date: back to "+ 1" and "- 1", then on to the hour.
keys shift+Tab shift+Tab shift+Tab shift+Tab space shift+Tab space Tab Tab Tab Tab Tab Tab
pick 10
pick 05
xdotool type --delay 50 "Consulta medica"
keys alt+a
check "\"&Agendar Lembrete\" appends the reminder's exact bytes as the last line" \
    wait_for 5 reminders_are "$WORK/xyn.txt"
check "the reminder included for 10:05 rings when it falls due" wait_for 40 one_alert
focus "$(alerts)"
keys alt+a
check "its alert deletes it" wait_for 5 reminders_are "$WORK/xy.txt"

choose r
check "\"&Rever Lembretes\" shows the review panel" wait_for 5 main_shown
focus "$(main_window)"
keys Down Tab Tab Tab ctrl+a
xdotool type --delay 50 "Novo texto"
keys alt+a
check "\"&Alterar\" moves the first item's line to the end with the new text" \
    wait_for 5 reminders_are "$WORK/yx.txt"
kill "$APP"
wait "$APP" 2>/dev/null

kill "$WM" 2>/dev/null
wait "$WM" 2>/dev/null
rm -rf "$HOME/quedrino"

# --- Started again while running
# One copy per user: a later start hands over to the running one, which opens
# its include panel, and ends. A copy killed outright leaves its lock file
# and socket behind; neither keeps the next start from running.
"$BIN" >"$WORK/out5.log" 2>"$WORK/err5.log" &
APP=$!
PIDS+=("$APP")
check "the first start puts its icon in the tray" wait_for 10 icons_are 1
timeout 20 "$BIN" >"$WORK/out6.log" 2>"$WORK/err6.log"
status=$?
check "a second start ends with status 0 (got $status)" test "$status" = 0
check "the running copy shows its window \"Quedrino\"" wait_for 5 main_shown
check "still exactly one icon in the tray" icons_are 1
check "the first copy still runs" app_alive

kill -KILL "$APP"
wait "$APP" 2>/dev/null
check "killed with SIGKILL, the copy's icon goes" wait_for 5 icons_are 0
check "and its lock file stays behind" test -e "$XDG_RUNTIME_DIR/quedrino.lock"
"$BIN" >"$WORK/out7.log" 2>"$WORK/err7.log" &
APP=$!
PIDS+=("$APP")
check "a new start after it runs, with one icon in the tray" wait_for 10 icons_are 1
timeout 20 "$BIN" >"$WORK/out8.log" 2>"$WORK/err8.log"
status=$?
check "a start after that hands over to the new copy (status $status)" test "$status" = 0
check "which shows \"Quedrino\"" wait_for 5 main_shown
check "again exactly one icon in the tray" icons_are 1
kill "$APP"
wait "$APP" 2>/dev/null

# --- Without a notification area
kill "${PIDS[1]}" 2>/dev/null
wait_for 5 tray_down
"$BIN" >"$WORK/out2.log" 2>"$WORK/err2.log" &
APP=$!
PIDS+=("$APP")
check "without a tray the main window is shown" wait_for 10 window_shown Quedrino
check "without a tray one line on stderr says why" grep -q "no notification area" "$WORK/err2.log"
start_tray "$WORK/trayer2.log"
check "a notification area that appears later gets the icon" wait_for 10 icons_are 1
check "and the main window leaves the screen for it" wait_for 5 window_gone Quedrino
kill "$APP"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

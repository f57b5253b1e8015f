#!/usr/bin/env bash
# The real quedrino binary on one virtual desktop: Xvfb, a notification area
# (trayer), a window manager (openbox) and a sound server whose null sink is
# recorded (PulseAudio, parec, sox). Driven with xdotool like a person who
# sees only the window on top; the reminder file is checked byte for byte.
# Each journey starts the program afresh; JOURNEYS may name some of them.
# Usage: journeys_test.sh path/to/quedrino
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../x11_session.sh"
need Xvfb trayer openbox xdotool xprop xwininfo wmctrl pulseaudio pactl parec sox
LIBFAKETIME=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1)
[ -n "$LIBFAKETIME" ] || skip "libfaketime is not installed"

BIN=$(realpath "$1")
new_work

start_desktop

REMINDERS=$HOME/quedrino/quedrino.txt
today=$(date +%d/%m/%Y)
tomorrow=$(date -d tomorrow +%d/%m/%Y)
LINE_Y=$(printf '%s09:00Segundo' "$next_year")

# A message box is titled "Quedrino" too, but is narrower.
main_window() { windows_named Quedrino | while read -r id; do
    geometry_of "$id" && [ "$w" = 439 ] && echo "$id"
done | head -n1; }
shown() { [ -n "$(windows_named "$1")" ]; }
gone() { [ -z "$(windows_named "$1")" ]; }
message_shown() { [ "$(windows_named Quedrino | wc -l)" -gt "$(main_window | wc -l)" ]; }
click_in() { # click_in ID X Y: a left click in the window's client area
    geometry_of "$1" || return 1
    xdotool mousemove $((x + $2)) $((y + $3)) sleep 0.1 click 1
    sleep 0.3
}
# A combo box's list: a small window of the program's outside any frame.
popup_open() { visible_windows | awk '$3 > 40' | grep -q .; }
pick_first_with_mouse() { # opens the combo box at ID X Y, clicks its first item
    click_in "$1" "$2" "$3"
    wait_for 5 popup_open || return 1
    geometry_of "$(visible_windows | awk '$3 > 40 {print $1}' | head -n1)"
    xdotool mousemove $((x + w / 2)) $((y + 8)) sleep 0.1 click 1
    sleep 0.3
}
# tomorrow TEXT: in the include panel, tomorrow's date and the description.
tomorrow() {
    click_in "$main" "${PLUS1[@]}"
    click_in "$main" "${DESC[@]}"
    xdotool type --delay 50 "$1"
}
# from_list X Y TEXT: opens the combo box at X Y, types TEXT, Return.
from_list() {
    click_in "$main" "$1" "$2"
    wait_for 5 popup_open
    xdotool type --delay 80 "$3"
    keys Return
}
# A shortcut held as a slow hand holds it, with no race against its release.
slow_alt_a() { xdotool keydown alt+a sleep 0.3 keyup a sleep 0.1 keyup alt; }
state_changed() { [ "$(grep -c 'window state' "$WORK/states")" -ge 2 ]; }
state_is() { xprop -id "$2" WM_STATE 2>/dev/null | grep -q "window state: $1"; }
listed() { wmctrl -l | awk '{print $1}' | grep -qi "^0x0*$(printf '%x' "$1")\$"; }

# Where the include panel's fields are, in the main window's client area.
DESC=(131 149)
HOUR=(150 92)
MINUTE=(290 91)
PLUS1=(315 55)

# start_app LINE...: the reminder file holds the lines; the program starts in
# the tray (FAKE_CLOCK set: on the clock that offset makes), stderr kept.
start_app() {
    put_reminders "$@"
    # A sanitized build must be told the preload comes first.
    env ${FAKE_CLOCK:+LD_PRELOAD=$LIBFAKETIME FAKETIME=$FAKE_CLOCK FAKETIME_DONT_FAKE_MONOTONIC=1} \
        ${FAKE_CLOCK:+ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0} \
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
open_panel() { # open_panel KEY: the main window by the tray menu, focused
    choose "$1"
    wait_for 5 main_shown
    main=$(main_window)
    focus "$main"
}
# A reminder due since yesterday, written by another program; its alert.
due_alert() {
    printf '%s\r\n' "$LINE_D" >>"$REMINDERS"
    wait_for 10 one_alert
}
# The tray icon: the menu opens on the right button's release only.
journey_tray() {
    start_app "$LINE_X"
    click_icon 1
    click_icon 1 2
    click_icon mousedown
    sleep 0.7
    check "a left click, a double click or the right button's press open nothing" \
        test -z "$(visible_windows)"
    xdotool mouseup 3
    check "the right button's release opens the tray menu" wait_for 5 menu_open
    sleep 0.3
    keys Escape
    check "Esc closes it" wait_for 5 eval '! menu_open'
    timeout 20 "$BIN" >/dev/null 2>&1
    check "a second start shows the running copy's window" wait_for 5 main_shown
    encerrar
    check "\"&Encerrar\" ends the program with status 0 (got $STATUS)" test "$STATUS" = 0
    check "and takes its icon from the tray" wait_for 5 icons_are 0
}

# Include by keyboard on a clock 22 s before 10:05; the reminder rings at
# 10:05:01, its alert deletes it, and the review panel alters another.
journey_include() {
    local offset
    offset=$(printf '%+d' $(($(date -d "$(date +%F) 10:04:38" +%s) - $(date +%s))))
    FAKE_CLOCK=$offset start_app "$LINE_X" "$LINE_Y"
    open_panel i
    # From the date: back to "+ 1" and "- 1", then on to the hour.
    keys shift+Tab shift+Tab shift+Tab shift+Tab space shift+Tab space Tab Tab Tab Tab Tab Tab
    pick 10
    pick 05
    xdotool type --delay 50 "Consulta medica"
    keys alt+a
    file_is "\"&Agendar Lembrete\" appends the reminder's exact bytes as the last line" \
        "$LINE_X" "$LINE_Y" "${today}10:05Consulta medica"
    wait_for 30 one_alert
    local rang
    rang=$(LD_PRELOAD=$LIBFAKETIME FAKETIME=$offset date +%T)
    check "it rings at 10:05:01 (seen at $rang)" eval '[[ $rang = 10:05:0[1-3] ]]'
    at_alert alt+a
    file_is "its alert's Alt+A deletes it" "$LINE_X" "$LINE_Y"
    open_panel r
    keys Down Tab Tab Tab ctrl+a
    xdotool type --delay 50 "Novo texto"
    keys alt+a
    file_is "\"&Alterar\" moves the first item's line to the end with the new text" \
        "$LINE_Y" "${next_year}08:00Novo texto"
    stop_app
}

# Alerts for due lines, first in file order; on top, and back after a close.
journey_alert() {
    local line_a line_b alert
    # Windows-1252 text; A is later in the day than B but first in the file.
    line_a=$(printf '%s10:00Comprar p\xe3o' "$yesterday")
    line_b=$(printf '%s09:00Reuni\xe3o \xe0s nove' "$yesterday")
    start_app "$line_a" "$line_b" "$LINE_X"
    wait_for 10 one_alert
    alert=$(alerts)
    check "the alert asks the window manager to keep it above others" wait_for 2 above "$alert"
    wmctrl -i -c "$alert"
    check "closed by the window manager, the alert comes back in a new window" \
        wait_for 5 new_alert_after "$alert"
    alert=$(alerts)
    at_alert alt+a
    file_is "Alt+A deletes the first due line of the file" "$line_b" "$LINE_X"
    check "the next due reminder's alert follows" wait_for 5 new_alert_after "$alert"
    at_alert alt+a
    file_is "whose Alt+A deletes it too" "$LINE_X"
    check "with nothing due, no alert is left" wait_for 5 no_alert
    due_alert
    encerrar
    check "\"&Encerrar\" with an alert open ends with status 0 (got $STATUS)" test "$STATUS" = 0
    file_is "and keeps the due line" "$LINE_X" "$LINE_D"
}

# A click on the main window blocked by About, with an alert open or not.
journey_about() {
    start_app "$LINE_X"
    open_panel i
    choose s
    wait_for 5 shown "Sobre o Quedrino 1.1a"
    click_in "$main" 20 20
    check "a click on the main window blocked by About leaves About above it" \
        holds 10 stacked_above "$(windows_named "Sobre o Quedrino 1.1a")" "$main"
    due_alert
    click_in "$main" 20 20
    check "with an alert open as well, the alert keeps the keyboard" \
        holds 10 has_focus "$(alerts)"
    stop_app
}

# Alt+A at once after the lists: their releases must not undo the choice.
journey_shortcut() {
    start_app "$LINE_X"
    open_panel i
    tomorrow "Pelo atalho"
    pick_first_with_mouse "$main" "${MINUTE[@]}"
    pick_first_with_mouse "$main" "${HOUR[@]}"
    xdotool key alt+a
    file_is "Alt+A at once after choosing the minute, then the hour, with the mouse schedules" \
        "$LINE_X" "${tomorrow}00:00Pelo atalho"
    check "and shows no message" eval '! message_shown'
    tomorrow "Pelo teclado"
    from_list "${MINUTE[@]}" 10
    from_list "${HOUR[@]}" 01 # the Return's release reaches the minute box, focused now
    slow_alt_a
    file_is "Return choosing the hour from its list leaves the minute chosen before" \
        "$LINE_X" "${tomorrow}00:00Pelo atalho" "${tomorrow}01:10Pelo teclado"
    stop_app
}

# An alert over the include panel, or over the delete question.
journey_question() {
    start_app "$LINE_X" "$LINE_Y"
    open_panel i
    click_in "$main" "${PLUS1[@]}"
    pick_first_with_mouse "$main" "${HOUR[@]}"
    pick_first_with_mouse "$main" "${MINUTE[@]}"
    xdotool type --delay 50 "Antes"
    due_alert
    at_alert alt+a
    wait_for 5 no_alert
    xdotool type --delay 50 " e depois"
    slow_alt_a
    file_is "after an alert, typing goes on in the description where it was" \
        "$LINE_X" "$LINE_Y" "${tomorrow}00:00Antes e depois"
    open_panel r
    keys Down alt+e
    check "\"&Excluir\" asks first" wait_for 5 shown "Exclusão"
    due_alert
    check "the delete question closes when an alert opens" wait_for 2 gone "Exclusão"
    keys Return # at what the user sees: the alert, which holds it off
    at_alert alt+a
    file_is "Return, then Alt+A: only the alerted line leaves the file" \
        "$LINE_X" "$LINE_Y" "${tomorrow}00:00Antes e depois"
    check "a normal run with alerts writes nothing on stderr" test ! -s "$WORK/err.log"
    open_panel r
    keys Down alt+e
    check "asked again" wait_for 5 shown "Exclusão"
    timeout 20 "$BIN" --incluir >/dev/null 2>&1
    check "\"&Incluir Lembrete\" from the desktop closes the question" wait_for 2 gone "Exclusão"
    keys Return
    file_is "so Return deletes nothing" "$LINE_X" "$LINE_Y" "${tomorrow}00:00Antes e depois"
    slow_alt_a
    check "Alt+A with no hour says so" wait_for 5 message_shown
    encerrar
    check "\"&Encerrar\" with a message box open ends the program (got $STATUS)" test "$STATUS" = 0
}

# Typing in the include panel at ten keys a second as an alert opens, and
# Alt+A meant for "&Agendar Lembrete": none of it reaches the alert, which
# takes the keyboard a moment later.
journey_typing() {
    local typist seen
    start_app "$LINE_X"
    open_panel i
    click_in "$main" "${DESC[@]}"
    while :; do xdotool key x; sleep 0.1; done &
    typist=$!
    PIDS+=("$typist")
    sleep 0.5
    printf '%s\r\n' "$LINE_D" >>"$REMINDERS"
    wait_for 10 eval 'has_focus "$(alerts)"'
    seen=$EPOCHREALTIME
    xdotool key alt+a
    sleep 0.2
    kill "$typist"
    reminders_file "$WORK/expected" "$LINE_X" "$LINE_D"
    check "Alt+A and typing as the alert opens (for $(awk -v a="$seen" -v b="$EPOCHREALTIME" \
        'BEGIN { printf "%.2f", b - a }') s) leave its reminder in the file" holds 10 reminders_are "$WORK/expected"
    at_alert Tab
    pick 05
    reminders_file "$WORK/before" "$LINE_X" "$(date -d '+5 min' +%d/%m/%Y%H:%M)Vencido ontem"
    keys alt+d
    reminders_file "$WORK/after" "$LINE_X" "$(date -d '+5 min' +%d/%m/%Y%H:%M)Vencido ontem"
    check "its text unchanged: \"A&diar\" a moment later stores it as it was" \
        wait_for 5 eval 'reminders_are "$WORK/before" || reminders_are "$WORK/after"' || od -c "$REMINDERS" | tail -n4
    stop_app
}

# An alert minimized, unmapped or destroyed by others comes back.
journey_minimized() {
    start_app "$LINE_X"
    due_alert
    local alert
    alert=$(alerts)
    xprop -spy -id "$alert" WM_STATE >"$WORK/states" 2>/dev/null &
    PIDS+=($!)
    wait_for 5 grep -q 'window state' "$WORK/states"
    xdotool windowminimize "$alert"
    # It may be back before xprop reads the Iconic state: any change shows the
    # window manager acted, and the state now where it ended.
    wait_for 5 state_changed
    check "a minimized alert is shown again within 2 s" wait_for 2 state_is Normal "$alert"
    xdotool windowunmap "$alert"
    check "an alert unmapped by another program is shown again within 2 s" wait_for 2 one_alert
    xdotool windowclose "$alert"
    check "an alert window destroyed outright comes back" wait_for 5 new_alert_after "$alert"
    alert=$(alerts)
    at_alert alt+d
    check "\"A&diar\" with no interval chosen says so" wait_for 5 message_shown
    xdotool windowclose "$alert"
    check "so does one destroyed under its own message" wait_for 5 new_alert_after "$alert"
    at_alert alt+a
    file_is "whose Alt+A deletes the due line" "$LINE_X"
    stop_app
}

# Without a notification area nothing is hidden beyond reach; a tray that
# comes later takes the program in.
journey_no_tray() {
    kill "$TRAY"
    wait_for 5 eval '[ -z "$(tray_panel)" ]'
    put_reminders "$LINE_X"
    "$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
    APP=$!
    PIDS+=("$APP")
    check "without a tray the main window is shown" wait_for 10 main_shown
    main=$(main_window)
    focus "$main"
    keys alt+f
    check "\"&Fechar Janela\" leaves it minimized" wait_for 5 state_is Iconic "$main"
    check "and known to the window manager" listed "$main"
    timeout 20 "$BIN" >/dev/null 2>&1
    check "a second start brings it back" wait_for 5 state_is Normal "$main"
    focus "$main"
    keys alt+q r
    sleep 0.5
    keys Down alt+e
    check "the menu bar's \"&Rever Lembretes\" shows the review panel, whose \"&Excluir\" asks" \
        wait_for 5 shown "Exclusão"
    keys alt+n
    wait_for 5 gone "Exclusão"
    keys alt+f
    check "\"&Fechar\" of the review panel leaves it minimized" wait_for 5 state_is Iconic "$main"
    wmctrl -i -a "$main"
    check "from where the desktop brings it back" wait_for 5 state_is Normal "$main"
    check "stderr holds the notice of no notification area, and only it" \
        test "$(grep -c . "$WORK/err.log")" = 1 -a "$(grep -c 'no notification area' "$WORK/err.log")" = 1
    start_tray "$WORK/trayer2.log"
    check "a notification area that comes later gets the icon" wait_for 10 icons_are 1
    check "and the main window leaves the screen for it" wait_for 5 gone Quedrino
    stop_app
}

# ring: records, then starts the program with a line due; SOUND_AT is where
# the first sound came.
ring() {
    record "$WORK/rec-$1.raw"
    local from
    from=$(recorded)
    SOUND_AT=0
    start_app "${@:2}"
    wait_for 10 one_alert && wait_for 5 heard_after "$from"
}

# The user's alarm.wav plays until the alert is answered; one cut short gives
# the program's own alarm: pairs of tones at 880 and 660 Hz, played once.
journey_sound() {
    local key_at
    sox -n -r $RATE -c 1 -b 16 "$HOME/quedrino/alarm.wav" synth 20 sine 440 vol 0.5
    ring own "$LINE_D" "$(printf '%s07:45Outro' "$yesterday")"
    measure "$SOUND_AT" 0 1
    check "alarm.wav's 440 Hz tone is heard (RMS $rms, rough frequency $freq Hz)" tone "$rms" "$freq" 400 480
    sox -n -r $RATE -c 1 -b 16 "$WORK/other.wav" synth 20 sine 660 vol 0.5
    mv "$WORK/other.wav" "$HOME/quedrino/alarm.wav"
    at_alert alt+a
    key_at=$(recorded)
    measure "$key_at" 0.5 1.5
    check "the next alert plays alarm.wav as it is now: 660 Hz ($freq Hz)" tone "$rms" "$freq" 620 700
    at_alert alt+a
    key_at=$(recorded)
    measure "$key_at" 0.3 2.3
    check "from 0.3 s after Alt+A on, silence (peak $peak)" quiet "$peak"
    stop_app
    sox -n -r $RATE -c 1 -b 16 "$WORK/whole.wav" synth 1 sine 440 vol 0.5
    head -c 2000 "$WORK/whole.wav" >"$HOME/quedrino/alarm.wav"
    ring cut "$LINE_D"
    measure "$SOUND_AT" 0 0.5
    check "for a cut-short alarm.wav its own alarm's tones are heard (RMS $rms, $freq Hz)" \
        tone "$rms" "$freq" 600 1200
    measure "$SOUND_AT" 1.3 1.75
    check "to its third pair, 1.3 s in (RMS $rms)" loud "$rms"
    measure "$SOUND_AT" 2.3 3.8
    check "once: silence from 2.3 s to 3.8 s in (peak $peak)" quiet "$peak"
    stop_app
    rm "$HOME/quedrino/alarm.wav"
}

for journey in ${JOURNEYS:-tray include alert about shortcut question typing minimized sound no_tray}; do
    "journey_$journey"
done
finish

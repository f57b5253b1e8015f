#!/usr/bin/env bash
# The Windows build, quedrino.exe, under Wine on one virtual desktop: Xvfb, a
# notification area (trayer, where Wine's explorer docks tray icons over
# XEmbed), a window manager (openbox) and a PulseAudio null sink that Wine's
# audio driver plays into. In a fresh prefix, on a Brazilian locale, driven
# with xdotool like a person; c:\quedrino\quedrino.txt is checked byte for
# byte. SHOTS=FOLDER keeps screenshots of the alert and the include panel.
# Usage: journey_test.sh quedrino-VERSION-windows-x64.zip | FOLDER holding quedrino.exe
set -uo pipefail

HERE=$(dirname "${BASH_SOURCE[0]}")
source "$HERE/../x11_session.sh"
source "$HERE/wine_env.sh"
[ $# = 1 ] || { echo "usage: $0 ZIP_OR_FOLDER"; exit 2; }
need Xvfb trayer openbox xdotool xprop xwininfo wmctrl xkbcomp pulseaudio pactl parec sox
[ -x "$WINE" ] || skip "Wine is not installed ($WINE)"

unset WINEPREFIX
WORK=$(mktemp -d)
PIDS=()
leave() {
    [ -n "${WINEPREFIX:-}" ] && end_prefix
    cleanup
}
trap leave EXIT

if [ -d "$1" ]; then
    FOLDER=$(realpath "$1")
elif [ -f "$1" ]; then
    need unzip
    unzip -q "$1" -d "$WORK/unpacked" || { echo "FAIL: $1 does not unpack"; exit 1; }
    FOLDER=$(dirname "$(find "$WORK/unpacked" -name quedrino.exe | head -n1)")
else
    echo "FAIL: no $1"
    exit 1
fi
[ -f "$FOLDER/quedrino.exe" ] || { echo "FAIL: no quedrino.exe in $1"; exit 1; }

private_home
# Windows' Qt would look for this platform plugin and find none.
unset QT_QPA_PLATFORM
SINK=quedrino_test
start_sound_server "$SINK" && start_display && start_tray "$WORK/trayer.log" && start_wm ||
    { echo "FAIL: the desktop did not start"; exit 1; }

# The letters the description needs, each on a key with AltGr, before any of
# Wine's programs starts: xdotool's own way, a spare key remapped for each
# letter as it types, does not reach Wine, which reads the key map once.
xkbcomp -w 0 - "$DISPLAY" <<'EOF' || { echo "FAIL: the key map was not loaded"; exit 1; }
xkb_keymap {
    xkb_keycodes { include "evdev+aliases(qwerty)" };
    xkb_types { include "complete" };
    xkb_compat { include "complete" };
    xkb_symbols {
        include "pc+us+inet(evdev)+level3(ralt_switch)"
        key <AC01> { type = "FOUR_LEVEL", [ a, A, atilde, Atilde ] };
        key <AC02> { type = "FOUR_LEVEL", [ s, S, agrave, Agrave ] };
        key <AB03> { type = "FOUR_LEVEL", [ c, C, ccedilla, Ccedilla ] };
        key <AD03> { type = "FOUR_LEVEL", [ e, E, eacute, Eacute ] };
        key <AE11> { type = "FOUR_LEVEL", [ minus, underscore, emdash, endash ] };
    };
};
EOF

# Wine takes its locale from the C library's: Portuguese (Brazil) if one can
# be made here, as the program's users run Windows. For Wine's programs only:
# this script's tools read numbers with a decimal point.
LOCALE=()
if command -v localedef >/dev/null && mkdir "$WORK/locale" && localedef -i pt_BR -f UTF-8 "$WORK/locale/pt_BR.UTF-8" 2>/dev/null; then
    LOCALE=(LOCPATH="$WORK/locale" LC_ALL=pt_BR.UTF-8)
else
    echo "note: no pt_BR locale could be made; Wine runs in English (United States)"
fi

new_prefix || { echo "FAIL: no Wine prefix: $(tail -n3 "$WORK/wineboot.log")"; exit 1; }
REMINDERS=$WINEPREFIX/drive_c/quedrino/quedrino.txt
mkdir -p "$(dirname "$REMINDERS")"

yesterday=$(date -d yesterday +%d/%m/%Y)
later=$(date -d '+1 year 3 days' +%d/%m/%Y)
next_year=$(date -d '+1 year' +%d/%m/%Y)
LINE_X=$(printf '%s08:00Primeiro' "$next_year")
LINE_D=$(printf '%s07:30Vencido ontem' "$yesterday")
# Typed as a person types it; stored in Windows-1252 (0x97 the em dash).
TYPED="Reunião às 9h — café"
STORED=$(printf '%s10:05Reuni\xe3o \xe0s 9h \x97 caf\xe9' "$later")

shot() { # shot NAME: the screen, into SHOTS when set, once the last change is painted
    [ -n "${SHOTS:-}" ] && command -v import >/dev/null || return 0
    sleep 0.5
    mkdir -p "$SHOTS" && import -window root "$SHOTS/$1.png"
}

# --- Wine's windows. Wine's explorer docks every tray icon of the prefix,
# each in a window of its own; in this fresh prefix only the program has one.
icon_windows() {
    local panel
    panel=$(tray_panel)
    [ -n "$panel" ] || return 0 # xwininfo with no window waits for a click
    xwininfo -tree -id "$panel" | awk '/\("explorer.exe"/{print $1}'
}
wine_icons() { icon_windows | grep -c .; }
wine_icons_are() { [ "$(wine_icons)" = "$1" ]; }
# The program's windows carry its executable's name as their class; a name
# pattern narrows them down.
program_windows() { # program_windows [NAME]
    local id
    for id in $(xdotool search --onlyvisible --classname '^quedrino\.exe$' 2>/dev/null); do
        [ $# = 0 ] || [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
}
override_redirect() { xwininfo -id "$1" 2>/dev/null | grep -q 'Override Redirect State: yes'; }
# The tray menu: a window outside the window manager's care, titled as the
# program, and taller than a tooltip.
tray_menu() {
    local id
    for id in $(program_windows Quedrino); do
        override_redirect "$id" && geometry_of "$id" && [ "$h" -ge 60 ] && echo "$id"
    done
}
menu_open() { [ -n "$(tray_menu)" ]; }
managed_windows() {
    local id
    for id in $(program_windows); do
        override_redirect "$id" || echo "$id"
    done
}
main_window() {
    local id
    for id in $(program_windows Quedrino); do
        override_redirect "$id" || { geometry_of "$id" && [ "$w" = 439 ] && echo "$id"; }
    done | head -n1
}
main_shown() { [ -n "$(main_window)" ]; }
no_window() { [ -z "$(managed_windows)" ]; }
alerts() { program_windows 'Aviso do Quedrino'; }
one_alert() { [ "$(alerts | wc -l)" = 1 ]; }
no_alert() { [ -z "$(alerts)" ]; }

# A click the moment the pointer arrives is lost now and then (one in four
# here): Wine's explorer has yet to see the pointer over the icon. A hand
# rests on it a moment first.
right_click_wine_icon() {
    local icon
    icon=$(icon_windows | head -n1)
    geometry_of "$icon" || return 1
    xdotool mousemove --sync 0 300
    xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) sleep 0.3 mousedown 3 sleep 0.1 mouseup 3
}
choose() { # choose KEY: opens the tray menu and picks the entry by its accelerator
    right_click_wine_icon
    wait_for 5 menu_open || return 1
    sleep 0.3 # the menu takes the keyboard just after it appears
    xdotool key "$1"
}
keys() { # one at a time, as a person types
    local key
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.15
    done
}
pick() { # pick TEXT: chooses TEXT from the focused box's list
    keys alt+Down
    sleep 0.3
    xdotool type --delay 80 "$1"
    keys Return
}
# The alert takes no input for its first half second: keys once that is past,
# counted from when it is focused here.
at_alert() { focus "$(alerts)" && sleep 0.6 && keys "$@"; }
stacked_above() { # stacked_above A B: A is higher than B in the window manager's stacking
    local found
    found=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g' | xargs printf '%d\n' | grep -x -e "$1" -e "$2")
    [ "$(echo "$found" | wc -l)" = 2 ] && [ "$(echo "$found" | tail -n1)" = "$1" ]
}
above() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -qw _NET_WM_STATE_ABOVE; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
file_is() { # file_is WHAT LINE...: the reminder file holds exactly the lines
    local what=$1
    shift
    reminders_file "$WORK/expected" "$@"
    check "$what" wait_for 5 reminders_are "$WORK/expected" ||
        diff <(od -c "$WORK/expected") <(od -c "$REMINDERS") | head -n8
}

# --- What is heard: mono 16-bit samples at 44 100 Hz, so a position in the
# recording is its size in bytes / 2.
RATE=44100
RECORDING=$WORK/heard.raw
recorded() { echo $(($(stat -c %s "$RECORDING" 2>/dev/null || echo 0) / 2)); }
recorded_past() { [ "$(recorded)" -ge "$1" ]; }
sox_in() { sox -t raw -r $RATE -e signed -b 16 -c 1 "$RECORDING" "$@"; }
# heard_after FROM: a sample above 1 % of full scale after FROM; SOUND_AT is
# where (sox's silence effect drops everything before it).
heard_after() {
    local to left
    to=$(recorded)
    [ "$to" -gt "$1" ] || return 1
    left=$(sox_in -t raw - trim "$1s" "$((to - $1))s" silence 1 1s 1% | wc -c)
    [ "$left" -gt 0 ] && SOUND_AT=$((to - left / 2))
}
# measure FROM SECONDS: sets rms and freq of that stretch once recorded.
measure() {
    local to=$(($1 + $2 * RATE))
    rms=none freq=none
    wait_for 15 recorded_past "$to" || return
    read -r rms freq < <(sox_in -n trim "$1s" "$(($2 * RATE))s" stat 2>&1 |
        awk '/^RMS +amplitude/{r=$3} /^Rough +frequency/{f=$3} END{if (r != "" && f != "") print r, f}')
}
tone() { awk -v r="$1" -v f="$2" 'BEGIN { exit !(r + 0 > 0.05 && f >= 600 && f <= 1200) }'; }

parec --device="$SINK.monitor" --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=20 \
    >"$RECORDING" 2>"$WORK/parec.log" &
PIDS+=($!)
wait_for 5 recorded_past $((RATE / 10)) || echo "note: the sink's monitor records nothing: $(cat "$WORK/parec.log")"

# The start, cold: Wine's server and explorer start with the program.
reminders_file "$REMINDERS" "$LINE_X"
started=$EPOCHREALTIME
env "${LOCALE[@]}" "$WINE" "$(windows_path "$FOLDER/quedrino.exe")" >"$WORK/out.log" 2>"$WORK/err.log" &
APP=$!
PIDS+=("$APP")
if check "the tray icon docks in the notification area" wait_for 60 wine_icons_are 1; then
    echo "note: the icon docked $(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }') s after the start, in a fresh prefix"
fi
check "and no window shows" holds 5 no_window

# A reminder due since yesterday, written by another program while a
# third one's window (Wine's Notepad) is active.
env "${LOCALE[@]}" "$WINE" notepad >"$WORK/notepad.log" 2>&1 &
PIDS+=($!)
notepad_window() { xdotool search --onlyvisible --classname '^notepad\.exe$' 2>/dev/null | head -n1; }
notepad_up() { [ -n "$(notepad_window)" ]; }
wait_for 30 notepad_up
notepad=$(notepad_window)
check "another program's window is active first" focus "$notepad"
# An alarm.wav whole but in a format (tag 0x1234) that no codec plays:
# Windows' player reports no error for it, and would stay silent.
{
    printf 'RIFF\x98\x22\x00\x00WAVEfmt \x10\x00\x00\x00\x34\x12\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00'
    printf '\x02\x00\x10\x00data\x74\x22\x00\x00'
    head -c 8820 /dev/zero
} >"$(dirname "$REMINDERS")/alarm.wav"
from=$(recorded)
SOUND_AT=0
written=$EPOCHREALTIME
printf '%s\r\n' "$LINE_D" >>"$REMINDERS"
check "the due reminder opens \"Aviso do Quedrino\"" wait_for 15 one_alert &&
    echo "note: the alert showed $(awk -v a="$written" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }') s after the line was written"
alert=$(alerts)
shot alert
check "above the active window in the window manager's stacking" wait_for 2 stacked_above "$alert" "$notepad"
check "and asking to stay above others" above "$alert"
# Windows lets a program in the background take the keyboard only in some
# cases; Wine does not keep to them, so what happens here is no guide.
wait_for 2 has_focus "$alert" && echo "note: the alert took the keyboard" ||
    echo "note: the alert did not take the keyboard from the active window"
xdotool windowactivate "$notepad" 2>/dev/null
check "that window raised again stays below it" holds 10 stacked_above "$alert" "$notepad"

# The alarm through Wine's PulseAudio driver, into the null sink.
# Where distributions and Wine's own builds put its drivers.
wine_root=$(dirname "$(dirname "$(realpath "$WINE")")")
if [ -z "$(find /usr/lib /usr/lib64 /usr/local/lib /opt "$wine_root" -maxdepth 5 -name winepulse.so 2>/dev/null)" ]; then
    echo "note: NOT CHECKED: this Wine has no PulseAudio driver (winepulse), so the alarm cannot be heard"
elif check "the alarm is heard on the sound server's sink" wait_for 5 heard_after "$from"; then
    measure "$SOUND_AT" 1
    check "as the program's own alarm tones, alarm.wav being unplayable (RMS $rms, rough frequency $freq Hz)" tone "$rms" "$freq"
else
    pactl list short clients | sed 's/^/  sound server client: /'
fi

# "&Apagar" once the alert takes keys.
at_alert alt+a
check "Alt+A closes the alert" wait_for 5 no_alert
file_is "and deletes exactly its line, the other one kept as it was (CR LF)" "$LINE_X"

# The include panel from the tray menu, filled in by keyboard: the date
# field has the focus, Tab leads to the hour; each list's choice moves on.
choose i
check "\"&Incluir Lembrete\" from the tray menu opens the include panel" wait_for 10 main_shown
main=$(main_window)
focus "$main"
keys ctrl+a
xdotool type --delay 80 "$later"
keys Tab
pick 10
pick 05
xdotool type --delay 80 "$TYPED"
shot include
keys alt+a
file_is "\"&Agendar Lembrete\" appends \"$TYPED\" in Windows-1252, byte for byte" "$LINE_X" "$STORED"

# "&Encerrar" from the tray menu.
choose e
STATUS=timeout
if wait_for 15 app_ended; then
    wait "$APP"
    STATUS=$?
fi
check "\"&Encerrar\" ends the program with status 0 (got $STATUS)" test "$STATUS" = 0
check "and its icon leaves the tray" wait_for 10 wine_icons_are 0
check "a normal run writes nothing on stderr" test ! -s "$WORK/err.log" || head -n5 "$WORK/err.log"
finish

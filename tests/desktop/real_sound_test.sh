#!/usr/bin/env bash
# Listens to the real quedrino binary: a private PulseAudio daemon with a null
# sink stands in for the sound card, parec records what reaches it, and sox
# measures the recording. The program runs on a virtual X display with a real
# notification area (trayer) and is driven with xdotool.
# HOME points at a temporary folder, so no real reminder file is touched.
# Usage: real_sound_test.sh path/to/quedrino
set -uo pipefail

for tool in pulseaudio pactl parec sox Xvfb trayer xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed, so the real-sound test cannot run"
        exit 0
    fi
done

BIN=$(realpath "${1:-}" 2>/dev/null)
if [ ! -f "$BIN" ] || [ ! -x "$BIN" ]; then
    echo "FAIL: no program at '${1:-}'"
    echo "0 passed, 1 failed"
    exit 1
fi
WORK=$(mktemp -d)
PIDS=()
APP=
REC=
source "$(dirname "${BASH_SOURCE[0]}")/../x11_session.sh"

# Ends what this script started, newest first; whatever ignores the polite
# signal for 5 s is killed.
cleanup() {
    local pid i deadline=$((SECONDS + 5))
    local all=()
    [ -n "$APP" ] && all+=("$APP")
    [ -n "$REC" ] && all+=("$REC")
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do all+=("${PIDS[i]}"); done
    for pid in "${all[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${all[@]}"; do
        while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
        kill -KILL "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    # KEEP_WORK=1 keeps the recordings and logs for a look afterwards.
    if [ -n "${KEEP_WORK:-}" ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

private_home

# --- A sound server of our own, with a sink that plays into nothing
SINK=quedrino_test
start_sound_server "$SINK" || { echo "FAIL: no sound server"; exit 1; }

# --- A virtual display with a notification area
start_display || { echo "FAIL: Xvfb did not start"; exit 1; }

start_tray "$WORK/trayer.log" || { echo "FAIL: trayer did not start"; exit 1; }

ALERT="Aviso do Quedrino"
# alert_window [NOT_ID]: the id of the visible alert window, other than NOT_ID.
alert_window() {
    local id
    for id in $(xdotool search --maxdepth 1 --onlyvisible --classname quedrino 2>/dev/null); do
        [ "$id" != "${1:-}" ] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$ALERT" ] && echo "$id" && return 0
    done
    return 1
}
alert_shown() { alert_window >/dev/null; }
another_alert_shown() { alert_window "$1" >/dev/null; }
alert_gone() { ! alert_window >/dev/null; }

# --- The recording: mono 16-bit samples at 44 100 Hz, so a position in it
# is its size in bytes / 2, and a second is RATE samples. Each case records
# into its own file.
RATE=44100
RECORDING=
recorded() { echo $(($(stat -c %s "$RECORDING" 2>/dev/null || echo 0) / 2)); }
recorded_past() { [ "$(recorded)" -ge "$1" ]; }
at() { # at SAMPLE SECONDS: the sample that many seconds (may be negative) later
    awk -v s="$1" -v d="$2" -v r=$RATE 'BEGIN { printf "%d", s + d * r }'
}
seconds() { awk -v n="$1" -v r=$RATE 'BEGIN { printf "%.2f", n / r }'; }
sox_in() { sox -t raw -r $RATE -e signed -b 16 -c 1 "$RECORDING" "$@"; }
# measure FROM TO: "rms peak frequency" of the recording between two samples,
# once the recording has reached TO. Amplitudes run from 0 to 1. When there
# is nothing to measure it says "none none none", which no check below takes
# for sound or for silence.
measure() {
    wait_for 15 recorded_past "$2" || { echo "none none none"; return 1; }
    sox_in -n trim "$1s" "$(($2 - $1))s" stat 2>&1 |
        awk '/^RMS +amplitude/{r=$3} /^Maximum amplitude/{mx=$3} /^Minimum amplitude/{mn=-$3}
             /^Rough +frequency/{f=$3}
             END{if (r == "" || mx == "" || f == "") print "none none none"; else print r, (mx > mn ? mx : mn), f}'
}
LOUD=0.05   # RMS above which a stretch counts as sound
QUIET=0.001 # peak below which a stretch counts as silence (one step is 0.00003)
number() { [[ $1 =~ ^-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?$ ]]; }
loud() { number "$1" && awk -v r="$1" -v t=$LOUD 'BEGIN { exit !(r > t) }'; }
quiet() { number "$1" && awk -v m="$1" -v t=$QUIET 'BEGIN { exit !(m < t) }'; }
between() { number "$1" && awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }
# tone RMS FREQUENCY LOW HIGH: loud, with its pitch between LOW and HIGH Hz
# (sox's rough frequency is exact for a pure tone).
tone() { loud "$1" && between "$2" "$3" "$4"; }
# heard_after FROM: true once the recording holds a sample above 1 % of full
# scale after FROM, and leaves SOUND_AT at the first such sample. sox's
# silence effect drops everything before it, so what is left tells where.
heard_after() {
    local to left
    to=$(recorded)
    [ "$to" -gt "$1" ] || return 1
    left=$(sox_in -t raw - trim "$1s" "$((to - $1))s" silence 1 1s 1% | wc -c)
    [ "$left" -gt 0 ] || return 1
    SOUND_AT=$((to - left / 2))
}

# Writes reminders dated yesterday, so they are due the moment the program
# starts; Windows-1252 with CR LF like the program's own file.
REMINDER_DATE=$(date -d yesterday +%d/%m/%Y)
write_reminders() { # write_reminders HH:MM...
    local time
    for time in "$@"; do printf '%s%sTeste de som\r\n' "$REMINDER_DATE" "$time"; done >"$HOME/quedrino/quedrino.txt"
}
reminder_gone() { ! grep -q "^$REMINDER_DATE$1" "$HOME/quedrino/quedrino.txt"; }

stop_app() {
    [ -n "$APP" ] && kill "$APP" 2>/dev/null && wait "$APP" 2>/dev/null
    [ -n "$REC" ] && kill "$REC" 2>/dev/null && wait "$REC" 2>/dev/null
    APP='' REC=
}

# start_case NAME HH:MM...: a fresh recording, then the program with those
# reminders. Leaves ALERT_AT at the sample where the alert window was first
# seen (empty when it never opened) and SOUND_AT where the first sound after
# the program's start was (empty when none came within 5 s of the alert).
start_case() {
    local name=$1
    shift
    stop_app
    write_reminders "$@"
    RECORDING=$WORK/rec-$name.raw
    parec --device="$SINK.monitor" --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=20 \
        >"$RECORDING" 2>"$WORK/parec-$name.log" &
    REC=$!
    # The sink's monitor sends silence all the time, so data means it is live.
    wait_for 5 recorded_past $((RATE / 10)) || echo "note: the recording did not start"
    local launched
    launched=$(recorded)
    ALERT_AT='' SOUND_AT=''
    local attempt
    for attempt in 1 2 3; do
        "$BIN" >"$WORK/out-$name.log" 2>"$WORK/err-$name.log" &
        APP=$!
        wait_for 10 alert_or_ended
        if alert_shown; then
            ALERT_AT=$(recorded)
            break
        fi
        # The same passing hitch as trayer's above; anything else is a failure.
        kill -0 "$APP" 2>/dev/null && break
        grep -q "could not connect to display" "$WORK/err-$name.log" || break
        wait "$APP" 2>/dev/null
        echo "note: the program could not connect to the display (try $attempt)"
    done
    [ -n "$ALERT_AT" ] && wait_for 5 heard_after "$launched"
}

alert_or_ended() { alert_shown || ! kill -0 "$APP" 2>/dev/null; }

# When the sound started, as against the alert window being seen.
onset() {
    if [ -z "$SOUND_AT" ] || [ -z "$ALERT_AT" ]; then
        echo "never"
        return
    fi
    echo "$(seconds $((SOUND_AT - ALERT_AT))) s from the alert window being seen"
}

press_apagar() { # Alt+A in the alert window; leaves KEY_AT where it was sent
    ALERT_ID=$(alert_window)
    xdotool windowfocus --sync "$ALERT_ID" 2>/dev/null
    xdotool key alt+a
    KEY_AT=$(recorded)
}

# The program's own alarm: three pairs of tones at 880 and 660 Hz, 1.9 s in
# all, played once.
check_bundled_alarm() { # check_bundled_alarm WHEN
    check "$1 the bundled alarm starts ($(onset))" test -n "$SOUND_AT"
    [ -n "$SOUND_AT" ] || return
    read -r rms peak freq <<<"$(measure "$SOUND_AT" "$(at "$SOUND_AT" 0.5)")"
    # Noise (a garbage file played as samples) would have a far higher pitch.
    check "$1 its first pair of tones is heard (RMS $rms, peak $peak, rough frequency $freq Hz)" \
        tone "$rms" "$freq" 600 1200
    read -r rms peak freq <<<"$(measure "$(at "$SOUND_AT" 1.3)" "$(at "$SOUND_AT" 1.75)")"
    check "$1 it plays to its third pair of tones, 1.3 s to 1.75 s in (RMS $rms)" loud "$rms"
    read -r rms peak freq <<<"$(measure "$(at "$SOUND_AT" 2.3)" "$(at "$SOUND_AT" 3.8)")"
    check "$1 it plays once: silence from 2.3 s to 3.8 s in (peak $peak)" quiet "$peak"
}

# --- The user's alarm.wav is played, and "&Apagar" stops it at once.
# A long tone, so that silence after the key can only come from the stop.
sox -n -r 44100 -c 1 -b 16 "$HOME/quedrino/alarm.wav" synth 20 sine 440 vol 0.5
start_case own 09:15
check "the alert opens for a reminder due yesterday" test -n "$ALERT_AT"
check "alarm.wav starts ($(onset))" test -n "$SOUND_AT"
if [ -n "$SOUND_AT" ]; then
    read -r rms peak freq <<<"$(measure "$SOUND_AT" "$(at "$SOUND_AT" 1)")"
    check "alarm.wav's 440 Hz tone is heard in its first second (RMS $rms, peak $peak, rough frequency $freq Hz)" \
        tone "$rms" "$freq" 400 480

    press_apagar
    read -r rms peak freq <<<"$(measure "$(at "$KEY_AT" -0.5)" "$KEY_AT")"
    check "the tone still sounds in the 0.5 s before Alt+A (RMS $rms)" loud "$rms"
    read -r rms peak freq <<<"$(measure "$(at "$KEY_AT" 0.3)" "$(at "$KEY_AT" 2.3)")"
    check "from 0.3 s after Alt+A on, silence for 2 s (RMS $rms, peak $peak)" quiet "$peak"
    check "Alt+A closes the alert" wait_for 5 alert_gone
    check "Alt+A deletes the reminder from the file" reminder_gone 09:15
    check "the program is still running after the alert" kill -0 "$APP"
fi

# --- Two reminders due: the second alert plays alarm.wav afresh, so a file
# replaced while the first alert was open is what the second one plays.
start_case twice 09:15 09:16
check "with two reminders due, alarm.wav starts with the first alert ($(onset))" test -n "$SOUND_AT"
if [ -n "$SOUND_AT" ]; then
    sox -n -r 44100 -c 1 -b 16 "$WORK/other.wav" synth 20 sine 660 vol 0.5
    mv "$WORK/other.wav" "$HOME/quedrino/alarm.wav"
    press_apagar
    check "the second alert opens in a new window" wait_for 5 another_alert_shown "$ALERT_ID"
    read -r rms peak freq <<<"$(measure "$(at "$KEY_AT" 0.5)" "$(at "$KEY_AT" 1.5)")"
    check "from 0.5 s to 1.5 s after Alt+A the new alarm.wav's 660 Hz tone is heard (RMS $rms, rough frequency $freq Hz)" \
        tone "$rms" "$freq" 620 700
    check "the first reminder is gone and the second is still in the file" \
        eval 'reminder_gone 09:15 && ! reminder_gone 09:16'
fi

# --- An alarm.wav that cannot be played gives the program's own alarm,
# once: none at all, an empty file, one that is not a WAV, and a WAV cut
# short (its header promises 1 s, the file ends after 0.02 s of it, as a
# broken copy would).
sox -n -r 44100 -c 1 -b 16 "$WORK/whole.wav" synth 1 sine 440 vol 0.5
for kind in missing empty garbage truncated; do
    case $kind in
    missing) rm -f "$HOME/quedrino/alarm.wav" ;;
    empty) : >"$HOME/quedrino/alarm.wav" ;;
    garbage) head -c 8192 /dev/urandom >"$HOME/quedrino/alarm.wav" ;;
    truncated) head -c 2000 "$WORK/whole.wav" >"$HOME/quedrino/alarm.wav" ;;
    esac
    start_case "$kind" 09:15
    check "with a $kind alarm.wav the alert opens" test -n "$ALERT_AT"
    check_bundled_alarm "with a $kind alarm.wav"
done
stop_app

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

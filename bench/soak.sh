#!/usr/bin/env bash
# Keeps the real quedrino binary running for a while on a thousand reminders,
# one of them falling due each minute, and answers every alert by the
# keyboard, "Apagar" and "Adiar" in turn. The file must end up holding exactly
# what those answers leave in it, and the program must neither grow nor keep
# files open as the alerts come and go.
# HOME points at a temporary folder, so no real reminder file is touched.
# Usage: bench/soak.sh path/to/quedrino SECONDS
set -uo pipefail

if [ $# -ne 2 ] || ! [[ $2 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 path/to/quedrino SECONDS" >&2
    exit 2
fi
BIN=$(realpath "$1")
RUN=$2
source "$(dirname "${BASH_SOURCE[0]}")/../tests/x11_session.sh"
new_work

# The alerts play through a sound server, as on a desktop, so whatever the
# sound keeps open or allocates is measured too; the alert takes the keyboard
# only under a window manager.
start_desktop
REMINDERS=$HOME/quedrino/quedrino.txt

# --- The clock, read without starting a process
# Sets NOW_US (microseconds since the epoch), NOW_S and NOW_KEY, the local
# time as yyyymmddhhmmss, which orders like the moments in the file.
read_clock() {
    NOW_US=${EPOCHREALTIME/[.,]/}
    NOW_S=${NOW_US:0:${#NOW_US}-6}
    printf -v NOW_KEY '%(%Y%m%d%H%M%S)T' "$NOW_S"
}
moment_at() { printf '%(%d/%m/%Y%H:%M)T' "$1"; } # moment_at EPOCH_SECONDS

# --- What the file should hold
# One entry per line of the file, in file order, and each line's moment as
# yyyymmddhhmm.
LINES=()
KEYS=()
key_of() { # key_of LINE: sets KEY
    local l=$1
    KEY=${l:6:4}${l:3:2}${l:0:2}${l:10:2}${l:13:2}
}
write_model() { reminders_file "$1" "${LINES[@]}"; }
# first_due KEY: sets FIRST to the index of the first line in file order that
# is due at KEY (yyyymmddhhmmss), or -1. A line falls due at second 01 of its
# minute.
first_due() {
    local i
    FIRST=-1
    for i in "${!KEYS[@]}"; do
        if [ $((10#${KEYS[i]} * 100 + 1)) -le $((10#$1)) ]; then
            FIRST=$i
            return
        fi
    done
}

# --- Process figures
rss_of() { awk '/^VmRSS:/{print $2}' "/proc/$APP/status"; }
# fds_to FILE: what the program's open files lead to, one a line; the count.
fds_to() {
    find "/proc/$APP/fd" -mindepth 1 -maxdepth 1 -printf '%l\n' | sed 's/\[[0-9]*\]$//' | sort >"$1"
    wc -l <"$1"
}
cpu_ticks_of() { awk '{print $14 + $15}' "/proc/$APP/stat"; }

# --- A thousand reminders
# Descriptions with Windows-1252 letters (and the euro sign, 0x80), so every
# rewrite of the file must carry them through byte for byte.
WORDS=($'Reuni\xe3o de equipe' $'Caf\xe9 com a Ana' $'Or\xe7amento de \x80 120' $'Ligar para o m\xe9dico'
    $'Anivers\xe1rio do Jo\xe3o' $'Pagar a conta de \xe1gua' $'Li\xe7\xe3o de ingl\xeas' $'Revis\xe3o do carro')
TOTAL=1000
# Not a minute from now to start with, so the figures taken after start-up
# and after the first alert are not mixed up with the first minute's alert.
while [ $((10#$(date +%S))) -gt 40 ]; do sleep 1; done
read_clock
START_S=$NOW_S
MINUTE0=$((START_S - START_S % 60))
STEPS=$(((RUN + 59) / 60))
next_year=$(($(date +%Y) + 1))
# The reminders due while the program runs: one for each of the next STEPS
# minutes, latest first in the file, and one due since the minute before the
# start, placed after them all. They are spread among the rest.
DUE_LINES=()
declare -A DUE_AT # moment -> microseconds since the epoch at which it falls due
for ((k = STEPS; k >= 1; k--)); do
    at=$((MINUTE0 + 60 * k))
    DUE_LINES+=("$(moment_at $at)${WORDS[k % ${#WORDS[@]}]} (minuto $k)")
    DUE_AT[$(moment_at $at)]=$(((at + 1) * 1000000))
done
FIRST_DUE="$(moment_at $((MINUTE0 - 60)))J"$'\xe1'" vencido ao come"$'\xe7'"ar"
DUE_LINES+=("$FIRST_DUE")
# Until the start-up figures are taken its place holds a reminder for next
# year, so that the file has a thousand lines from the start and yet no alert
# opens before those figures are read.
PLACEHOLDER=$(printf '01/01/%s00:00Ainda n\xe3o vencido' "$next_year")
gap=$((TOTAL / (${#DUE_LINES[@]} + 1)))
future=0
due=0
for ((i = 0; i < TOTAL; i++)); do
    if [ $due -lt ${#DUE_LINES[@]} ] && [ $i -eq $(((due + 1) * gap)) ]; then
        line=${DUE_LINES[due]}
        due=$((due + 1))
        [ "$line" = "$FIRST_DUE" ] && FIRST_DUE_INDEX=$i
    else
        # February to December next year, one distinct moment each: nothing
        # postponed by up to a week can land on one of them.
        printf -v line '%02d/%02d/%d%02d:%02d%s %d' $(((future / 11) % 28 + 1)) $((future % 11 + 2)) "$next_year" \
            $((future / 308)) $(((future * 7) % 60)) "${WORDS[future % ${#WORDS[@]}]}" "$future"
        future=$((future + 1))
    fi
    LINES+=("$line")
    key_of "$line"
    KEYS+=("$KEY")
done
EXPECTED=${#DUE_LINES[@]}
LINES[FIRST_DUE_INDEX]=$PLACEHOLDER
write_model "$REMINDERS"
LINES[FIRST_DUE_INDEX]=$FIRST_DUE

# --- Start-up
"$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
APP=$!
PIDS+=("$APP")
check "the program puts its icon in the tray" wait_for 10 icons_are 1
sleep 1
check "with nothing due yet no alert opens" no_alert
RSS_START=$(rss_of)
FDS_START=$(fds_to "$WORK/fds.start")
CPU_START=$(cpu_ticks_of)
read_clock
CPU_FROM_US=$NOW_US
DUE_AT[${FIRST_DUE:0:15}]=$NOW_US
put_reminders "${LINES[@]}"

# --- The alerts
INTERVALS=("01 dia" "02 dias" "03 dias" "01 semana")
INTERVAL_DAYS=(1 2 3 7)
handled=0
postponed=0
worst_delay_us=0
RUN_END=$((START_S + RUN))
# The last minute's reminder falls due up to a minute after RUN seconds.
LAST_DUE=$((MINUTE0 + 60 * STEPS + 1))
GIVE_UP=$(((RUN_END > LAST_DUE ? RUN_END : LAST_DUE) + 15))
fault() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
some_alert() { [ -n "$(alerts)" ]; }
alert_gone() { ! alerts | grep -qx "$1"; }
# postponed_line EPOCH_SECONDS DAYS LINE: the line Adiar makes of LINE when
# pressed at that moment: the clock's minute, DAYS calendar days on.
postponed_line() {
    local day hm
    day=$(date -d "@$1" +%F)
    hm=$(date -d "@$1" +%H:%M)
    echo "$(date -d "$day + $2 days" +%d/%m/%Y)$hm${3:15}"
}
# Sets MATCH to the candidate the file equals (see the loop), or fails.
file_matches() {
    local n
    for n in "${!CAND_INDEX[@]}"; do
        if reminders_are "$WORK/candidate.$n"; then
            MATCH=$n
            return 0
        fi
    done
    return 1
}
log_alert() { printf '  alert %d at %(%H:%M:%S)T: %s\n' "$handled" "$NOW_S" "$*"; }

read_clock
since_key=$NOW_KEY # no alert can show a line not yet due at this moment
while :; do
    read_clock
    limit=$GIVE_UP
    [ $handled -ge $EXPECTED ] && limit=$RUN_END
    [ $NOW_S -lt $limit ] || break
    wait_for $((limit - NOW_S)) some_alert || break
    read_clock
    seen_us=$NOW_US
    alert=$(alerts)
    if [ "$(wc -l <<<"$alert")" != 1 ]; then
        fault "more than one alert at once: $(tr '\n' ' ' <<<"$alert")"
        break
    fi
    # The alert shows the first line due when the program looked, some time
    # between the last answer and now; a minute can turn in between.
    first_due "$since_key"
    early=$FIRST
    first_due "$NOW_KEY"
    late=$FIRST
    if [ $late -lt 0 ]; then
        fault "an alert opened at $NOW_KEY with no reminder due"
        break
    fi
    shown=("$late")
    [ "$early" -ge 0 ] && [ "$early" != "$late" ] && shown+=("$early")
    focus "$alert" || {
        fault "the alert could not be given the keyboard"
        break
    }
    sleep 0.6 # an alert takes no keys for half a second after it shows
    read_clock
    pressed_s=$NOW_S
    since_key=$NOW_KEY
    if [ $((handled % 2)) = 0 ]; then
        action=Apagar
        xdotool key alt+a
    else
        action="Adiar ${INTERVALS[postponed % ${#INTERVALS[@]}]}"
        # Tab leads from the description to the interval box, which starts
        # out empty; it takes the interval typed in as it is.
        xdotool key Tab
        sleep 0.15
        xdotool type --delay 40 "${INTERVALS[postponed % ${#INTERVALS[@]}]}"
        sleep 0.15
        xdotool key alt+d
    fi
    read_clock
    released_s=$NOW_S
    CAND_INDEX=()
    CAND_NEW=()
    n=0
    for index in "${shown[@]}"; do
        saved=("${LINES[@]}")
        LINES=("${LINES[@]:0:index}" "${LINES[@]:index+1}")
        if [ "$action" = Apagar ]; then
            write_model "$WORK/candidate.$n"
            CAND_INDEX[n]=$index
            CAND_NEW[n]=
            n=$((n + 1))
        else
            for at in $pressed_s $released_s; do
                new=$(postponed_line "$at" "${INTERVAL_DAYS[postponed % ${#INTERVALS[@]}]}" "${saved[index]}")
                reminders_file "$WORK/candidate.$n" "${LINES[@]}" "$new"
                CAND_INDEX[n]=$index
                CAND_NEW[n]=$new
                n=$((n + 1))
                [ $((pressed_s / 60)) = $((released_s / 60)) ] && break
            done
        fi
        LINES=("${saved[@]}")
    done
    if ! wait_for 5 file_matches; then
        fault "after $action on \"${LINES[late]}\" the file is not as expected"
        echo "  windows now: $(visible_windows | cut -d' ' -f4- | tr '\n' ';')"
        write_model "$WORK/before.txt"
        diff <(tr -d '\r' <"$WORK/before.txt") <(tr -d '\r' <"$REMINDERS") | head -n 10
        break
    fi
    index=${CAND_INDEX[MATCH]}
    line=${LINES[index]}
    due_us=${DUE_AT[${line:0:15}]:-}
    if [ -z "$due_us" ]; then
        fault "the alert showed \"$line\", which was not to fall due during the run"
        break
    fi
    delay_us=$((seen_us - due_us))
    [ $delay_us -gt $worst_delay_us ] && worst_delay_us=$delay_us
    LINES=("${LINES[@]:0:index}" "${LINES[@]:index+1}")
    KEYS=("${KEYS[@]:0:index}" "${KEYS[@]:index+1}")
    if [ -n "${CAND_NEW[MATCH]}" ]; then
        LINES+=("${CAND_NEW[MATCH]}")
        key_of "${CAND_NEW[MATCH]}"
        KEYS+=("$KEY")
        postponed=$((postponed + 1))
    fi
    handled=$((handled + 1))
    read_clock
    log_alert "$action on line $((index + 1)) \"${line:0:15}\", shown $((delay_us / 1000)) ms after it fell due"
    if ! wait_for 5 alert_gone "$alert"; then
        fault "the alert stayed open after $action"
        break
    fi
    if [ $handled = 1 ]; then
        # Taken once the sound and the alert have been through their first use.
        sleep 1
        RSS_FIRST=$(rss_of)
        FDS_FIRST=$(fds_to "$WORK/fds.first")
    fi
done

check "every reminder due during the run rang: $handled of $EXPECTED alerts answered" test "$handled" = "$EXPECTED"
# How soon is a figure to read, not a limit: the check is only that no alert
# lagged into the next reminder's minute.
check "each alert showed within the minute its line fell due (worst $((worst_delay_us / 1000)) ms)" \
    test $worst_delay_us -lt 60000000
check "no alert in the last 2 s" no_alert_for 20
check "the program still runs" app_alive
RSS_END=$(rss_of)
FDS_END=$(fds_to "$WORK/fds.end")
CPU_END=$(cpu_ticks_of)
read_clock
RSS_FIRST=${RSS_FIRST:-$RSS_END}
if [ -z "${FDS_FIRST:-}" ]; then
    FDS_FIRST=$FDS_END
    cp "$WORK/fds.end" "$WORK/fds.first"
fi
write_model "$WORK/expected.txt"
LINE_COUNT=$(grep -c $'\r$' "$REMINDERS")
check "the file holds exactly the lines expected ($LINE_COUNT lines, CR LF, Windows-1252)" \
    reminders_are "$WORK/expected.txt"
check "resident memory grew less than 2048 kB after the first alert ($RSS_FIRST -> $RSS_END kB)" \
    test $((RSS_END - RSS_FIRST)) -lt 2048
check "as many open files at the end as after the first alert ($FDS_FIRST -> $FDS_END)" \
    test "$FDS_END" = "$FDS_FIRST"
# Kinds of files (by what they lead to) that one point has more of than the other.
fds_changed() { diff "$1" "$2" | sed -n 's/^\([<>]\) /  \1 /p'; }
if [ "$FDS_FIRST" != "$FDS_START" ]; then
    echo "  open files after start-up: $FDS_START, after the first alert: $FDS_FIRST (< closed, > opened):"
    fds_changed "$WORK/fds.start" "$WORK/fds.first"
fi
if [ "$FDS_END" != "$FDS_FIRST" ]; then
    echo "  open files after the first alert: $FDS_FIRST, at the end: $FDS_END (< closed, > opened):"
    fds_changed "$WORK/fds.first" "$WORK/fds.end"
fi
elapsed=$((NOW_S - START_S))
cpu_ms=$(((CPU_END - CPU_START) * 1000 / $(getconf CLK_TCK)))
echo "  processor time while the alerts ran: $cpu_ms ms in $(((NOW_US - CPU_FROM_US) / 1000)) ms"

encerrar
check "\"&Encerrar\" ends the program with status 0 (got $STATUS)" test "$STATUS" = 0
check "ending leaves the file as it was" reminders_are "$WORK/expected.txt"
if [ -s "$WORK/err.log" ]; then
    echo "  the program's stderr ($(wc -l <"$WORK/err.log") lines, the same ones counted):"
    sort "$WORK/err.log" | uniq -c | sort -rn | head -n 20 | sed 's/^ */    /'
fi

echo "soak: $handled alerts in $elapsed s, RSS start $RSS_START kB, after first alert $RSS_FIRST kB," \
    "end $RSS_END kB, fds $FDS_START/$FDS_FIRST/$FDS_END, file $LINE_COUNT lines"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# Quedrino's cost at rest in the tray, next to the least a program doing the
# same can cost: bench_bare_timer, a Qt program whose 1 ms timer reads the
# clock and the same file with plain open, read and close calls.
#
# On a virtual X display with a real notification area (trayer), and with
# HOME in a temporary folder holding quedrino/quedrino.txt with 100 future
# reminders, both programs run side by side. After they settle, the CPU each
# uses over the same windows is read from /proc (utime + stime in clock ticks
# from /proc/PID/stat, and the scheduler's own account in ns from
# /proc/PID/task/*/schedstat, which the ratio and the goal use), with the
# wake-ups (voluntary context switches of all threads); then, with strace,
# the system calls each makes per tick (per openat of the file); then
# Quedrino's resident size (VmRSS) at regular steps to see whether it grows.
# The goal is the median ratio of the windows; a busy machine spreads them.
#
# Usage: resident_cpu.sh [--short] PATH_TO_quedrino PATH_TO_bench_bare_timer
#
#   --short, or RESIDENT_SHORT=1     a quick run: one window of 3 s, 12 s of memory
#   RESIDENT_SETTLE=2                seconds to wait after start-up
#   RESIDENT_CPU_SECONDS=10          length of one CPU window
#   RESIDENT_CPU_WINDOWS=5           CPU windows in a row (each is printed)
#   RESIDENT_RSS_SECONDS=60          length of the memory series
#   RESIDENT_RSS_STEP=10             seconds between memory samples
#   RESIDENT_STRACE=1                with strace, count each program's system
#                                    calls per tick over 3 s, after the CPU
#                                    windows; 0 skips it
set -uo pipefail

short=${RESIDENT_SHORT:-0}
if [ "${1:-}" = "--short" ]; then
    short=1
    shift
fi
if [ $# -ne 2 ]; then
    echo "usage: $0 [--short] PATH_TO_quedrino PATH_TO_bench_bare_timer" >&2
    exit 2
fi
APP_BIN=$(realpath "$1")
BARE_BIN=$(realpath "$2")
for bin in "$APP_BIN" "$BARE_BIN"; do
    [ -x "$bin" ] || { echo "not an executable: $bin" >&2; exit 2; }
done
for tool in Xvfb trayer xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (apt-get install xvfb trayer xdotool x11-utils)" >&2; exit 2; }
done

if [ "$short" = 1 ]; then
    SETTLE=${RESIDENT_SETTLE:-2} CPU_SECONDS=${RESIDENT_CPU_SECONDS:-3} CPU_WINDOWS=${RESIDENT_CPU_WINDOWS:-1}
    RSS_SECONDS=${RESIDENT_RSS_SECONDS:-12} RSS_STEP=${RESIDENT_RSS_STEP:-3}
else
    SETTLE=${RESIDENT_SETTLE:-2} CPU_SECONDS=${RESIDENT_CPU_SECONDS:-10} CPU_WINDOWS=${RESIDENT_CPU_WINDOWS:-5}
    RSS_SECONDS=${RESIDENT_RSS_SECONDS:-60} RSS_STEP=${RESIDENT_RSS_STEP:-10}
fi

WORK=$(mktemp -d)
PIDS=()
cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

source "$(dirname "${BASH_SOURCE[0]}")/../tests/x11_session.sh"
private_home

# 100 reminders between tomorrow and a year ahead, CR LF, plain ASCII (which
# Windows-1252 shares), descriptions of about 40 characters.
FILE=$HOME/quedrino/quedrino.txt
descriptions=("Reuniao com a equipe de vendas, sala 3" "Ligar para o dentista e remarcar consulta"
    "Pagar a conta de luz antes do vencimento" "Buscar as criancas na escola as 17h30"
    "Enviar relatorio mensal para a diretoria" "Comprar presentes de aniversario da Ana")
for i in $(seq 0 99); do
    printf '%s%02d:%02d%s\r\n' "$(date -d "+$((1 + i * 365 / 100)) days" +%d/%m/%Y)" $((i % 24)) $((i * 7 % 60)) \
        "${descriptions[i % ${#descriptions[@]}]}"
done >"$FILE"

start_display || { echo "Xvfb did not start" >&2; exit 1; }

icon_in_tray() { [ "$(tray_icons)" -gt 0 ]; }

start_tray "$WORK/trayer.log" || { echo "trayer did not start" >&2; exit 1; }

"$APP_BIN" >"$WORK/quedrino.log" 2>&1 &
APP=$!
PIDS+=($APP)
"$BARE_BIN" "$FILE" >"$WORK/bare.log" 2>&1 &
BARE=$!
PIDS+=($BARE)
wait_for 15 icon_in_tray || { echo "Quedrino's icon never reached the tray" >&2; cat "$WORK/quedrino.log" >&2; exit 1; }
sleep "$SETTLE"
for pid in $APP $BARE; do
    kill -0 "$pid" 2>/dev/null || { echo "a program ended early" >&2; cat "$WORK"/*.log >&2; exit 1; }
done

HZ=$(getconf CLK_TCK)
cpu_ticks() { # utime + stime of the whole process, in clock ticks
    local stat
    stat=$(<"/proc/$1/stat") || return 1
    stat=${stat##*) } # the fields after the command name, which may hold blanks
    awk '{print $12 + $13}' <<<"$stat"
}
cpu_ns() { # the CPU time of all the process's threads, in ns, from the scheduler's own account
    awk '{ sum += $1 } END { printf "%.0f\n", sum }' /proc/"$1"/task/*/schedstat 2>/dev/null
}
wakeups() { # voluntary context switches of all the process's threads: each is a sleep, ended by a wake-up
    awk '/^voluntary_ctxt_switches:/ { sum += $2 } END { printf "%.0f\n", sum }' /proc/"$1"/task/*/status 2>/dev/null
}
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
now_ns() { date +%s%N; }
median_range() { # median_range [DECIMALS]: the median and range of the numbers on stdin, "m (lo–hi)"
    sort -g | awk -v d="${1:-2}" '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                                                      f = "%." d "f"; printf f " (" f "–" f ")", m, v[1], v[NR] }'
}

echo "Quedrino at rest in the tray against bench_bare_timer, both reading the same file of 100 reminders"
echo "(both running side by side, ${CPU_SECONDS} s a window; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo " % is of one core: from the scheduler's account in ns, and in brackets from utime+stime at CLK_TCK=$HZ)"
echo
printf '%-7s %18s %18s %6s %15s %11s %13s %10s\n' window "quedrino %" "bare %" ratio "quedrino wake/s" \
    "bare wake/s" "quedrino RSS" "bare RSS"
rows=()
for window in $(seq 1 "$CPU_WINDOWS"); do
    a0=$(cpu_ticks $APP) b0=$(cpu_ticks $BARE) an0=$(cpu_ns $APP) bn0=$(cpu_ns $BARE)
    aw0=$(wakeups $APP) bw0=$(wakeups $BARE) t0=$(now_ns)
    sleep "$CPU_SECONDS"
    a1=$(cpu_ticks $APP) b1=$(cpu_ticks $BARE) an1=$(cpu_ns $APP) bn1=$(cpu_ns $BARE)
    aw1=$(wakeups $APP) bw1=$(wakeups $BARE) t1=$(now_ns)
    row=$(awk -v a=$((a1 - a0)) -v b=$((b1 - b0)) -v an=$((an1 - an0)) -v bn=$((bn1 - bn0)) \
        -v aw=$((aw1 - aw0)) -v bw=$((bw1 - bw0)) -v hz="$HZ" -v ns=$((t1 - t0)) \
        'BEGIN { s = ns / 1e9;
                 printf "%.2f %.2f %.2f %.2f %s %.0f %.0f\n", 100 * an / ns, 100 * bn / ns, 100 * a / hz / s,
                        100 * b / hz / s, (bn > 0 ? sprintf("%.3f", an / bn) : "inf"), aw / s, bw / s }')
    rows+=("$row")
    read -r app_pct bare_pct app_tick_pct bare_tick_pct ratio app_wake bare_wake <<<"$row"
    printf '%-7s %18s %18s %6s %15s %11s %10s kB %7s kB\n' "$window" "$app_pct ($app_tick_pct)" \
        "$bare_pct ($bare_tick_pct)" "$ratio" "$app_wake" "$bare_wake" "$(rss_kb $APP)" "$(rss_kb $BARE)"
done
column_of() { printf '%s\n' "${rows[@]}" | awk -v c="$1" '{ print $c }'; }
echo
echo "median (range) over $CPU_WINDOWS windows:"
echo "  CPU, % of one core:  quedrino $(column_of 1 | median_range), bare $(column_of 2 | median_range)"
echo "  ratio:               $(column_of 5 | median_range 3)"
echo "  wake-ups a second:   quedrino $(column_of 6 | median_range 0), bare $(column_of 7 | median_range 0)"
echo "  CPU µs per wake-up:  quedrino $(printf '%s\n' "${rows[@]}" | awk '{ print 1e4 * $1 / $6 }' | median_range 1)," \
    "bare $(printf '%s\n' "${rows[@]}" | awk '{ print 1e4 * $2 / $7 }' | median_range 1)"
median_ratio=$(column_of 5 | median_range 3 | cut -d' ' -f1)
if awk -v r="$median_ratio" 'BEGIN { exit !(r != "inf" && r <= 1.25) }'; then
    echo "goal, Quedrino's CPU at most 1.25x the bare program's (median of the windows): met ($median_ratio)"
else
    echo "goal, Quedrino's CPU at most 1.25x the bare program's (median of the windows): NOT met ($median_ratio)"
fi

# The system calls of one tick: each tick opens the file once. Counted apart
# from the CPU windows, since tracing slows every call.
if [ "${RESIDENT_STRACE:-1}" = 1 ] && command -v strace >/dev/null; then
    echo
    echo "system calls per tick (each call's count over 3 s under strace -c -f, divided by the openat count):"
    for who in quedrino bare; do
        pid=$APP
        [ $who = bare ] && pid=$BARE
        timeout -s INT 3 strace -c -f -p "$pid" -o "$WORK/$who.strace" 2>/dev/null
        # Columns: % time, seconds, usecs/call, calls, [errors,] syscall.
        awk -v who=$who '$1 ~ /^[0-9.]+$/ && $NF != "total" { calls[$NF] = $4 }
            END { opens = calls["openat"]; if (opens == 0) { print who ": no openat seen"; exit }
                  line = ""; total = 0
                  for (c in calls) {
                      total += calls[c] / opens
                      if (calls[c] / opens >= 0.005) line = line sprintf(" %s %.2f", c, calls[c] / opens)
                  }
                  printf "  %-9s %5.2f:%s\n", who, total, line }' "$WORK/$who.strace"
    done
fi

echo
echo "resident size (VmRSS) every ${RSS_STEP} s over ${RSS_SECONDS} s:"
printf '%6s %14s %14s\n' seconds "quedrino kB" "bare kB"
series=()
elapsed=0
while :; do
    app_rss=$(rss_kb $APP) bare_rss=$(rss_kb $BARE)
    series+=("$app_rss")
    printf '%6s %14s %14s\n' "$elapsed" "$app_rss" "$bare_rss"
    [ "$elapsed" -ge "$RSS_SECONDS" ] && break
    sleep "$RSS_STEP"
    elapsed=$((elapsed + RSS_STEP))
done
first=${series[0]} last=${series[-1]}
highest=$(printf '%s\n' "${series[@]}" | sort -n | tail -n1)
growth=$((last - first))
echo "growth over ${RSS_SECONDS} s: ${growth} kB (highest $highest kB); at 1000 ticks a second that is" \
    "$(awk -v g=$growth -v s="$RSS_SECONDS" 'BEGIN { printf "%.3f", g * 1024 / (s * 1000) }') bytes a tick"
# A few pages of allocator slack are not growth; a leak of a byte a tick is
# 60 kB a minute.
if [ $((highest - first)) -le 64 ]; then
    echo "goal, no growth at rest: met"
else
    echo "goal, no growth at rest: NOT met"
fi

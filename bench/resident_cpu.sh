#!/usr/bin/env bash
# Quedrino's cost at rest in the tray, next to a bare Qt program whose 1 ms
# timer only reads the same file (bench_bare_timer).
#
# On a virtual X display with a real notification area (trayer), and with
# HOME in a temporary folder holding quedrino/quedrino.txt with 100 future
# reminders, both programs run side by side. After they settle, the CPU each
# uses over the same window is read from /proc/PID/stat (utime + stime, in
# clock ticks); then Quedrino's resident size (VmRSS) is read at regular
# steps to see whether it grows.
#
# Usage: resident_cpu.sh [--short] PATH_TO_quedrino PATH_TO_bench_bare_timer
#
#   --short, or RESIDENT_SHORT=1     a quick run: 3 s of CPU, 12 s of memory
#   RESIDENT_SETTLE=2                seconds to wait after start-up
#   RESIDENT_CPU_SECONDS=10          length of one CPU window
#   RESIDENT_CPU_WINDOWS=1           CPU windows in a row (each is printed)
#   RESIDENT_RSS_SECONDS=60          length of the memory series
#   RESIDENT_RSS_STEP=10             seconds between memory samples
#   RESIDENT_TICKS=1                 with perf, also count each program's
#                                    ticks (its openat calls) over 5 s, after
#                                    the CPU windows; 0 skips it
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
    SETTLE=${RESIDENT_SETTLE:-2} CPU_SECONDS=${RESIDENT_CPU_SECONDS:-10} CPU_WINDOWS=${RESIDENT_CPU_WINDOWS:-1}
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
    awk '{ sum += $1 } END { print sum }' /proc/"$1"/task/*/schedstat 2>/dev/null
}
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status"; }
now_ns() { date +%s%N; }

echo "Quedrino at rest in the tray against bench_bare_timer, both reading the same file of 100 reminders"
echo "(both running side by side, ${CPU_SECONDS} s a window; $(nproc) cores. % is of one core, from /proc/PID/stat"
echo " utime+stime at CLK_TCK=$HZ; the schedstat columns are the same from /proc/PID/task/*/schedstat, in ns)"
echo
printf '%-7s %11s %8s %6s %16s %13s %14s %13s %10s\n' window "quedrino %" "bare %" ratio "quedrino % (ns)" \
    "bare % (ns)" "ratio (ns)" "quedrino RSS" "bare RSS"
ratios=()
for window in $(seq 1 "$CPU_WINDOWS"); do
    a0=$(cpu_ticks $APP) b0=$(cpu_ticks $BARE) an0=$(cpu_ns $APP) bn0=$(cpu_ns $BARE) t0=$(now_ns)
    sleep "$CPU_SECONDS"
    a1=$(cpu_ticks $APP) b1=$(cpu_ticks $BARE) an1=$(cpu_ns $APP) bn1=$(cpu_ns $BARE) t1=$(now_ns)
    read -r app_pct bare_pct ratio app_ns_pct bare_ns_pct ns_ratio < <(awk -v a=$((a1 - a0)) -v b=$((b1 - b0)) \
        -v an=$((an1 - an0)) -v bn=$((bn1 - bn0)) -v hz="$HZ" -v ns=$((t1 - t0)) \
        'BEGIN { s = ns / 1e9;
                 printf "%.2f %.2f %s %.2f %.2f %s\n", 100 * a / hz / s, 100 * b / hz / s,
                        (b > 0 ? sprintf("%.2f", a / b) : "inf"), 100 * an / ns, 100 * bn / ns,
                        (bn > 0 ? sprintf("%.2f", an / bn) : "inf") }')
    ratios+=("$ratio")
    printf '%-7s %11s %8s %6s %16s %13s %14s %10s kB %7s kB\n' "$window" "$app_pct" "$bare_pct" "$ratio" \
        "$app_ns_pct" "$bare_ns_pct" "$ns_ratio" "$(rss_kb $APP)" "$(rss_kb $BARE)"
done
worst=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -n1)
if awk -v r="$worst" 'BEGIN { exit !(r != "inf" && r <= 1.5) }'; then
    echo "goal, Quedrino's CPU at most 1.5x the bare program's: met (worst ratio $worst)"
else
    echo "goal, Quedrino's CPU at most 1.5x the bare program's: NOT met (worst ratio $worst)"
fi

# How often each program really ticks, and so what one tick costs: each tick
# opens the file once. Counted apart from the CPU windows, since the counting
# itself costs a little at every system call.
if [ "${RESIDENT_TICKS:-1}" = 1 ] && command -v perf >/dev/null \
    && perf stat -e syscalls:sys_enter_openat -- true >/dev/null 2>&1; then
    count_ticks() { # count_ticks PID OUT: openat calls and task-clock ms over 5 s
        perf stat -x, -e syscalls:sys_enter_openat,task-clock -p "$1" -- sleep 5 2>"$2" >/dev/null
    }
    count_ticks $APP "$WORK/app.ticks" &
    app_counter=$!
    count_ticks $BARE "$WORK/bare.ticks"
    wait $app_counter
    echo
    printf '%-10s %9s %18s\n' program "ticks/s" "CPU µs per tick"
    for who in quedrino bare; do
        file=$WORK/app.ticks
        [ $who = bare ] && file=$WORK/bare.ticks
        awk -F, -v who=$who '/sys_enter_openat/ { opens = $1 } /task-clock/ { ms = $1 }
            END { if (opens > 0) printf "%-10s %9.0f %18.1f\n", who, opens / 5, ms * 1000 / opens }' "$file"
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

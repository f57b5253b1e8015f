# Shared by the scripts that run the real program on a virtual display.
# Sourced, not run. new_work makes WORK (a temporary folder) and PIDS (the
# processes to end when the script exits).

passed=0
failed=0

check() { # check "what" command...
    local what=$1
    shift
    if "$@"; then
        echo "PASS: $what (${SECONDS}s)"
        passed=$((passed + 1))
    else
        echo "FAIL: $what"
        failed=$((failed + 1))
        return 1
    fi
}

# skip WHY: this script cannot run here (ctest reports 77 as skipped); under
# CI=true, where every tool is installed, that is a failure.
skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $1"; exit 1; }
    echo "SKIP: $1"
    exit 77
}
need() { # need TOOL...
    local tool
    for tool in "$@"; do command -v "$tool" >/dev/null || skip "$tool is not installed"; done
}
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# wait_for SECONDS command...: true as soon as the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

new_work() {
    WORK=$(mktemp -d)
    PIDS=()
    trap cleanup EXIT
}
# HOME and the runtime folder inside WORK, so no real reminder file is ever
# touched, and nothing of the caller's desktop session leaks in; but the
# session bus with "private_home own_bus", a bus of the script's own.
private_home() {
    export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run QT_QPA_PLATFORM=xcb
    mkdir -p "$HOME/quedrino" && mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY SESSION_MANAGER
    [ "${1:-}" = own_bus ] || unset DBUS_SESSION_BUS_ADDRESS
}

# Starts Xvfb on a free display and exports DISPLAY. -noreset: by default the
# server starts afresh each time its last client leaves and drops a client
# that connects meanwhile; polling connects and leaves all the time.
start_display() {
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$WORK/display" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    wait_for 10 test -s "$WORK/display" || return 1
    export DISPLAY=:$(head -n1 "$WORK/display")
}

cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}

# Under a window manager trayer's panel sits inside a frame, one level down.
# A search can fail while windows come and go, hence the second try.
tray_panel() {
    local panel
    panel=$(xdotool search --maxdepth 2 --classname panel 2>/dev/null | head -n1)
    [ -n "$panel" ] || panel=$(xdotool search --maxdepth 2 --classname panel 2>/dev/null | head -n1)
    echo "$panel"
}
tray_up() { test -n "$(tray_panel)"; }
# The program's icons in the tray. Under Wine, explorer docks every icon of
# the prefix, each in a window of its own: ICON_CLASS=explorer.exe.
ICON_CLASS=quedrino
icon_windows() {
    local panel
    panel=$(tray_panel)
    [ -n "$panel" ] || return 0 # xwininfo with no window waits for a click
    xwininfo -tree -id "$panel" | awk -v c="(\"$ICON_CLASS\"" 'index($0, c) {print $1}'
}
tray_icons() { icon_windows | grep -c .; }
icons_are() { [ "$(tray_icons)" = "$1" ]; }

# start_tray LOG: trayer as the notification area, its process TRAY. While
# other X servers start on the machine, trayer now and then fails with
# "cannot open display" on a display that works; another try gets through.
start_tray() {
    local attempt tray
    for attempt in 1 2 3; do
        trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$1" 2>&1 &
        tray=$!
        PIDS+=("$tray")
        wait_for 10 tray_up_or_ended "$tray"
        tray_up && TRAY=$tray && return 0
        kill "$tray" 2>/dev/null
        wait "$tray" 2>/dev/null
        echo "note: trayer did not start (try $attempt): $(tr '\n' ' ' <"$1")"
    done
    return 1
}
tray_up_or_ended() { tray_up || ! kill -0 "$1" 2>/dev/null; }

# start_sound_server SINK: a PulseAudio daemon of our own whose default sink
# SINK plays into nothing; its monitor can be recorded. Needs private_home.
start_sound_server() {
    unset PULSE_SINK PULSE_SOURCE
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    mkdir -m 700 "$XDG_RUNTIME_DIR/pulse"
    # No client may start a daemon of its own (with the system's
    # configuration) should this one be gone.
    printf 'autospawn = no\n' >"$WORK/client.conf"
    export PULSE_CLIENTCONFIG=$WORK/client.conf
    # -n skips the system's default.pa, so no real device is touched. As root
    # pulseaudio only warns unless it is asked to run system-wide.
    pulseaudio -n --daemonize=no --system=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
        --log-target=stderr --log-level=warn \
        --load="module-null-sink sink_name=$1 rate=44100 channels=1" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$XDG_RUNTIME_DIR/pulse/native" \
        >"$WORK/pulse.log" 2>&1 &
    PIDS+=($!)
    wait_for 10 pactl info >/dev/null 2>&1 && pactl set-default-sink "$1" &&
        [ "$(pactl get-default-sink)" = "$1" ] || { echo "no sound server: $(tail -n3 "$WORK/pulse.log")"; return 1; }
}

# openbox honours "always on top" and closes windows politely (it sends
# WM_DELETE_WINDOW). Sets WM to its process id.
wm_up() { wmctrl -m 2>/dev/null | grep -q '^Name: Openbox'; }
start_wm() {
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    WM=$!
    PIDS+=("$WM")
    wait_for 10 wm_up
}

# The program's visible windows but its tray icons, one "id width height
# name" a line: at any depth, as a window manager puts them in frames.
visible_windows() {
    local id icons
    icons=$(icon_windows | xargs -r printf '%d\n')
    for id in $(xdotool search --onlyvisible --classname '^quedrino$' 2>/dev/null); do
        grep -qx "$id" <<<"$icons" && continue
        echo "$id $(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}') $(xdotool getwindowname "$id")"
    done
}
# The tray menu: a small window, but taller than the icon's tooltip.
menu_open() { visible_windows | awk '$2 < 300 && $3 < 150 && $3 >= 60' | grep -q .; }

click_icon() { # click_icon BUTTON [REPEAT], or click_icon mousedown: the right button down
    geometry_of "$(icon_windows | head -n1)" || return 1
    # --sync waits for the pointer to arrive, so it must start elsewhere.
    xdotool mousemove --sync 0 300
    if [ "$1" = mousedown ]; then
        xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) mousedown 3
    else
        xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click --repeat "${2:-1}" "$1"
    fi
}
right_click_icon() { click_icon 3; }

choose() { # choose KEY: opens the tray menu and picks the entry by its accelerator
    right_click_icon
    wait_for 5 menu_open || return 1
    sleep 0.3 # the menu takes the keyboard just after it appears
    xdotool key "$1"
}

# encerrar [SECONDS]: "&Encerrar" from the tray menu; sets STATUS to the
# program's exit status, or "timeout" when it does not end within 10 s.
encerrar() {
    choose e
    STATUS=timeout
    if wait_for "${1:-10}" app_ended; then
        wait "$APP"
        STATUS=$?
    fi
}

# The program started last is APP.
app_alive() { kill -0 "$APP" 2>/dev/null; }
app_ended() { ! app_alive; }

# reminders_file FILE LINE...: the lines as the program stores them, CR LF.
reminders_file() {
    local out=$1
    shift
    printf '%s\r\n' "$@" >"$out"
}
# Replaces the reminder file (REMINDERS) in one rename, so the scan never
# reads half of it.
put_reminders() {
    reminders_file "$REMINDERS.new" "$@" && mv "$REMINDERS.new" "$REMINDERS"
}
reminders_are() { cmp -s "$REMINDERS" "$1"; }

# The visible windows of APP with this title, at any depth (a window
# manager puts them in frames).
windows_named() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        [ "$(xdotool getwindowpid "$id" 2>/dev/null)" = "$APP" ] && echo "$id"
    done
}
alerts() { windows_named 'Aviso do Quedrino'; }
one_alert() { [ "$(alerts | wc -l)" = 1 ]; }
# One alert shown, and not the window OLD: a new alert took its place.
new_alert_after() { [ -n "$1" ] && one_alert && [ "$(alerts)" != "$1" ]; }
no_alert() { [ -z "$(alerts)" ]; }
# holds TENTHS command...: the command succeeds at every look during that
# many tenths of a second.
holds() {
    local n=$1 _
    shift
    for _ in $(seq "$n"); do
        "$@" || return 1
        sleep 0.1
    done
}
no_alert_for() { holds "$1" no_alert; }

geometry_of() { # geometry_of ID: sets x y w h (absolute, the client area)
    [ -n "$1" ] || return 1 # xwininfo with no window waits for a click
    eval "$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4} /Width:/{print "w="$2} /Height:/{print "h="$2}')"
}

# Asks the window manager to activate ID; true once ID has the keyboard.
activated() {
    xdotool windowactivate "$1" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}
# focus ID: makes ID the active window.
focus() {
    [ -n "$1" ] || return 1
    wait_for 5 activated "$1" || return 1
    sleep 0.2 # lets the program take in the focus before the keys arrive
}

# The journeys' lines: one for next year, one due since yesterday; each
# journey defines main_window, the include and review panels' window.
yesterday=$(date -d yesterday +%d/%m/%Y)
next_year=$(date -d '+1 year' +%d/%m/%Y)
LINE_X=$(printf '%s08:00Primeiro' "$next_year")
LINE_D=$(printf '%s07:30Vencido ontem' "$yesterday")
main_shown() { [ -n "$(main_window)" ]; }

# start_desktop: a private HOME, the sound server (its sink SINK), the
# display, the tray and the window manager; the script ends if one fails.
start_desktop() {
    private_home
    SINK=quedrino_test
    start_sound_server "$SINK" && start_display && start_tray "$WORK/trayer.log" && start_wm ||
        { echo "FAIL: the desktop did not start"; exit 1; }
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
# An alert takes no input for half a second after it shows: at_alert keys it
# once that is past, counted from when it is seen here (nothing outside the
# program shows the moment's end).
at_alert() { focus "$(alerts)" && sleep 0.6 && keys "$@"; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# stacked_above A B: A is higher than B in the window manager's stacking.
stacked_above() {
    local found
    found=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g' | xargs printf '%d\n' | grep -x -e "$1" -e "$2")
    [ "$(echo "$found" | wc -l)" = 2 ] && [ "$(echo "$found" | tail -n1)" = "$1" ]
}
above() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -qw _NET_WM_STATE_ABOVE; }
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
# record FILE: what the sink SINK plays from now on goes into FILE, the
# RECORDING; the monitor sends silence all the time.
record() {
    RECORDING=$1
    parec --device="$SINK.monitor" --raw --format=s16le --rate=$RATE --channels=1 --latency-msec=20 \
        >"$RECORDING" 2>"$WORK/parec.log" &
    PIDS+=($!)
    wait_for 5 recorded_past $((RATE / 10)) || echo "note: the sink's monitor records nothing: $(cat "$WORK/parec.log")"
}
recorded() { echo $(($(stat -c %s "$RECORDING" 2>/dev/null || echo 0) / 2)); }
recorded_past() { [ "$(recorded)" -ge "$1" ]; }
sox_in() { sox -t raw -r $RATE -e signed -b 16 -c 1 "$RECORDING" "$@"; }
# measure BASE FROM TO: sets rms, peak and freq of the stretch FROM to TO
# seconds after sample BASE, once recorded; "none" is neither sound nor
# silence.
measure() {
    local from to
    read -r from to < <(awk -v b="$1" -v f="$2" -v t="$3" -v r=$RATE 'BEGIN { printf "%d %d", b + f * r, b + t * r }')
    rms=none peak=none freq=none
    wait_for 15 recorded_past "$to" || return
    read -r rms peak freq < <(sox_in -n trim "${from}s" "$((to - from))s" stat 2>&1 |
        awk '/^RMS +amplitude/{r=$3} /^Maximum amplitude/{mx=$3} /^Minimum amplitude/{mn=-$3}
             /^Rough +frequency/{f=$3} END{if (r != "" && f != "") print r, (mx > mn ? mx : mn), f}')
}
loud() { awk -v r="$1" 'BEGIN { exit !(r + 0 > 0.05) }'; }
quiet() { [[ $1 =~ ^[0-9.eE+-]+$ ]] && awk -v m="$1" 'BEGIN { exit !(m < 0.001) }'; }
tone() { loud "$1" && awk -v f="$2" -v lo="$3" -v hi="$4" 'BEGIN { exit !(f >= lo && f <= hi) }'; }
# heard_after FROM: a sample above 1 % of full scale after FROM; SOUND_AT is
# where (sox's silence effect drops everything before it).
heard_after() {
    local to left
    to=$(recorded)
    [ "$to" -gt "$1" ] || return 1
    left=$(sox_in -t raw - trim "$1s" "$((to - $1))s" silence 1 1s 1% | wc -c)
    [ "$left" -gt 0 ] && SOUND_AT=$((to - left / 2))
}

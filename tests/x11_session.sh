# Shared by the scripts that run the real program on a virtual display.
# Sourced, not run. The script that sources it makes WORK (a temporary
# folder) and PIDS (the processes to end when it exits) first.

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
    fi
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

# HOME and the runtime folder inside WORK, so no real reminder file is ever
# touched, and nothing of the caller's desktop session leaks in.
private_home() {
    export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run QT_QPA_PLATFORM=xcb
    mkdir -p "$HOME/quedrino" && mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER
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

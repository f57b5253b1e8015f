#!/usr/bin/env bash
# Checks the Debian package with lintian (no error, no warning), installs it
# with apt-get as a user would, checks what it put in place with the desktop's
# own validators, starts the installed program through its autostart entry on
# a virtual X display with a notification area (trayer), ends it from its tray
# menu, then removes the package (its conffile, the autostart entry, stays)
# and purges it, and checks that none of its files is left.
#
# It installs and removes a system package, so it needs root and apt-get:
# without them it says so in one line and skips. scripts/test runs it only
# when CI=true. HOME points at a temporary folder while the program runs.
# Usage: package_test.sh path/to/quedrino_VERSION_ARCH.deb
set -uo pipefail

if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null || ! command -v dpkg >/dev/null; then
    echo "SKIP: package test: installing the package needs root and apt-get (running as $(id -un))"
    exit 0
fi
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 path/to/quedrino_VERSION_ARCH.deb" >&2
    exit 2
fi

DEB=$(realpath "$1")
WORK=$(mktemp -d)
PIDS=()
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../tests/x11_session.sh"

PACKAGE=$(dpkg-deb -f "$DEB" Package)
VERSION=$(dpkg-deb -f "$DEB" Version)
BIN=/usr/bin/quedrino
MENU_ENTRY=/usr/share/applications/quedrino.desktop
AUTOSTART=/etc/xdg/autostart/quedrino.desktop
APT=(env DEBIAN_FRONTEND=noninteractive apt-get -y -o DPkg::Lock::Timeout=120)

package_state() { dpkg-query -W -f='${db:Status-Status}' "$PACKAGE" 2>/dev/null; }
# Known to dpkg in no state at all, not even as config files left behind.
forgotten() {
    local state
    state=$(package_state)
    [ -z "$state" ] || [ "$state" = not-installed ]
}

cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    # A test stopped half-way leaves nothing installed either.
    if ! forgotten; then
        "${APT[@]}" purge "$PACKAGE" >>"$WORK/apt.log" 2>&1 || echo "package test: could not purge $PACKAGE, see: apt-get purge $PACKAGE"
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT

if ! forgotten; then
    echo "NOTE: $PACKAGE $(dpkg-query -W -f='${Version}' "$PACKAGE") was installed here before: the test replaces it and removes it"
fi

# --- The package as Debian's checker sees it. --fail-on: a warning fails as
# an error does; lintian's notice that it runs as root is no finding. Its
# temporary files go in WORK: it leaves some behind.
lintian_clean() {
    if ! command -v lintian >/dev/null; then
        echo "  lintian is not installed (apt-get install lintian)"
        return 1
    fi
    local out
    out=$(TMPDIR=$WORK lintian --fail-on error,warning "$DEB" 2>&1) && ! grep -q '^[EW]: ' <<<"$out" && return 0
    grep -v 'running with root privileges' <<<"$out" | sed 's/^/  /'
    return 1
}
check "lintian finds no error and no warning in $(basename "$DEB")" lintian_clean

# The package's regular files, as absolute paths.
dpkg-deb -c "$DEB" | awk '$1 ~ /^-/ { sub(/^\./, "", $6); print $6 }' >"$WORK/files"

# True when dpkg is set (path-exclude, as Debian's slim container images are
# for manual pages and documents) to leave the file out: the last path-exclude
# or path-include whose pattern matches it decides.
left_out_by_dpkg() {
    local rule pattern out=1
    while read -r rule pattern; do
        # shellcheck disable=SC2053 # the pattern is a glob, as dpkg reads it
        [[ $1 == $pattern ]] || continue
        if [ "$rule" = path-exclude ]; then out=0; else out=1; fi
    done < <(cat /etc/dpkg/dpkg.cfg.d/* /etc/dpkg/dpkg.cfg 2>/dev/null |
        sed -n 's/^[[:space:]]*\(path-\(ex\|in\)clude\)[[:space:]=]\{1,\}\([^[:space:]]*\).*/\1 \3/p')
    return $out
}
all_in_place() {
    local f missing=0
    while read -r f; do
        [ -f "$f" ] && continue
        if left_out_by_dpkg "$f"; then
            echo "  NOTE: dpkg is set to leave out $f"
        else
            echo "  missing: $f"
            missing=1
        fi
    done <"$WORK/files"
    [ $missing = 0 ] && [ -s "$WORK/files" ]
}
none_left() { # none_left [FILE]: none of the package's files but FILE is there
    local f left=0
    while read -r f; do
        [ "$f" = "${1:-}" ] && continue
        [ -e "$f" ] && { echo "  left behind: $f"; left=1; }
    done <"$WORK/files"
    [ $left = 0 ] && [ -s "$WORK/files" ]
}

# --- Installing
apt_install() {
    "${APT[@]}" install "$DEB" >>"$WORK/apt.log" 2>&1 && return 0
    # A fresh machine may have no package lists yet for the dependencies.
    "${APT[@]}" update >>"$WORK/apt.log" 2>&1
    "${APT[@]}" install "$DEB" >>"$WORK/apt.log" 2>&1 && return 0
    tail -n 20 "$WORK/apt.log" | sed 's/^/  /'
    return 1
}
check "apt-get installs $(basename "$DEB")" apt_install
check "dpkg has $PACKAGE $VERSION installed" \
    test "$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$PACKAGE" 2>/dev/null)" = "installed $VERSION"
check "every file of the package is in place" all_in_place
check "the program is installed as $BIN" test -x "$BIN"

# Every file in /etc must be a conffile: dpkg then keeps it through a remove,
# with the administrator's edits, and takes it away on purge.
conffiles_in_etc() {
    local f wrong=0
    dpkg-query -W -f='${Conffiles}\n' "$PACKAGE" | awk 'NF { print $1 }' >"$WORK/conffiles"
    while read -r f; do
        case $f in /etc/*) grep -qxF "$f" "$WORK/conffiles" || { echo "  not a conffile: $f"; wrong=1; } ;; esac
    done <"$WORK/files"
    [ $wrong = 0 ]
}
check "every file the package puts in /etc is a conffile" conffiles_in_etc
check "dpkg keeps the autostart entry $AUTOSTART as a conffile" grep -qxF "$AUTOSTART" "$WORK/conffiles"

# man finds the page where it looks, unless dpkg is set to leave pages out.
MANPAGE=/usr/share/man/man1/quedrino.1.gz
man_finds_page() { [ "$(man -w quedrino 2>&1)" = "$MANPAGE" ]; }
if left_out_by_dpkg "$MANPAGE"; then
    echo "NOTE: dpkg is set to leave out manual pages: $MANPAGE not checked"
else
    check "man quedrino finds the installed page $MANPAGE" man_finds_page
fi

icon_is_png() { # icon_is_png SIZE
    file -b "/usr/share/icons/hicolor/$1x$1/apps/quedrino.png" 2>/dev/null | grep -q "^PNG image data, $1 x $1,"
}
for size in 16 32 48 256; do
    check "the hicolor theme has a $size x $size PNG icon" icon_is_png $size
done
check "the hicolor theme has the scalable icon" \
    grep -q '<svg' /usr/share/icons/hicolor/scalable/apps/quedrino.svg

# --- The installed files, as the desktop's validators see them
quiet_valid_desktop() { # desktop-file-validate exits 0 with warnings: no output at all passes
    local out
    out=$(desktop-file-validate "$1" 2>&1) && [ -z "$out" ] && return 0
    echo "$out" | sed 's/^/  /'
    return 1
}
valid_appstream() {
    local out
    out=$(appstreamcli validate --no-net --strict "$1" 2>&1) && return 0
    echo "$out" | sed 's/^/  /'
    return 1
}
valid_tree() {
    local out
    out=$(appstreamcli validate-tree --no-net --strict "$1" 2>&1) && return 0
    echo "$out" | sed 's/^/  /'
    return 1
}
METAINFO=$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' "$WORK/files" | head -n1)
check "desktop-file-validate passes the installed menu entry $MENU_ENTRY" quiet_valid_desktop "$MENU_ENTRY"
check "desktop-file-validate passes the installed autostart entry $AUTOSTART" quiet_valid_desktop "$AUTOSTART"
check "appstreamcli validate --no-net passes the installed ${METAINFO:-metainfo file}" valid_appstream "$METAINFO"
mkdir -p "$WORK/tree"
dpkg-deb -x "$DEB" "$WORK/tree"
check "appstreamcli validate-tree finds the package's metainfo, menu entry and icon consistent" valid_tree "$WORK/tree"
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$METAINFO" 2>/dev/null)
check "the metainfo's launchable ($launchable) is the installed menu entry" \
    test "/usr/share/applications/$launchable" = "$MENU_ENTRY"

# The command lines the session would run; the entries hold a bare name,
# found on the system's PATH.
entry_value() { sed -n "s/^$2=//p" "$1" | head -n1; }
resolves_to_bin() { [ -n "$1" ] && [ "$(PATH=/usr/local/bin:/usr/bin:/bin && command -v "$1")" = "$BIN" ]; }
for entry in "$MENU_ENTRY" "$AUTOSTART"; do
    check "$entry: Exec runs $BIN" resolves_to_bin "$(entry_value "$entry" Exec)"
    check "$entry: TryExec finds $BIN" resolves_to_bin "$(entry_value "$entry" TryExec)"
    check "$entry: Icon names the installed icon" test "$(entry_value "$entry" Icon)" = quedrino
done

# --- The installed program, started by its autostart entry
private_home
if start_display; then
    # The window of the program's icon in the tray, if there is one.
    tray_icon() {
        local panel
        panel=$(tray_panel)
        [ -n "$panel" ] || return 0 # xwininfo with no window waits for a click
        xwininfo -tree -id "$panel" | awk '/\("quedrino"/{print $1; exit}'
    }
    icon_shown() { test -n "$(tray_icon)"; }
    icon_gone() { test -z "$(tray_icon)"; }
    menu_open() { # a small window of the program's: its tray menu
        local id
        for id in $(xdotool search --maxdepth 1 --onlyvisible --classname quedrino 2>/dev/null); do
            xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} END{exit !(w < 300 && h < 150)}' && return 0
        done
        return 1
    }
    right_click_icon() {
        local icon x y w h
        icon=$(tray_icon)
        [ -n "$icon" ] || return 1
        eval "$(xwininfo -id "$icon" | awk '/Absolute upper-left X/{print "x="$4} /Absolute upper-left Y/{print "y="$4} /Width:/{print "w="$2} /Height:/{print "h="$2}')"
        xdotool mousemove --sync 0 300 # --sync waits for the pointer to arrive, so it starts elsewhere
        xdotool mousemove --sync $((x + w / 2)) $((y + h / 2)) click 3
    }
    app_ended() { ! kill -0 "$APP" 2>/dev/null; }
    runs_installed_bin() { [ "$(readlink "/proc/$APP/exe" 2>/dev/null)" = "$BIN" ]; }

    trayer --edge top --align right --widthtype pixel --width 120 --height 24 >"$WORK/trayer.log" 2>&1 &
    PIDS+=($!)
    if wait_for 10 tray_up; then
        # As a session starts it: the autostart entry's Exec on the system's PATH.
        exec_line=$(entry_value "$AUTOSTART" Exec)
        PATH=/usr/local/bin:/usr/bin:/bin $exec_line >"$WORK/out.log" 2>"$WORK/err.log" &
        APP=$!
        PIDS+=("$APP")
        check "the running program is the installed $BIN" wait_for 10 runs_installed_bin
        check "its icon shows in the tray" wait_for 10 icon_shown
        failures_before=$failed
        right_click_icon
        check "a right click on the icon opens the tray menu" wait_for 5 menu_open
        if [ "$failed" -eq "$failures_before" ]; then
            sleep 0.3 # the menu takes the keyboard just after it appears
            xdotool key e
            status=timeout
            if wait_for 10 app_ended; then
                wait "$APP"
                status=$?
            fi
            check "\"&Encerrar\" (key e) ends it with status 0 (got $status)" test "$status" = 0
            check "its icon is gone from the tray" wait_for 5 icon_gone
        else
            echo "FAIL: with no tray menu open, \"&Encerrar\" could not be chosen"
            failed=$((failed + 1))
        fi
    else
        echo "FAIL: trayer did not start as the notification area"
        failed=$((failed + 1))
    fi
else
    echo "FAIL: Xvfb did not start"
    failed=$((failed + 1))
fi

# --- Removing, then purging
apt_run() { # apt_run remove|purge
    "${APT[@]}" "$1" "$PACKAGE" >>"$WORK/apt.log" 2>&1 && return 0
    tail -n 20 "$WORK/apt.log" | sed 's/^/  /'
    return 1
}
check "apt-get remove takes the package away" apt_run remove
check "dpkg keeps only the config files of $PACKAGE (state: $(package_state))" \
    test "$(package_state)" = config-files
check "the autostart entry stays after remove, as a conffile does" test -f "$AUTOSTART"
check "none of the package's other files is left" none_left "$AUTOSTART"
check "apt-get purge takes the rest away" apt_run purge
check "dpkg keeps no trace of $PACKAGE, not even config files" forgotten
check "none of the package's files is left, the autostart entry included" none_left

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

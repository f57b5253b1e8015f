#!/usr/bin/env bash
# A StatusNotifier notification area (the D-Bus tray of Wayland panels and
# KDE) that starts after the program: a watcher of our own, with a host, on
# a private session bus. The program must move its icon there, and its menu
# must open from there.
# Usage: tray_watcher_test.sh path/to/quedrino
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../x11_session.sh"
need Xvfb xdotool xwininfo dbus-run-session dbus-send
/usr/bin/python3 -c "from gi.repository import Gio" 2>/dev/null || skip "python3-gi is not installed"
[ -n "${QUEDRINO_OWN_BUS:-}" ] || QUEDRINO_OWN_BUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v "^dbus-daemon" >&2)

BIN=$(realpath "$1")
new_work
private_home own_bus
start_display || { echo "FAIL: the display did not start"; exit 1; }

# The watcher writes the bus name of each item registered with it, one a line.
start_watcher() {
    /usr/bin/python3 - >"$WORK/items" <<'PY' &
import os
from gi.repository import Gio, GLib
iface = Gio.DBusNodeInfo.new_for_xml("""<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
<method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
<property name="RegisteredStatusNotifierItems" type="as" access="read"/>
<property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
<property name="ProtocolVersion" type="i" access="read"/></interface></node>""").interfaces[0]
bus, items = Gio.bus_get_sync(Gio.BusType.SESSION), []
def call(conn, sender, path, iface, method, args, invocation):
    if method == "RegisterStatusNotifierItem":
        items.append(sender if args[0].startswith("/") else args[0])
        print(items[-1], flush=True)
    invocation.return_value(None)
def get(conn, sender, path, iface, name):
    return {"RegisteredStatusNotifierItems": GLib.Variant("as", items), "ProtocolVersion": GLib.Variant("i", 0),
            "IsStatusNotifierHostRegistered": GLib.Variant("b", True)}[name]
bus.register_object("/StatusNotifierWatcher", iface, call, get, None)
for name in ("org.kde.StatusNotifierHost-%d" % os.getpid(), "org.kde.StatusNotifierWatcher"):
    bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                  GLib.Variant("(su)", (name, 4)), None, 0, -1, None)
GLib.MainLoop().run()
PY
    PIDS+=($!)
}
items_are() { [ "$(grep -c . "$WORK/items")" = "$1" ]; }
item() { # item METHOD ARG...: calls the last registered item
    local to
    to=$(tail -n1 "$WORK/items") && [ -n "$to" ] && dbus-send --session --print-reply --dest="$to" /StatusNotifierItem "$@"
}
property() { item org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem "string:$1"; }
shown_as_quedrino() {
    [[ $(property ToolTip) == *'"Quedrino"'* && $(property Title) == *'"Quedrino"'* &&
        $(property IconPixmap) == *"array of bytes"* ]]
}
main_shown() { [ -n "$(windows_named Quedrino)" ]; }
start_app() {
    "$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
    APP=$!
    PIDS+=("$APP")
}

start_app
check "without any notification area the main window is shown" wait_for 10 main_shown
start_watcher
check "a StatusNotifier area that comes later gets the icon" wait_for 10 items_are 1
check "and the main window leaves the screen for it" wait_for 5 eval '! main_shown'
check "its tip and title are \"Quedrino\", with an image" shown_as_quedrino
item org.kde.StatusNotifierItem.Activate int32:5 int32:5 >/dev/null
check "Activate (the left button) opens nothing" holds 10 eval '! menu_open && ! main_shown'
item org.kde.StatusNotifierItem.ContextMenu int32:700 int32:20 >/dev/null
check "the host's request for the menu opens the tray menu" wait_for 5 menu_open
sleep 0.3 # the menu takes the keyboard just after it appears
xdotool key e
check "whose \"&Encerrar\" ends the program" wait_for 10 app_ended

start_app
check "with the area there from the start, the icon goes there too" wait_for 10 items_are 2
check "and no window opens" holds 10 eval '! main_shown'
finish

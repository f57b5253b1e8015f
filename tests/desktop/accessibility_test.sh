#!/usr/bin/env bash
# What a screen reader hears: the real quedrino binary on a virtual display,
# read through AT-SPI (python3-pyatspi) on a private session bus with the
# accessibility bus switched on, as a screen reader switches it on. The
# include panel's fields and an open alert must be read by their own names.
# Usage: accessibility_test.sh path/to/quedrino
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../x11_session.sh"
need Xvfb trayer openbox xdotool xwininfo wmctrl dbus-run-session dbus-send
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || skip "python3-pyatspi is not installed"
if [ -z "${QUEDRINO_OWN_BUS:-}" ]; then
    # The bus daemons chatter on stderr; what they say is no part of the test.
    QUEDRINO_OWN_BUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v -e "^dbus-daemon" -e "SpiRegistry" >&2)
fi

BIN=$(realpath "$1")
WORK=$(mktemp -d)
PIDS=()

trap cleanup EXIT

bus=$DBUS_SESSION_BUS_ADDRESS
private_home
export DBUS_SESSION_BUS_ADDRESS=$bus
start_display && start_tray "$WORK/trayer.log" && start_wm &&
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null ||
    { echo "FAIL: the desktop or the accessibility bus did not start"; exit 1; }

# read_tree FILE: every object of the program's accessible tree, one a line:
# role|name|labels (names of its "labelled by" targets)|description|text.
read_tree() {
    /usr/bin/python3 - >"$1" 2>"$WORK/pyatspi.log" <<'PY'
import pyatspi

def walk(acc, depth=0):
    labels = [r.getTarget(i).name for r in acc.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]
    try:
        text = acc.queryText().getText(0, -1)
    except NotImplementedError:
        text = ""
    print("|".join([acc.getRoleName(), acc.name, ",".join(labels), acc.description, text]))
    for child in (acc.getChildAtIndex(i) for i in range(acc.childCount)):
        if child is not None and depth < 8:
            walk(child, depth + 1)

for app in pyatspi.Registry.getDesktop(0):
    if app is not None and app.name == "Quedrino":
        walk(app)
PY
}
has_line() { grep -qE "$1" "$WORK/tree"; } # has_line REGEX: in the tree last read
tree_has() { read_tree "$WORK/tree" && has_line "$1"; }

REMINDERS=$HOME/quedrino/quedrino.txt
put_reminders "$(date -d '+1 year' +%d/%m/%Y)08:00Primeiro"
"$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
APP=$!
PIDS+=("$APP")
wait_for 10 icons_are 1 || { echo "FAIL: no icon in the tray"; exit 1; }
choose i
check "the include panel is read through AT-SPI" wait_for 10 tree_has '^frame\|Quedrino\|'
check "the date field is named \"Data\"" has_line '^text\|Data\|'
check "the hour box is labelled \"Hora :\"" has_line '^combo box\|[^|]*\|([^|]*,)?Hora :[,|]'
check "the minute box is labelled \"Minuto :\"" has_line '^combo box\|[^|]*\|([^|]*,)?Minuto :[,|]'
check "the description is named \"Descrição\"" has_line '^text\|Descrição\|'
check "and so is its frame" has_line '^panel\|Descrição\|'
check "the badge says what a click does" has_line '^image\|Abrir o site de '

printf '%s\r\n' "$(date -d yesterday +%d/%m/%Y)07:30Levar o guarda-chuva" >>"$REMINDERS"
wait_for 10 one_alert
check "an open alert is read by its title, with its text" \
    wait_for 10 tree_has '^dialog\|Aviso do Quedrino\|\|[0-9/]+ 07:30: Levar o guarda-chuva\|'
check "its description box is named \"Lembrete\" and holds the text" \
    has_line '^text\|Lembrete\|[^|]*\|[^|]*\|Levar o guarda-chuva$'
check "its interval box is named \"Para Adiar\"" has_line '^combo box\|Para Adiar\|'

finish

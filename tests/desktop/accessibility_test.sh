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
new_work
private_home own_bus
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

# probe [COMBO=TEXT...]: puts TEXT in the edit of each combo box named COMBO,
# then asks every text object of the program for the unit around, before and
# after every offset from 0 to its length, for every kind of unit. A field
# that hangs the program fails the timeout. Prints each text object as
# "text|name|text", and as "short|name|..." a one-line text whose line or
# attribute run is not the whole text at some offset.
probe() {
    timeout 40 /usr/bin/python3 - "$@" >"$WORK/probe" 2>>"$WORK/pyatspi.log" <<'PY'
import sys, pyatspi
wanted = dict(arg.split("=", 1) for arg in sys.argv[1:])
kinds = [getattr(pyatspi, "TEXT_BOUNDARY_" + k) for k in
         ("CHAR", "WORD_START", "WORD_END", "SENTENCE_START", "SENTENCE_END", "LINE_START", "LINE_END")]

def walk(acc, depth=0):
    yield acc
    for child in (acc.getChildAtIndex(i) for i in range(acc.childCount)):
        if child is not None and depth < 8:
            yield from walk(child, depth + 1)

app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "Quedrino")
for acc in list(walk(app)):
    labels = [r.getTarget(i).name for r in acc.getRelationSet()
              if r.getRelationType() == pyatspi.RELATION_LABELLED_BY for i in range(r.getNTargets())]
    if acc.getRoleName() == "combo box" and set(wanted) & set(labels + [acc.name]):
        value = wanted.get(acc.name) or wanted[(set(wanted) & set(labels)).pop()]
        for edit in (acc.getChildAtIndex(i) for i in range(acc.childCount)):
            if "EditableText" in pyatspi.listInterfaces(edit):
                edit.queryEditableText().setTextContents(value)
for acc in walk(app):
    try:
        text = acc.queryText()
    except NotImplementedError:
        continue
    whole = text.getText(0, -1)
    print("text|%s|%s" % (acc.name, whole), flush=True)
    for offset in range(text.characterCount + 1):
        for kind in kinds:
            text.getTextAtOffset(offset, kind), text.getTextBeforeOffset(offset, kind)
            text.getTextAfterOffset(offset, kind)
        line, run = text.getTextAtOffset(offset, pyatspi.TEXT_BOUNDARY_LINE_START)[0], text.getAttributeRun(offset)
        if whole and "\n" not in whole and (line != whole or tuple(run[1:]) != (0, len(whole))):
            print("short|%s|%d|%s|%s" % (acc.name, offset, line, tuple(run[1:])), flush=True)
PY
}
probed() { grep -qE "$1" "$WORK/probe"; } # probed REGEX: in the last probe's output

# heard_on_key KEY REGEX: presses KEY and waits up to 3 s for a focus event
# whose object's "name|description" matches REGEX.
heard_on_key() {
    timeout 20 /usr/bin/python3 - "$@" 2>>"$WORK/pyatspi.log" <<'PY'
import re, subprocess, sys, pyatspi
from gi.repository import GLib
heard = []
def on_event(event):
    if event.type.startswith("focus") or event.detail1 == 1:
        heard.append("%s|%s" % (event.source.name, event.source.description))
pyatspi.Registry.registerEventListener(on_event, "focus:", "object:state-changed:focused")
GLib.timeout_add(300, lambda: subprocess.call(["xdotool", "key", sys.argv[1]]) and False)
GLib.timeout_add(3000, lambda: pyatspi.Registry.stop() or False)
pyatspi.Registry.start()
sys.exit(0 if any(re.search(sys.argv[2], h) for h in heard) else 1)
PY
}

REMINDERS=$HOME/quedrino/quedrino.txt
put_reminders "$(date -d '+1 year' +%d/%m/%Y)08:00Primeiro"
"$BIN" >"$WORK/out.log" 2>"$WORK/err.log" &
APP=$!
PIDS+=("$APP")
wait_for 10 icons_are 1 || { echo "FAIL: no icon in the tray"; exit 1; }
choose i
check "the include panel is read through AT-SPI" wait_for 10 tree_has '^frame\|Quedrino\|'
check "the date field is named \"Data\"" has_line '^text\|Data\|'
check "the hour box is labelled \"Hora\"" has_line '^combo box\|[^|]*\|([^|]*,)?Hora[,|]'
check "the minute box is labelled \"Minuto\"" has_line '^combo box\|[^|]*\|([^|]*,)?Minuto[,|]'
check "a label is read without its colon: \"Data\"" has_line '^label\|Data\|'
check "and no label with one" eval '! has_line "^label\|[^|]*:\|"'
check "the day buttons say what they do" eval "has_line '^push button\|menos 30 dias\|' && has_line '^push button\|mais 1 dia\|'"
check "the description is named \"Descrição\"" has_line '^text\|Descrição\|'
check "and so is its frame" has_line '^panel\|Descrição\|'
check "the badge says what a click does" has_line '^image\|Abrir o site de '

# The hour and the minute chosen from their lists, as a user chooses them.
focus "$(windows_named Quedrino)" && xdotool key Tab && pick 14 && pick 05
choose s
check "About is read whole, with the maker's name" \
    wait_for 10 tree_has '^dialog\|Sobre o Quedrino 1.1a\|\|Esse programa é uma cortesia da [^|]+\|'
focus "$(windows_named 'Sobre o Quedrino 1.1a')" && xdotool key Return

choose r
wait_for 10 tree_has '^list item\|'
focus "$(windows_named Quedrino)"
check "the first arrow in the review list is heard, with the reminder's description" \
    heard_on_key Down '^[0-9/]+ 08:00\|Primeiro$'
check "every text unit of every field is answered at every offset" probe
check "among them the date, the hour's and the review's fields" eval "probed '^text\|Data\|[0-9/]{10}$' &&
    probed '^text\|[^|]*\|14$' && probed '^text\|[^|]*\|05$' && probed '^text\|Dia\|[0-9/]{10}$' && probed '^text\|Hora\|08:00$'"
check "each one-line field reads whole, to its last character" eval '! probed "^short"'

printf '%s\r\n' "$(date -d yesterday +%d/%m/%Y)07:30Levar o guarda-chuva" >>"$REMINDERS"
wait_for 10 one_alert
check "an open alert is read by its title, with its text" \
    wait_for 10 tree_has '^dialog\|Aviso do Quedrino\|\|[0-9/]+ 07:30: Levar o guarda-chuva\|'
check "its description box is named \"Lembrete\" and holds the text" \
    has_line '^text\|Lembrete\|[^|]*\|[^|]*\|Levar o guarda-chuva$'
check "its interval box is named \"Para Adiar\"" has_line '^combo box\|Para Adiar\|'
check "and its text, after a choice, is answered at every offset, whole" \
    eval "probe 'Para Adiar=01 hora' && probed '^text\|[^|]*\|01 hora$' && ! probed '^short'"

finish

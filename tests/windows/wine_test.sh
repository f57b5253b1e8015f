#!/bin/bash
# Runs a test program built for Windows under Wine: ctest's emulator for the
# cross-built tree.
#
#   wine_test.sh --state DIR --dlls DIR:DIR... --plugins DIR --seconds N -- PROGRAM.exe [ARGUMENTS...]
#   wine_test.sh --state DIR --fresh    a new Wine prefix, for a ctest run to start with
#   wine_test.sh --state DIR --end      ends what still runs in it, and removes it
#
# Everything Wine writes goes under DIR: the prefix, and the home its user's
# folders link to. The programs use Qt's offscreen platform, so no X server
# is needed, and Wine is kept away from any that DISPLAY names.
set -u
here=$(cd "$(dirname "$0")" && pwd)
WORK='' dlls='' plugins='' seconds=300 mode=run
while [ $# -gt 0 ]; do
    case $1 in
    --state) WORK=$2; shift 2 ;;
    --dlls) dlls=$2; shift 2 ;;
    --plugins) plugins=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --fresh | --end) mode=${1#--}; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ -n "$WORK" ] || { echo "wine_test.sh: --state is missing" >&2; exit 2; }
. "$here/wine_env.sh"
. "$here/../x11_session.sh"
need "$WINE" "$WINESERVER" flock timeout
mkdir -p "$WORK/home"
export HOME=$WORK/home WINEPREFIX=$WORK/prefix
unset DISPLAY WAYLAND_DISPLAY

# Made once, by whichever start comes first; the others wait for it.
prefix_ready() {
    (
        flock 9
        if [ "${1:-}" = fresh ] || [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
            end_prefix
            new_prefix || { cat "$WORK/wineboot.log" >&2; exit 1; }
        fi
    ) 9>"$WORK/prefix.lock"
}

case $mode in
fresh)
    prefix_ready fresh || exit 1
    # Kept running between the programs, with Wine's own services, so that
    # each starts at once; it ends a minute after the last, or at --end.
    "$WINESERVER" -p60 </dev/null >/dev/null 2>&1
    "$WINE" wineboot </dev/null >/dev/null 2>&1
    exit
    ;;
end)
    end_prefix
    rm -rf "$WINEPREFIX"
    exit 0
    ;;
esac

[ $# -gt 0 ] || { echo "wine_test.sh: no program to run" >&2; exit 2; }
prefix_ready || exit 1

path=''
IFS=: read -ra folders <<<"$dlls"
for folder in "${folders[@]}"; do path=${path:+$path;}$(windows_path "$folder"); done
export WINEPATH=$path
# Wine hides QT_* variables from Windows programs; WINEQT_* ones reach them
# as QT_*.
for name in $(compgen -e); do
    case $name in QT_*) export "WINE$name=${!name}" ;; esac
done
[ -z "$plugins" ] || WINEQT_PLUGIN_PATH=$(windows_path "$plugins")
# The offscreen platform reads its fonts from a folder.
font=$(fc-match -f '%{file}' sans 2>/dev/null)
[ ! -f "$font" ] || WINEQT_QPA_FONTDIR=$(windows_path "$(dirname "$font")")
export WINEQT_PLUGIN_PATH WINEQT_QPA_FONTDIR

# Qt Test's output does not come through a pipe under Wine; a file does.
results=$(mktemp "$WORK/results.XXXXXX")
trap 'rm -f "$results"' EXIT
timeout -k 10 "$seconds" "$WINE" "$1" "${@:2}" -o "$(windows_path "$results"),txt"
status=$?
cat "$results"
[ $status -ne 124 ] || echo "wine_test.sh: $(basename "$1") still ran after $seconds s, and was ended" >&2
exit $status

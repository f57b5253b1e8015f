#!/bin/bash
# The Windows packages under Wine, in a prefix of their own on a virtual
# display. The portable zip runs from wherever it is unpacked, on its own
# DLLs, plugins and translations. The installer (silent, /S) installs the
# zip's files with a Start-menu shortcut, a start at logon and an entry in
# the list of programs; it ends a running Quedrino before replacing it, and
# changes nothing when that Quedrino does not end; it refuses Windows older
# than 10. The uninstaller, as the list of programs runs it, ends a running
# Quedrino and removes everything but the reminders in c:\quedrino.
#   installer_test.sh INSTALLER ZIP RELEASE WINDRES OBJDUMP
# (WINDRES and OBJDUMP: MinGW's, to read the programs' resources and headers)
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/x11_session.sh"
[ $# -eq 5 ] || { echo "usage: $0 INSTALLER ZIP RELEASE WINDRES OBJDUMP"; exit 2; }
installer=$1 zip=$2 release=$3 windres=$4 objdump=$5

WORK=$(mktemp -d)
PIDS=()
source "$here/../../tests/windows/wine_env.sh"
# Set before anything can end "the prefix": never the user's own.
export WINEPREFIX=$WORK/prefix
trap 'end_prefix; cleanup' EXIT
[ -x "$WINE" ] || skip "wine64 is not installed ($WINE)"
if [ ! -f "$installer" ]; then
    command -v makensis >/dev/null || skip "makensis is not installed: the build made no installer"
    echo "FAIL: no installer $installer: build it first"
    exit 1
fi
need unzip Xvfb xdotool "$windres" "$objdump"
[ -f "$zip" ] || { echo "FAIL: no zip $zip: build it first"; exit 1; }

# Wine links the prefix's Documents and the like into HOME, and its menu
# builder would copy the Start-menu shortcut into the desktop's menus there.
export HOME=$WORK/home
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_DATA_HOME WINEPATH
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"

must() { check "$@" || { finish; exit 1; }; }

drive_c=$WINEPREFIX/drive_c
program_dir="$drive_c/Program Files/Quedrino"
program='C:\Program Files\Quedrino\quedrino.exe'
start_menu_link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quedrino.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quedrino'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
reminders=$drive_c/quedrino/quedrino.txt

# Windows programs write to files here; a pipe may stay empty under Wine.
answer_of() { # answer_of PROGRAM ARGS...: its standard output, without CRs
    "$WINE" "$@" >"$WORK/answer" 2>"$WORK/answer.err"
    tr -d '\r' <"$WORK/answer"
}
version_is() { [ "$(answer_of "$1" --version)" = "Quedrino $release" ]; }

install() { # install [ENV=VALUE...]: the installer, silent; sets STATUS
    env "$@" "$WINE" "$installer" /S >"$WORK/install.log" 2>&1
    STATUS=$?
}
status_is() { [ "$STATUS" = "$1" ]; }

# reg_value KEY NAME: the value's data as reg.exe shows it.
reg_value() {
    "$WINE" reg query "$1" /v "$2" >"$WORK/reg.txt" 2>/dev/null || return 1
    tr -d '\r' <"$WORK/reg.txt" | awk -v name="$2" '
        $1 == name && $2 ~ /^REG_/ { sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]+/, ""); print; found = 1 }
        END { exit !found }'
}
value_is() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
no_value() { ! reg_value "$1" "$2" >/dev/null; }
no_key() { ! "$WINE" reg query "$1" >/dev/null 2>&1; }

# The running Quedrino: the process its lock names, if Wine has it.
running_pid() {
    local lock pid
    lock=$(find "$drive_c/users" -name quedrino.lock 2>/dev/null | head -n1)
    [ -n "$lock" ] || return 1
    pid=$(head -n1 "$lock" | tr -d '\r')
    [[ $pid =~ ^[0-9]+$ ]] || return 1
    "$WINE" winedbg --command "info proc" >"$WORK/processes" 2>/dev/null
    grep -q "$(printf '%08x' "$pid") .*'quedrino.exe'" "$WORK/processes" && echo "$pid"
}
quedrino_running() { running_pid >/dev/null; }
quedrino_gone() { ! quedrino_running; }
# Wine's logon: wineboot without options starts what the Run keys name.
logon() { "$WINE" wineboot >"$WORK/logon.log" 2>&1; }

# version_info FILE: its resources as a resource script, in $WORK/resources.rc
version_info() { "$windres" -i "$1" -O rc >"$WORK/resources.rc" 2>/dev/null; }
has_string() { grep -q "VALUE \"$1\", L\\?\"$2\"" "$WORK/resources.rc"; }
# The icon at 16, 32, 48 and 256 pixels (0 stands for 256).
has_icon() {
    local size
    grep -q 'Has 4 elements' "$WORK/resources.rc" || return 1
    for size in '\\020\\020' '\\040\\040' '\\060\\060' '\\000\\000'; do
        grep -q "\"$size\\\\000\\\\000\", 1, 32," "$WORK/resources.rc" || return 1
    done
}

# --- The packages as files.
unzip -q "$zip" -d "$WORK/portable" || { echo "FAIL: $zip does not unpack"; exit 1; }
portable=$WORK/portable/Quedrino
(cd "$WORK/portable" && find . -type f | sed 's|^\./||' | sort) >"$WORK/zip.files"
only_the_folder() { ! grep -qv '^Quedrino/' "$WORK/zip.files"; }
holds_all() {
    local file
    for file in quedrino.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll libstdc++-6.dll \
        libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll \
        translations/qtbase_pt_BR.qm qt.conf LEIA-ME.txt; do
        grep -qx "Quedrino/$file" "$WORK/zip.files" || { echo "missing: $file"; return 1; }
    done
}
check "the zip holds the folder Quedrino alone" only_the_folder
check "the zip holds the program, Qt's DLLs, plugins and translation, MinGW's DLLs, qt.conf, LEIA-ME" holds_all
readme_for_windows() {
    local readme=$portable/LEIA-ME.txt
    [ "$(head -c3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] && awk '!/\r$/ { bad = 1 } END { exit bad }' "$readme" &&
        grep -qF 'c:\quedrino\quedrino.txt' "$readme" && grep -q -- '--encerrar' "$readme"
}
check "LEIA-ME.txt: UTF-8 marked as such, CR LF, where the reminders are and how to end" readme_for_windows
windowed() { "$objdump" -p "$portable/quedrino.exe" | grep -q 'Subsystem.*(Windows GUI)'; }
stripped() { "$objdump" -t "$portable/quedrino.exe" | grep -q '^no symbols'; }
check "the zip's quedrino.exe is a windowed program, stripped" eval 'windowed && stripped'
exe_resources() {
    version_info "$portable/quedrino.exe" && grep -q 'BLOCK "041604B0"' "$WORK/resources.rc" &&
        grep -q 'VALUE "Translation", 0x416, 1200' "$WORK/resources.rc" &&
        grep -q 'VALUE "CompanyName", "[^"]' "$WORK/resources.rc" && grep -q 'VALUE "FileDescription"' "$WORK/resources.rc" &&
        grep -q 'VALUE "LegalCopyright"' "$WORK/resources.rc" && has_string FileVersion "$release" &&
        has_string ProductVersion "$release" && has_string ProductName Quedrino &&
        has_string OriginalFilename quedrino.exe && has_icon
}
check "quedrino.exe carries its icon and Portuguese (Brazil) version information, $release" exe_resources
installer_resources() {
    version_info "$installer" && has_string ProductVersion "$release" && has_string ProductName Quedrino && has_icon
}
check "the installer carries the icon and version information" installer_resources

# --- Wine: a fresh prefix and a display for the program's windows.
must "a virtual display" start_display
must "a fresh Wine prefix" new_prefix

# The portable program, run by nothing but what the zip holds: a prefix with
# no Qt, and no WINEPATH.
check "the unpacked zip's quedrino.exe --version answers \"Quedrino $release\"" version_is "$portable/quedrino.exe"
WINEDEBUG=trace+file "$WINE" "$portable/quedrino.exe" >/dev/null 2>"$WORK/portable.trace" &
APP=$!
PIDS+=("$APP")
must "the unpacked zip's Quedrino runs" wait_for 60 quedrino_running
loaded_from_zip() {
    local file maps=/proc/$APP/maps
    for file in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll libstdc++-6.dll platforms/qwindows.dll \
        styles/qwindowsvistastyle.dll; do
        grep -qF "$portable/$file" "$maps" || { echo "not loaded from the zip: $file"; return 1; }
    done
    ! grep -i 'qt6\|libstdc++\|libgcc_s\|libwinpthread\|qwindows' "$maps" | grep -vqF "$portable/"
}
check "its DLLs, platform plugin and style plugin are the zip's own" loaded_from_zip
translation_from_zip() {
    local qm
    qm=$(windows_path "$portable/translations/qtbase_pt_BR.qm" | sed 's/\\/\\\\/g')
    grep 'CreateFileW' "$WORK/portable.trace" | grep -qiF "$qm"
}
check "it reads Qt's Portuguese texts from the zip's translations folder" translation_from_zip
"$WINE" "$portable/quedrino.exe" --encerrar >/dev/null 2>&1
ended_well() { wait_for 30 app_ended && wait "$APP"; }
check "the unpacked zip's Quedrino ends on --encerrar" ended_well
rm -f "$WORK/portable.trace"

# --- The installer refuses Windows before 10, where Qt 6 does not run.
"$WINE" winecfg -v win7
install
nothing_installed() { status_is 2 && [ ! -e "$program_dir" ] && no_key "$uninstall_key"; }
check "on Windows 7 the installer refuses and installs nothing" nothing_installed
"$WINE" winecfg -v win10

# --- Installed, silently.
install
must "the installer ends with status 0 (/S)" status_is 0
same_files_as_zip() {
    local file
    grep -v '^Quedrino/LEIA-ME.txt$' "$WORK/zip.files" | sed 's|^Quedrino/||' >"$WORK/expected.files"
    echo desinstalar.exe >>"$WORK/expected.files"
    sort -o "$WORK/expected.files" "$WORK/expected.files"
    (cd "$program_dir" && find . -type f | sed 's|^\./||' | sort) | diff - "$WORK/expected.files" || return 1
    while read -r file; do
        [ "$file" = desinstalar.exe ] || cmp -s "$portable/$file" "$program_dir/$file" || { echo "differs: $file"; return 1; }
    done <"$WORK/expected.files"
}
check "Program Files\\Quedrino holds the zip's files, byte for byte, and the uninstaller" same_files_as_zip
link_to_program() { [ -f "$start_menu_link" ] && grep -qaF "$program" "$start_menu_link"; }
check "a Start-menu shortcut to the program, for every user" link_to_program
check "a start at logon for every user: the Run value names the program" value_is "$run_key" Quedrino "\"$program\""
listed() {
    value_is "$uninstall_key" DisplayName Quedrino && value_is "$uninstall_key" DisplayVersion "$release" &&
        value_is "$uninstall_key" DisplayIcon "$program,0" &&
        value_is "$uninstall_key" InstallLocation 'C:\Program Files\Quedrino' &&
        value_is "$uninstall_key" UninstallString '"C:\Program Files\Quedrino\desinstalar.exe"' &&
        value_is "$uninstall_key" QuietUninstallString '"C:\Program Files\Quedrino\desinstalar.exe" /S' &&
        [ -n "$(reg_value "$uninstall_key" Publisher)" ] && value_is "$uninstall_key" NoModify 0x1 &&
        value_is "$uninstall_key" NoRepair 0x1
}
check "the list of programs has Quedrino $release, its icon, publisher, folder and uninstaller" listed
size_estimated() {
    local kb bytes=0 file
    kb=$(reg_value "$uninstall_key" EstimatedSize) || return 1
    kb=$((kb))
    while read -r file; do bytes=$((bytes + $(stat -c %s "$program_dir/$file"))); done <"$WORK/expected.files"
    echo "EstimatedSize $kb KB, the files $((bytes / 1024)) KB"
    [ $((kb * 1024)) -ge $((bytes * 98 / 100)) ] && [ $((kb * 1024)) -le $((bytes * 102 / 100)) ]
}
check "its EstimatedSize is the installed files' size in KB" size_estimated
check "the installed quedrino.exe --version answers \"Quedrino $release\"" version_is "$program"
uninstaller_resources() {
    version_info "$program_dir/desinstalar.exe" && has_string ProductVersion "$release" && has_icon
}
check "the uninstaller carries the icon and version information" uninstaller_resources

# --- Installing again over a running Quedrino, started as at logon.
logon
must "at logon the Run value starts Quedrino" wait_for 60 quedrino_running
install
check "installing again while it runs: status 0, that Quedrino ended first" eval 'status_is 0 && quedrino_gone'
check "and the files are all there" same_files_as_zip

# A Quedrino that does not answer (stopped): the installer waits for it,
# then gives up before touching anything. The start at logon, switched off
# meanwhile, would come back if it went on.
check "no Quedrino is left running" quedrino_gone
"$WINE" "$program" >/dev/null 2>&1 &
APP=$!
PIDS+=("$APP")
must "Quedrino runs" wait_for 60 eval 'quedrino_running && app_alive'
"$WINE" reg delete "$run_key" /v Quedrino /f >/dev/null 2>&1
kill -STOP "$APP"
install QUEDRINO_ANSWER_WAIT=2
kill -CONT "$APP"
check "with a Quedrino that does not end the installer gives up (status 2)" status_is 2
check "and has changed nothing" eval 'no_value "$run_key" Quedrino && same_files_as_zip'
"$WINE" "$program" --encerrar >/dev/null 2>&1
check "that Quedrino, let go on, ends (--encerrar)" ended_well

# --- Uninstalled, as the list of programs does it, with Quedrino running.
install
must "installed once more (status 0)" status_is 0
mkdir -p "$(dirname "$reminders")"
printf '31/12/209908:00Dentista \xe0s 9h\r\n01/01/210010:30Caf\xe9 com a equipe\r\n' >"$reminders"
cp "$reminders" "$WORK/reminders.before"
logon
must "at logon Quedrino starts" wait_for 60 quedrino_running
quiet=$(reg_value "$uninstall_key" QuietUninstallString)
uninstaller=${quiet#\"}
uninstaller=${uninstaller%%\"*}
"$WINE" "$uninstaller" ${quiet##*\" } >"$WORK/uninstall.log" 2>&1
# The uninstaller runs on from a copy of itself in the temporary folder.
check "the uninstaller removes Program Files\\Quedrino" wait_for 60 test ! -e "$program_dir"
check "it ended the running Quedrino" quedrino_gone
check "the Start-menu shortcut is gone" test ! -e "$start_menu_link"
check "the start at logon is gone" no_value "$run_key" Quedrino
check "the entry in the list of programs is gone" no_key "$uninstall_key"
check "c:\\quedrino\\quedrino.txt is still there, byte for byte" cmp "$WORK/reminders.before" "$reminders"

finish

# Shared by the scripts that run Windows builds under Wine. Sourced, not run.
# The sourcing script makes WORK (a temporary folder) first; everything Wine
# writes goes under it, so no real Wine prefix is ever touched.

WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
# Quiet: no debug channels, and no offer to install Mono or Gecko.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# new_prefix: a fresh WINEPREFIX under WORK, made and started; its c:\ is
# $WINEPREFIX/drive_c.
new_prefix() {
    export WINEPREFIX=$WORK/prefix
    rm -rf "$WINEPREFIX"
    "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 && "$WINESERVER" -w 2>/dev/null
    [ -d "$WINEPREFIX/drive_c/windows" ]
}

# The Windows path of a file under Linux's /: Wine's z: drive.
windows_path() { printf 'z:%s' "$(realpath -m "$1" | tr / '\\')"; }

# Ends every program of the prefix.
end_prefix() { "$WINESERVER" -k 2>/dev/null; }

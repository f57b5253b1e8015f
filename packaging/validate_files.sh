#!/usr/bin/env bash
# Runs the desktop's validators over desktop entries and AppStream files, and
# man's over manual pages, as they are in the source and build trees; prints
# PASS:/FAIL: lines. Exits 77 (skipped) when a desktop validator is not
# installed; a manual page is skipped alone when man-db is not.
# Usage: validate_files.sh FILE...   (*.desktop, *.metainfo.xml and *.1)
set -uo pipefail

for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (apt-get install desktop-file-utils appstream)"; exit 77; }
done

passed=0
failed=0
for file in "$@"; do
    case $file in
    *.desktop)
        out=$(desktop-file-validate "$file" 2>&1)
        status=$?
        # It exits 0 with warnings and hints too: any word from it counts.
        [ -z "$out" ] || status=1
        ;;
    *.xml)
        out=$(appstreamcli validate --no-net --strict "$file" 2>&1)
        status=$?
        ;;
    *.1)
        if ! command -v man >/dev/null || ! command -v lexgrog >/dev/null; then
            echo "SKIP: $(basename "$file"): man-db is not installed (apt-get install man-db)"
            continue
        fi
        # groff's warnings as Debian's checker asks for them, and a NAME
        # section that whatis and apropos can read.
        out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)
        lexgrog "$file" >/dev/null 2>&1 || out+="lexgrog finds no NAME line for whatis"
        status=0
        [ -z "$out" ] || status=1
        ;;
    *)
        echo "FAIL: $file is neither a desktop entry, AppStream data nor a manual page"
        failed=$((failed + 1))
        continue
        ;;
    esac
    if [ "$status" -eq 0 ]; then
        echo "PASS: $(basename "$file") passes its validator"
        passed=$((passed + 1))
    else
        echo "FAIL: $(basename "$file"):"
        echo "$out" | sed 's/^/  /'
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]

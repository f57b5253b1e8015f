#!/usr/bin/env bash
# Runs the desktop's validators over desktop entries and AppStream files, as
# they are in the source and build trees; prints PASS:/FAIL: lines. Exits 77
# (skipped) when a validator is not installed.
# Usage: validate_files.sh FILE...   (*.desktop and *.metainfo.xml)
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
    *)
        echo "FAIL: $file is neither a desktop entry nor AppStream data"
        failed=$((failed + 1))
        continue
        ;;
    esac
    if [ $status -eq 0 ]; then
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

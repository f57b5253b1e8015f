#!/usr/bin/env bash
# Builds Quedrino in build/ (installing what it needs, like scripts/run) and
# makes the Debian package from it with cpack; prints the package's path.
set -euo pipefail
source "$(dirname "$(realpath "${BASH_SOURCE[0]}")")/../scripts/lib.sh"

ensure_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
build_tree "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
build_package "$ROOT/build"

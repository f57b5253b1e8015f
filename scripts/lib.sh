# Shared by scripts/run, scripts/test, scripts/windows, scripts/build-qt-windows
# and packaging/build_deb.sh: install what is missing, then build.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev
    qt6-translations-l10n qt6-qpa-plugins fonts-liberation)
# The desktop the journeys run on, for Linux's build and under Wine: a virtual X
# server with a tray, a window manager, synthetic keys and a sound server.
SESSION_PACKAGES=(xvfb xauth trayer xdotool x11-utils openbox pulseaudio pulseaudio-utils sox)
TEST_PACKAGES=("${SESSION_PACKAGES[@]}" wmctrl faketime desktop-file-utils appstream python3-pyatspi python3-gi
    at-spi2-core dbus-daemon dbus-bin)
# Fuzzing the core: clang with its libFuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-dev)
# Making the Debian package: cpack's dependency list comes from dpkg-shlibdeps,
# which finds the binaries with file; the package test checks it with lintian
# and reads its manual page with man.
PACKAGE_PACKAGES=(dpkg-dev file lintian man-db)
# Building Qt for Windows from Debian's qt6-base source: MinGW-w64 and the
# host's Qt tools (moc, rcc, uic), which the Windows Qt uses; syncqt is Perl.
QT_WINDOWS_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix qt6-base-dev-tools qt6-base-dev xz-utils perl patch)
# Cross-building Quedrino for 64-bit Windows (the cross build's CMake needs the
# host's Qt6HostInfo from qt6-base-dev), its installer and zip, Qt's own
# translations (Qt for Windows brings none), and Wine to run the tests.
WINDOWS_PACKAGES=("${QT_WINDOWS_PACKAGES[@]}" nsis zip unzip qt6-translations-l10n wine64)

# Qt for Windows is unpacked or built once per user, for every checkout.
QT_WINDOWS_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/quedrino

# The upstream version of the host's Qt tools, 6.4.2 for 6.4.2+dfsg-10.
host_qt_version() {
    local v
    v=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null) || v=
    if [ -z "$v" ]; then
        echo "qt6-base-dev-tools is not installed" >&2
        return 1
    fi
    v=${v#*:}
    echo "${v%%[+~-]*}"
}

# Installs the Debian packages that are not installed yet; does nothing (and
# asks for nothing) when all are there.
ensure_packages() {
    local missing=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "== Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# build_tree DIR [cmake options...]: configures DIR when new or when the
# options changed, then builds what changed. Changed options configure afresh:
# CMake reads a toolchain file only into a new cache, and an option left out
# must not keep its old value.
build_tree() {
    local dir=$1
    shift
    local stamp="$dir/.quedrino-options" fresh=()
    if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$*" ]; then
        [ -f "$dir/CMakeCache.txt" ] && fresh=(--fresh)
        cmake "${fresh[@]}" -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
        echo "$*" >"$stamp"
    fi
    cmake --build "$dir" -- -j"$(nproc)"
}

# build_package DIR: makes the Debian package from the built tree DIR and
# prints the package's path.
build_package() {
    local out
    out=$(cd "$1" && cpack -G DEB 2>&1) || {
        echo "$out" >&2
        return 1
    }
    echo "$out" | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
}

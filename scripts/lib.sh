# Shared by scripts/run, scripts/test and packaging/build_deb.sh: install what
# is missing, then build.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev
    qt6-translations-l10n qt6-qpa-plugins fonts-liberation)
TEST_PACKAGES=(xvfb xauth trayer xdotool x11-utils openbox wmctrl faketime pulseaudio pulseaudio-utils sox
    desktop-file-utils appstream python3-pyatspi python3-gi at-spi2-core dbus-daemon dbus-bin)
# Fuzzing the core: clang with its libFuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-dev)
# Making the Debian package: cpack's dependency list comes from dpkg-shlibdeps,
# which finds the binaries with file; the package test checks it with lintian
# and reads its manual page with man.
PACKAGE_PACKAGES=(dpkg-dev file lintian man-db)

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
# options changed, then builds what changed.
build_tree() {
    local dir=$1
    shift
    local stamp="$dir/.quedrino-options"
    if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$*" ]; then
        cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
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

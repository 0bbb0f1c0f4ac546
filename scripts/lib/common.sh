# Shared by the project's scripts: installing missing Debian packages and building.

# Installs the Debian packages given that are not installed yet.
ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing Debian packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The packages every build needs.
HOST_PACKAGES=(g++ cmake ninja-build googletest libgtest-dev libgmock-dev mscompress libmspack-dev liblnk-utils libfreetype-dev libpng-dev fonts-liberation2 pkg-config)
CROSS_PACKAGES=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
# The GUI tests under Wine: Wine itself, a virtual X display, screenshots and their conversion.
WINE_PACKAGES=(wine wine64 xvfb xauth x11-apps imagemagick)

jobs() { nproc 2>/dev/null || echo 2; }

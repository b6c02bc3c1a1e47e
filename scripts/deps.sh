# Installs the Debian packages that are missing; sourced by run.sh and test.sh.
# Usage: install_missing PACKAGE...

install_missing() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the game needs.
# qt6-translations-l10n puts Qt's own dialogs of the editor in the user's language.
# libfmt-dev: the texts in the user's language, which the game's launcher speaks too.
RUN_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libfmt-dev zlib1g-dev fonts-arphic-uming qt6-translations-l10n)
# What the tests, the odds tool, benchmarks and fuzzing need on top.
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev
    xvfb xauth xdotool imagemagick nlohmann-json3-dev libcxxopts-dev libfmt-dev qt6-translations-l10n)
# What building for Windows (scripts/build-windows.sh) needs: the MinGW-w64
# cross compilers (posix threads), ImageMagick for the programs' icon, and the
# header-only libraries the tools use (cmake/windows_header_libraries.cmake),
# zlib for the PNG reader (linked in statically).
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest imagemagick
    libfmt-dev nlohmann-json3-dev libcxxopts-dev libz-mingw-w64-dev)
# What running the Windows tests under wine (scripts/test-windows.sh) needs on
# top: 64-bit wine, its own X server, and a font that covers GB2312.
WINDOWS_TEST_PACKAGES=(wine wine64 xvfb xauth xdotool fonts-wqy-microhei)
# What making the Windows packages (scripts/package-windows.sh) needs on top of
# building: NSIS for the setup program, unzip to check the portable zip, and
# the Chinese locale source that the check makes a locale of for wine.
WINDOWS_PACKAGE_PACKAGES=(nsis unzip locales)
# What making the packages (scripts/package.sh) and checking them as a user
# would (scripts/check_packages.sh) need on top, with Debian's checkers of
# packages, menu entries and software-centre entries.
PACKAGE_PACKAGES=(dpkg-dev file help2man xvfb xauth xdotool x11-utils lintian desktop-file-utils appstream)
# What checking the .deb on a fresh Debian 12 root (scripts/check_fresh_debian.sh) needs on top.
FRESH_PACKAGES=(mmdebstrap imagemagick)

#!/usr/bin/env bash
# Makes the Debian package and the portable .tar.gz folder in one go.
# Usage: scripts/package.sh [BUILD_DIR]   (default build-package)
# The packages land in BUILD_DIR: prizedraw_VERSION-1_ARCH.deb and
# prizedraw-VERSION-linux-ARCH.tar.gz.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"

build=${1:-build-package}
# Built as Debian builds its packages: -O2 with all its hardening flags
# (bindnow too, which the defaults leave out). Passed as cache values, not
# as CXXFLAGS and LDFLAGS, which CMake reads only when it makes the folder.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF -DPRIZEDRAW_TOOLS=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DPRIZEDRAW_MAN_PAGES=ON -DPRIZEDRAW_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/prizedraw[_-]*.deb "$build"/prizedraw-*.tar.gz
(cd "$build" && cpack)
ls -l "$build"/prizedraw[_-]*.deb "$build"/prizedraw-*.tar.gz

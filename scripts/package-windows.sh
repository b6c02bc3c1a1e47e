#!/usr/bin/env bash
# Makes the Windows packages in one go: the per-user setup program and the
# portable zip, built with MinGW-w64 into build-windows-package/.
# Usage: scripts/package-windows.sh
# The packages land in build-windows-package/: prizedraw-VERSION-win64-setup.exe
# and prizedraw-VERSION-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${WINDOWS_BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGE_PACKAGES[@]}"

build=build-windows-package
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# The flags of scripts/build-windows.sh, so that the compiler cache serves
# both; cpack strips the programs.
cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DPRIZEDRAW_TOOLS=ON -DPRIZEDRAW_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/prizedraw-*-win64-setup.exe "$build"/prizedraw-*-win64.zip
(cd "$build" && cpack)
ls -l "$build"/prizedraw-*-win64-setup.exe "$build"/prizedraw-*-win64.zip

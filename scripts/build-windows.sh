#!/usr/bin/env bash
# Builds the Windows programs and the Windows test suites with MinGW-w64 into
# build-windows/ (the game as build-windows/prizedraw.exe beside data.ini and
# picture/). Installs the cross compilers when they are missing.
# Usage: scripts/build-windows.sh [extra cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${WINDOWS_BUILD_PACKAGES[@]}"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DPRIZEDRAW_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build build-windows -j "$(nproc)"

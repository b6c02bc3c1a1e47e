#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it with the bundled prize list.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DPRIZEDRAW_TOOLS=OFF >/dev/null
cmake --build build -j "$(nproc)" --target prizedraw
exec build/prizedraw "$@"

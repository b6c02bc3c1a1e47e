#!/usr/bin/env bash
# Renders the odds sheet of the bundled prize list with headless Chromium and
# saves a picture of it for the README. Installs Debian's chromium if missing.
# Usage: tools/sheet_screenshot.sh [BUILD_DIR [OUTPUT_PNG]]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing chromium
build=${1:-build}
output=${2:-docs/prizeodds-sheet.png}
[ -x "$build/prizeodds" ] || { echo "no $build/prizeodds: build it first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/prizeodds" --html "$work/sheet.html" sample/data.ini >/dev/null
# A fresh profile in the scratch folder, and nothing that reaches the network.
chromium --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update \
    --disable-sync --no-first-run --hide-scrollbars --user-data-dir="$work/profile" \
    --window-size=800,740 --screenshot="$work/sheet.png" "file://$work/sheet.html" 2>/dev/null
mv "$work/sheet.png" "$output"
echo "saved $output"

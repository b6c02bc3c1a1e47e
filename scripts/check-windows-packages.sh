#!/usr/bin/env bash
# Checks the Windows packages as a Windows user would, under wine in a scratch
# prefix inside build-windows-package/: a silent install for the current user,
# the installed game's window, the installed prizeodds on the installed list, a
# changed list that survives a second install and the uninstaller, the zip
# unpacked elsewhere, and a GBK CSV imported there. One line per check; the
# first failure ends the script with status 1.
# Usage: scripts/check-windows-packages.sh   (after scripts/package-windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${WINDOWS_TEST_PACKAGES[@]}" "${WINDOWS_PACKAGE_PACKAGES[@]}"
source scripts/own_xvfb.sh

build=$PWD/build-windows-package
shopt -s nullglob
setups=("$build"/prizedraw-*-win64-setup.exe)
zips=("$build"/prizedraw-*-win64.zip)
[ ${#setups[@]} -eq 1 ] && [ ${#zips[@]} -eq 1 ] ||
    { echo "no packages in $build: run scripts/package-windows.sh first" >&2; exit 1; }
setup=${setups[0]}
zip=${zips[0]}
version=$(basename "$zip" -win64.zip)
version=${version#prizedraw-}

scratch=$build/check
export WINEPREFIX=$scratch/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no .NET or Gecko installer prompts
game=
cleanup() {
    [ -z "$game" ] || kill "$game" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -z "${xvfb:-}" ] || { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; } || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

# Wine strays into other work when a prefix was left by an interrupted run.
rm -rf "$scratch"
mkdir -p "$WINEPREFIX"
start_own_xvfb
started=$(date +%s)
wineserver -p
timeout 300 wineboot -i >/dev/null 2>&1
timeout 120 wine cmd /c exit </dev/null >/dev/null 2>&1
echo "== a fresh wine prefix in $(($(date +%s) - started)) s; $(basename "$setup") $(du -k "$setup" | cut -f1) KiB, $(basename "$zip") $(du -k "$zip" | cut -f1) KiB"

# Starts the game EXE (a Unix path) from another folder, waits for its window,
# and says its size; the game may run at most two minutes.
see_game() {
    local exe=$1 window
    (cd "$scratch" && exec timeout 120 wine "$exe" </dev/null >/dev/null 2>&1) &
    game=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Powered by' | head -1) ||
        fail "no window from $exe"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local name
    name=$(xdotool getwindowname "$window")
    [ "${WIDTH}x${HEIGHT}" = 539x407 ] || fail "the window of $exe is ${WIDTH}x${HEIGHT}, not 539x407"
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    game=
    # Gone before the next game starts, so that the next window found is its own.
    for _ in $(seq 100); do xdotool search --onlyvisible --name 'Powered by' >/dev/null || break; sleep 0.1; done
    echo "window \"$name\" ${WIDTH}x${HEIGHT}"
}

users=("$WINEPREFIX"/drive_c/users/*/AppData)
[ ${#users[@]} -ge 1 ] || fail "no user folder in the wine prefix"
appdata=${users[0]}
installed=$appdata/Local/Programs/PrizeDraw
installed_windows='C:\users\'$(basename "$(dirname "$appdata")")'\AppData\Local\Programs\PrizeDraw'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\PrizeDraw'

# 1. Silent install into the per-user default folder.
timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the setup program exited with status $?"
for file in prizedraw.exe prizeodds.exe prizelist.exe data.ini picture/荧光棒.jpg README.txt LICENSE.txt Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the install has no $file in $installed"
done
registry=$(timeout 60 wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r') ||
    fail "no entry $uninstall_key in the installed programs"
for value in 'DisplayVersion.*REG_SZ' 'Publisher.*REG_SZ.*prize draw' 'DisplayIcon.*prizedraw.exe' 'UninstallString'; do
    grep -qi "$value" <<<"$registry" || fail "the installed-programs entry lacks $value"
done
menu=$appdata/Roaming/Microsoft/Windows/Start\ Menu/Programs/Prize\ Draw
for link in "Prize Draw" "Prize list and pictures" Uninstall; do
    [ -f "$menu/$link.lnk" ] || fail "no Start-menu entry \"$link\""
done
pass "silent install (/S) into $installed_windows, installed-programs entry $(grep -o 'DisplayVersion.*' <<<"$registry" | tr -s ' '), 3 Start-menu entries"

# 2. The installed game shows its window.
pass "installed game: $(see_game "$installed/prizedraw.exe")"

# 3. The installed prizeodds reads the installed list.
odds=$(cd "$installed" && timeout 60 wine prizeodds.exe data.ini </dev/null 2>&1 | tr -d '\r') ||
    fail "the installed prizeodds.exe failed on the installed list: $odds"
grep -q '8 prizes, weights add up to 100' <<<"$odds" && grep -q '荧光棒' <<<"$odds" ||
    fail "the installed prizeodds.exe did not list the 8 prizes: $odds"
[ "$(grep -c ' loaded$' <<<"$odds")" -eq 8 ] || fail "not every installed picture loads: $odds"
pass "installed prizeodds.exe: $(grep -m1 '8 prizes' <<<"$odds")"

# 4. A second install over the first (/D= this time) keeps a changed list and
#    pictures; the bundled ones left unchanged are reinstalled as they were.
sed -i '1s/^30/31/' "$installed/data.ini"
changed=$(md5sum <"$installed/data.ini")
cp "$installed/picture/荧光棒.jpg" "$installed/picture/我的奖品.jpg"
rm "$installed/prizeodds.exe" "$installed/picture/棒棒糖.jpg"
timeout 120 wine "$setup" /S "/D=$installed_windows" </dev/null >/dev/null 2>&1 || fail "the second install exited with status $?"
[ "$(md5sum <"$installed/data.ini")" = "$changed" ] || fail "the second install overwrote the changed data.ini"
[ -f "$installed/picture/我的奖品.jpg" ] && [ -f "$installed/prizeodds.exe" ] ||
    fail "the second install lost an added picture or did not reinstall prizeodds.exe"
[ ! -e "$installed/picture/棒棒糖.jpg" ] || fail "the second install brought back a sample picture the user had deleted"
pass "second install (/S /D=): the changed data.ini and an added picture kept, a deleted sample picture not brought back, the programs reinstalled"

# 5. The uninstaller removes what it installed and leaves what the user changed
#    or added. _?= runs it in place, so that wine waits for it.
timeout 120 wine "$installed/Uninstall.exe" /S "_?=$installed_windows" </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller exited with status $?"
for file in prizedraw.exe prizeodds.exe prizelist.exe README.txt picture/荧光棒.jpg; do
    [ ! -e "$installed/$file" ] || fail "the uninstaller left $file"
done
[ "$(md5sum <"$installed/data.ini")" = "$changed" ] && [ -f "$installed/picture/我的奖品.jpg" ] ||
    fail "the uninstaller removed the changed data.ini or the added picture"
! timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the installed-programs entry is still there"
[ ! -e "$menu" ] || fail "the Start-menu folder is still there"
pass "uninstall (/S): programs, unchanged pictures, Start menu and entry removed; left $(cd "$installed" && find . -type f ! -name Uninstall.exe | sort | tr '\n' ' ')"

# 5b. An install into a folder of the user's choice, then a second run without
#     /D=: it proposes (and, silent, takes) the folder of the first.
chosen=$WINEPREFIX/drive_c/奖品抽奖
timeout 120 wine "$setup" /S '/D=C:\奖品抽奖' </dev/null >/dev/null 2>&1 || fail "the install into C:\奖品抽奖 exited with status $?"
rm "$chosen/prizelist.exe"
timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the install without /D= exited with status $?"
[ -f "$chosen/prizelist.exe" ] || fail "the second run did not install into the folder of the first"
[ ! -e "$installed/prizedraw.exe" ] || fail "the second run installed into the default folder, not the first one's"
timeout 120 wine "$chosen/Uninstall.exe" /S '_?=C:\奖品抽奖' </dev/null >/dev/null 2>&1 || fail "the uninstaller exited with status $?"
pass "a second run without /D= installs into the folder of the first (C:\奖品抽奖)"

# 6. The zip unpacked elsewhere starts the game.
unzip -q "$zip" -d "$scratch/usb"
folder=$scratch/usb/$(basename "$zip" .zip)
for file in prizedraw.exe prizeodds.exe prizelist.exe data.ini picture/荧光棒.jpg README.txt LICENSE.txt; do
    [ -f "$folder/$file" ] || fail "the zip has no $(basename "$folder")/$file"
done
for exe in "$folder"/*.exe; do
    [ "$(strings -el "$exe" | grep -A1 -x ProductVersion | tail -1)" = "$version" ] && grep -q PerMonitorV2 "$exe" ||
        fail "$(basename "$exe") lacks the version resource $version or the manifest"
done
pass "zip unpacked: every .exe carries version $version and the manifest; $(see_game "$folder/prizedraw.exe")"

# 7. prizelist.exe imports a CSV saved in GBK, as Excel saves "CSV" on Chinese Windows.
printf 'weight,color,name,amount,note\r\n70,65535,荧光棒,10,\r\n30,#FF0000,金条,1,大奖\r\n' | iconv -f UTF-8 -t GBK >"$folder/prizes.csv"
said=$(cd "$folder" && timeout 60 wine prizelist.exe import prizes.csv -o imported.ini </dev/null 2>&1 | tr -d '\r') ||
    fail "prizelist.exe import failed: $said"
grep -q 'as GBK' <<<"$said" || fail "prizelist.exe did not read the CSV as GBK: $said"
list=$(iconv -f GBK -t UTF-8 "$folder/imported.ini" | tr -d '\r' | paste -sd ' ') || fail "imported.ini is not GBK"
[ "$list" = "70 65535 荧光棒 10  30 255 金条 1 大奖" ] || fail "imported.ini holds: $list"
pass "zip prizelist.exe import of a GBK CSV: $said; the list: $list"

echo "== Windows packages checked in $(($(date +%s) - started)) s"

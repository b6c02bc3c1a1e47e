#!/usr/bin/env bash
# Checks the Windows packages as a Windows user would, under wine in a scratch
# prefix inside build-windows-package/: a silent install for the current user,
# the installed game's window, the installed prizeodds on the installed list, a
# changed list that survives a second install and the uninstaller, an install
# in Chinese, one into a folder that holds the user's own files, the zip
# unpacked elsewhere, and a GBK CSV imported there. One line per check; the
# first failure ends the script with status 1.
# Usage: scripts/check-windows-packages.sh   (after scripts/package-windows.sh)
# With PRIZEDRAW_EARLIER_SETUP=<an earlier prizedraw-*-setup.exe> it also
# checks an upgrade over what that one installed.
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
# English unless a run says otherwise; wine takes its display language and the
# character set of Unix file names from the locale.
export LC_ALL=C.UTF-8 LANGUAGE=
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
# A Chinese locale of our own, for the runs in Chinese: wine needs one that the
# C library knows, or Chinese file names fail.
mkdir -p "$scratch/locale"
localedef -i zh_CN -f UTF-8 "$scratch/locale/zh_CN.UTF-8" >/dev/null 2>&1 || fail "localedef could not make zh_CN.UTF-8"
in_chinese() { LOCPATH=$scratch/locale LC_ALL=zh_CN.UTF-8 "$@"; }
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
for file in prizedraw.exe prizeodds.exe prizelist.exe data.ini picture/荧光棒.jpg prizedraw-README.txt prizedraw-LICENSE.txt \
    prizedraw-uninstall.exe prizedraw-installed.ini; do
    [ -f "$installed/$file" ] || fail "the install has no $file in $installed"
done
registry=$(timeout 60 wine reg query "$uninstall_key" 2>/dev/null | tr -d '\r') ||
    fail "no entry $uninstall_key in the installed programs"
for value in 'DisplayVersion.*REG_SZ' 'Publisher.*REG_SZ.*prize draw' 'DisplayIcon.*prizedraw.exe' 'UninstallString'; do
    grep -qi "$value" <<<"$registry" || fail "the installed-programs entry lacks $value"
done
programs=$appdata/Roaming/Microsoft/Windows/Start\ Menu/Programs
menu=$programs/Prize\ Draw
# The editor and its entry come with the packages when the build has it.
links=("Prize Draw" "Prize list and pictures" "Uninstall Prize Draw")
chinese_links=(抽奖 奖品列表和图片 卸载抽奖)
if [ -f "$installed/prizeedit.exe" ]; then
    links+=("Edit prize list")
    chinese_links+=(编辑奖品清单)
fi
for link in "${links[@]}"; do
    [ -f "$menu/$link.lnk" ] || fail "no Start-menu entry \"$link\""
done
pass "silent install (/S) into $installed_windows, installed-programs entry $(grep -o 'DisplayVersion.*' <<<"$registry" | tr -s ' '), Start-menu entries: ${links[*]}"

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
timeout 120 wine "$installed/prizedraw-uninstall.exe" /S "_?=$installed_windows" </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller exited with status $?"
# What is left, but for the uninstaller itself, which cannot remove itself when run in place.
left() { (cd "$1" && find . -type f ! -name prizedraw-uninstall.exe | sed 's|^\./||' | LC_ALL=C sort | paste -sd ' '); }
[ "$(left "$installed")" = "data.ini picture/我的奖品.jpg" ] ||
    fail "the uninstaller should leave the changed data.ini and the added picture only, not: $(left "$installed")"
[ "$(md5sum <"$installed/data.ini")" = "$changed" ] || fail "the uninstaller changed data.ini"
! timeout 60 wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the installed-programs entry is still there"
[ ! -e "$menu" ] || fail "the Start-menu folder is still there"
pass "uninstall (/S): its own files, Start menu and entry removed; left $(left "$installed")"

# 5b. In Chinese, an install into a folder of the user's choice, then a second
#     run without /D=: it proposes (and, silent, takes) the folder of the first.
chosen=$WINEPREFIX/drive_c/奖品抽奖
in_chinese timeout 120 wine "$setup" /S '/D=C:\奖品抽奖' </dev/null >/dev/null 2>&1 || fail "the install into C:\奖品抽奖 exited with status $?"
for link in "${chinese_links[@]}"; do
    [ -f "$programs/抽奖/$link.lnk" ] || fail "no Chinese Start-menu entry 抽奖\\$link: $(ls "$programs"/*)"
done
rm "$chosen/prizelist.exe"
in_chinese timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the install without /D= exited with status $?"
[ -f "$chosen/prizelist.exe" ] || fail "the second run did not install into the folder of the first"
[ ! -e "$installed/prizedraw.exe" ] || fail "the second run installed into the default folder, not the first one's"
in_chinese timeout 120 wine "$chosen/prizedraw-uninstall.exe" /S '_?=C:\奖品抽奖' </dev/null >/dev/null 2>&1 || fail "the uninstaller exited with status $?"
[ ! -e "$programs/抽奖" ] || fail "the Chinese Start-menu folder is still there"
pass "in Chinese: Start menu 抽奖 with ${chinese_links[*]}; a second run without /D= installs into the folder of the first (C:\奖品抽奖)"

# 5c. A folder that already holds the user's own README.txt, LICENSE.txt and
#     notes.txt: install and uninstall leave all three as they were.
mine=$WINEPREFIX/drive_c/派对
mkdir -p "$mine"
printf 'Party plan\r\n' >"$mine/README.txt"
printf 'My licence\r\n' >"$mine/LICENSE.txt"
printf '年会 notes\r\n' >"$mine/notes.txt"
theirs=$(cd "$mine" && md5sum README.txt LICENSE.txt notes.txt)
timeout 120 wine "$setup" /S '/D=C:\派对' </dev/null >/dev/null 2>&1 || fail "the install into C:\派对 exited with status $?"
[ "$(cd "$mine" && md5sum README.txt LICENSE.txt notes.txt)" = "$theirs" ] || fail "the install changed the user's own files in C:\派对"
[ -f "$mine/prizedraw.exe" ] && [ -f "$mine/prizedraw-README.txt" ] || fail "the install into C:\派对 lacks its files"
timeout 120 wine "$mine/prizedraw-uninstall.exe" /S '_?=C:\派对' </dev/null >/dev/null 2>&1 || fail "the uninstaller exited with status $?"
[ "$(cd "$mine" && md5sum README.txt LICENSE.txt notes.txt)" = "$theirs" ] && [ "$(left "$mine")" = "LICENSE.txt README.txt notes.txt" ] ||
    fail "the uninstall should leave the user's three files only, as they were, not: $(left "$mine")"
pass "a folder with the user's README.txt, LICENSE.txt, notes.txt: kept unchanged by install and uninstall, nothing else left"

# 5d. An upgrade over an earlier setup program's install, which put README.txt,
#     LICENSE.txt and Uninstall.exe there: the unchanged README goes, the
#     LICENSE.txt the user changed stays, a deleted sample picture stays deleted.
earlier=${PRIZEDRAW_EARLIER_SETUP:-}
if [ -n "$earlier" ]; then
    rm -rf "$installed"
    timeout 120 wine "$earlier" /S </dev/null >/dev/null 2>&1 || fail "the earlier setup program exited with status $?"
    [ -f "$installed/bundled.ini" ] && [ -f "$installed/README.txt" ] || fail "$earlier did not install the earlier layout"
    printf 'my addition\r\n' >>"$installed/LICENSE.txt"
    sed -i '1s/^30/31/' "$installed/data.ini"
    rm "$installed/picture/棒棒糖.jpg"
    timeout 120 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the upgrade exited with status $?"
    [ "$(left "$installed")" = "LICENSE.txt data.ini picture/保温杯.jpg picture/智能手表.jpg picture/玩具熊.jpg picture/电影票.jpg picture/荧光棒.jpg picture/蓝牙耳机.jpg picture/金条.jpg prizedraw-LICENSE.txt prizedraw-README.txt prizedraw-installed.ini prizedraw.exe prizelist.exe prizeodds.exe" ] ||
        fail "after the upgrade the folder holds: $(left "$installed")"
    timeout 120 wine "$installed/prizedraw-uninstall.exe" /S "_?=$installed_windows" </dev/null >/dev/null 2>&1 || fail "the uninstaller exited with status $?"
    [ "$(left "$installed")" = "LICENSE.txt data.ini" ] || fail "after the upgrade's uninstall the folder holds: $(left "$installed")"
    [ -z "$(ls "$menu" 2>/dev/null)" ] || fail "the upgrade's uninstall left Start-menu entries: $(ls "$menu")"
    pass "upgrade over $(basename "$earlier"): its README.txt and Uninstall.exe replaced, the changed LICENSE.txt and data.ini kept, a deleted picture not brought back; uninstall left $(left "$installed")"
    rm -rf "$installed"
fi

# 6. The zip unpacked elsewhere starts the game.
unzip -q "$zip" -d "$scratch/usb"
folder=$scratch/usb/$(basename "$zip" .zip)
for file in prizedraw.exe prizeodds.exe prizelist.exe data.ini picture/荧光棒.jpg prizedraw-README.txt prizedraw-LICENSE.txt; do
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

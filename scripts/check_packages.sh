#!/usr/bin/env bash
# Checks the packages as a user would: runs lintian on the .deb (an error
# fails), installs it with apt, validates the installed menu entries and
# software-centre entries, starts the installed game under a virtual X display
# as a new user and finds its window, playing the user's own game folder that
# the first start made (a second start keeps an edited list), opens the
# editor on that folder's list as the menu does, runs the installed prizeodds
# on the installed list, then unpacks the .tar.gz in a scratch folder and
# starts the game from there. Neither game may write into its installed or
# unpacked folder. The package is removed again unless it was installed before.
# Usage: scripts/check_packages.sh [BUILD_DIR]   (default build-package)
set -euo pipefail
export LC_ALL=C.UTF-8 LANGUAGE= # the checks read the tools' English messages
cd "$(dirname "$0")/.."
source scripts/deps.sh
install_missing "${PACKAGE_PACKAGES[@]}"

build=${1:-build-package}
shopt -s nullglob
debs=("$build"/prizedraw_*.deb)
tars=("$build"/prizedraw-*.tar.gz)
[ ${#debs[@]} -eq 1 ] && [ ${#tars[@]} -eq 1 ] || { echo "no packages in $build: run scripts/package.sh first" >&2; exit 1; }
deb=$(readlink -f "${debs[0]}")
tar=$(readlink -f "${tars[0]}")
version=$(dpkg-deb -f "$deb" Version)
version=${version%-*}

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
scratch=$(mktemp -d)
display=:$((100 + RANDOM % 100))
xvfb= game= installed_here=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    if [ -n "$installed_here" ]; then
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get purge -y -qq prizedraw >/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# Starts GAME (a command), waits for its window and prints what it shows;
# GAME_EXE is the executable the process must end up running.
see_window() {
    local command=$1 expected_exe=$2 window
    QT_QPA_PLATFORM=xcb "$command" &
    game=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Powered by' | head -1) ||
        fail "no window from $command"
    local exe
    exe=$(readlink -f "/proc/$game/exe")
    [ "$exe" = "$(readlink -f "$expected_exe")" ] || fail "$command runs $exe, not $expected_exe"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local icons
    icons=$(xprop -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr -d 'Icon ()' | paste -sd ' ')
    [ -n "$icons" ] || fail "the window has no icon"
    echo "$command: process runs $exe"
    echo "  window $window \"$(xdotool getwindowname "$window")\", ${WIDTH}x${HEIGHT}, icon sizes $icons"
    kill "$game"
    wait "$game" 2>/dev/null || true
    game=
}

echo "== $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB; $(basename "$tar"): $(du -k "$tar" | cut -f1) KiB"
dpkg-deb -f "$deb" Package Version Depends

echo "== lintian $(basename "$deb")"
# Warnings are printed for the record; an error fails the check.
lintian --fail-on error "$deb" || fail "lintian found an error in $(basename "$deb")"

echo "== install the Debian package with apt"
dpkg-query -W -f='${Status}' prizedraw 2>/dev/null | grep -q 'install ok installed' || installed_here=1
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=120 "$deb" >/dev/null
dpkg-query -W -f='${Package} ${Version} ${Status}\n' prizedraw
for tool in prizeodds prizelist prizeedit; do
    [ "$(command -v "$tool")" = /usr/bin/$tool ] || fail "$tool is not /usr/bin/$tool"
    said=$(QT_QPA_PLATFORM=offscreen $tool --version 2>/dev/null)
    [ "$said" = "$tool $version" ] || fail "$tool --version says $said, not $version"
    zgrep -q "^$tool \\\\- " "/usr/share/man/man1/$tool.1.gz" || fail "the man page of $tool does not name $tool"
    echo "$said"
done

[ -s /usr/share/doc/prizedraw/first-draw.zh_CN.md ] || fail "the Chinese guide to a first draw is not installed"

echo "== the installed menu entries and software-centre entries"
mapfile -t desktop_files < <(dpkg -L prizedraw | grep '^/usr/share/applications/.*\.desktop$')
mapfile -t metainfo_files < <(dpkg -L prizedraw | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')
[ ${#desktop_files[@]} -eq 2 ] || fail "expected the game's and the editor's menu entries, found: ${desktop_files[*]}"
[ ${#metainfo_files[@]} -eq 4 ] || fail "expected four software-centre entries, found: ${metainfo_files[*]}"
desktop-file-validate "${desktop_files[@]}" || fail "a menu entry is not valid"
appstreamcli validate --no-net "${metainfo_files[@]}" || fail "a software-centre entry is not valid"
# The package's files on their own, as a software centre pairs them: each
# metainfo's menu entry must be there under its id.
mkdir "$scratch/tree"
dpkg-deb -x "$deb" "$scratch/tree"
appstreamcli validate-tree --no-net "$scratch/tree" || fail "a software-centre entry does not match the package's files"

mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

echo "== start the installed game as a new user"
# A fresh home, as a user who never played: the game makes the user's own folder.
unset XDG_DATA_HOME
export HOME=$scratch/newuser
own=$HOME/.local/share/prizedraw/game
mkdir "$HOME"
touch "$scratch/stamp"
see_window /usr/games/prizedraw "$own/prizedraw"
[ -z "$(find /usr/lib/prizedraw -newer "$scratch/stamp")" ] || fail "the installed game wrote into its folder"
cmp -s "$own/data.ini" /usr/lib/prizedraw/data.ini || fail "$own/data.ini is not the bundled list"
diff -r "$own/picture" /usr/lib/prizedraw/picture >/dev/null || fail "$own/picture is not the bundled pictures"
echo "  made $own: data.ini, $(ls "$own/picture" | wc -l) pictures, the game"
# The user's list, changed (the first prize's weight), survives the next start.
sed -i '1s/^30/29/' "$own/data.ini"
cp "$own/data.ini" "$scratch/edited.ini"
see_window /usr/games/prizedraw "$own/prizedraw"
cmp -s "$own/data.ini" "$scratch/edited.ini" || fail "a second start changed the user's list"
echo "  a second start kept the edited list"

echo "== the menu's editor opens the user's own list"
exec_line=$(grep '^Exec=' /usr/share/applications/*.prizeedit.desktop)
[ "$exec_line" = "Exec=prizeedit --own-list %f" ] || fail "the editor's menu entry runs $exec_line"
export HOME=$scratch/editoruser
mkdir "$HOME"
QT_QPA_PLATFORM=xcb prizeedit --own-list &
game=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name 'data.ini' | head -1) ||
    fail "the editor shows no window on data.ini"
echo "  editor window \"$(xdotool getwindowname "$window")\""
kill "$game"
wait "$game" 2>/dev/null || true
game=
cmp -s "$HOME/.local/share/prizedraw/game/data.ini" /usr/lib/prizedraw/data.ini ||
    fail "the editor did not make the user's own list from the bundled one"

echo "== the installed prizeodds on the installed list"
prizeodds /usr/lib/prizedraw/data.ini >"$scratch/odds.txt" || fail "prizeodds could not read the installed list"
head -4 "$scratch/odds.txt"
grep -q '^Prize list /usr/lib/prizedraw/data.ini: 8 prizes, weights add up to 100$' "$scratch/odds.txt" ||
    fail "prizeodds did not read the 8 prizes of the installed list"
[ "$(grep -c ' loaded$' "$scratch/odds.txt")" -eq 8 ] || fail "not every installed picture loads"

echo "== unpack the portable folder and start the game there"
mkdir "$scratch/portable"
tar -xzf "$tar" -C "$scratch/portable"
folder=$(echo "$scratch"/portable/*)
touch "$scratch/stamp"
see_window "$folder/prizedraw" "$folder/prizedraw"
[ -z "$(find "$folder" -newer "$scratch/stamp")" ] || fail "the portable game wrote into its folder"
(cd "$folder" && ./prizeodds --quiet | head -1)
(cd "$folder" && ./prizelist export data.ini | head -2)

echo "== packages checked: lintian, install, menu and software-centre entries, start in the user's own folder, editor, odds, portable start all passed"

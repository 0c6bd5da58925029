#!/usr/bin/env bash
# Makes docs/notes-en-wine.png: the Windows build's note view as Wine shows
# it on a private Xvfb, from the zip that scripts/windows.sh packed, with a
# data folder laid by the Linux kladdo-data.
#
# Usage: scripts/windows-screenshot.sh [BUILD_DIR]   (BUILD_DIR: build-windows)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/tests/e2e/lib.sh"

build=$(realpath "${1:-build-windows}")
data_tool=$build-linux/bin/kladdo-data
archives=("$build"/kladdo-*-windows-x86_64.zip)
[ -f "${archives[0]}" ] && [ -x "$data_tool" ] || fail "run scripts/windows.sh first"
screen_width=1280
top=40

unzip -q "${archives[0]}" -d "$work"
folder=$work/$(basename "${archives[0]}" .zip)
data=$folder/DATA
"$data_tool" notes import "$data" 0 "$source_dir/scripts/sample-note-English.html" > /dev/null
"$data_tool" settings set "$data" NOTETITLE Title0 'Week plan' > /dev/null
for setting in 'Language English' "Pos $top" 'RollEffect 0'; do
  # shellcheck disable=SC2086
  "$data_tool" settings set "$data" WINDOW $setting > /dev/null
done

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# A failure, too, ends the prefix's Wine processes before $work goes.
trap 'wineserver -k 2>/dev/null || true; cleanup' EXIT
start_xvfb "$screen_width"
unset QT_QPA_PLATFORM
wineboot -i > /dev/null 2>&1
wineserver -w
(cd / && exec wine "$folder/kladdo.exe") &
program_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) || fail "kladdo.exe showed no window"
wait_for_position $((screen_width - 16)) "$top"
xdotool mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
wait_for_position $((screen_width - 525)) "$top"
xdotool mousemove 0 799
sleep 1
snapshot "$window" "$source_dir/docs/notes-en-wine.png"
wineserver -k 2>/dev/null || true
echo "made docs/notes-en-wine.png"

#!/usr/bin/env bash
# The Windows build's portable zip under Wine on Xvfb: it holds exactly the
# files a user needs, every DLL a program imports is in it or is Windows'
# own, and unpacked into a folder with a space and umlauts it opens a data
# folder that the Linux kladdo-data wrote: the window rolls in at the stored
# top edge at the right screen edge, a right click rolls it out, a second
# start brings it back to the front from behind another program, and so
# does the global key, typed text and the close button leave note0.rtf
# and note.ini, which the Linux kladdo-data reads as its own; and the end of
# the Windows session saves the page as the close button does.
#
# Usage: tests/e2e/windows_e2e.sh BUILD_DIR LINUX_KLADDO_DATA FOREGROUND_WINDOW_EXE
set -euo pipefail

usage="usage: windows_e2e.sh BUILD_DIR LINUX_KLADDO_DATA FOREGROUND_WINDOW_EXE"
build=$(cd "${1:?$usage}" && pwd)
linux_data=${2:?$usage}
foreground_window=${3:?$usage}
screen_width=1280
source "$(dirname "$0")/lib.sh"

left=$((screen_width - 525))

# start_rolled_out: kladdo.exe started from elsewhere, so that only the
# program's own folder can lead it to DATA/. It maps rolled in at the
# stored top edge, and a right click on the left handle rolls it out.
start_rolled_out() {
  (cd / && exec wine "$folder/kladdo.exe") &
  program_pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
    fail "kladdo.exe showed no window"
  wait_for_position $((screen_width - 16)) 120
  xdotool mousemove $((screen_width - 16 + 8)) $((120 + 342 + 23)) click 3
  wait_for_position "$left" 120
}

# type_into_page TEXT: typed into the note page through xdotool.
type_into_page() {
  xdotool mousemove $((left + 200)) $((120 + 100)) click 1
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool type --delay 40 "$1"
}

# wait_for_foreground PATTERN: polls until the title of the window in front,
# as Windows tells it, matches PATTERN.
wait_for_foreground() {
  local title
  for _ in $(seq 50); do
    title=$(wine "$foreground_window" 2>/dev/null | tr -d '\r')
    # shellcheck disable=SC2053
    [[ "$title" == $1 ]] && return 0
    sleep 0.2
  done
  fail "the window in front is '$title', not $1"
}

expected_files="DATA/
DATA/note.wav
LICENSE
Qt6Core.dll
Qt6Gui.dll
Qt6Network.dll
Qt6Widgets.dll
README.md
imageformats/
imageformats/qjpeg.dll
kladdo-data.exe
kladdo-sound.dll
kladdo.exe
libgcc_s_seh-1.dll
libstdc++-6.dll
libwinpthread-1.dll
platforms/
platforms/qwindows.dll"

# What every Windows has; anything else a program imports must travel with it.
system_dlls=' advapi32.dll api-ms-win-core-synch-l1-2-0.dll authz.dll comdlg32.dll d3d9.dll
 dwmapi.dll dwrite.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll mpr.dll netapi32.dll ole32.dll
 oleaut32.dll setupapi.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll version.dll
 winmm.dll wer.dll ws2_32.dll wtsapi32.dll iphlpapi.dll dnsapi.dll crypt32.dll bcrypt.dll secur32.dll
 ncrypt.dll shcore.dll winspool.drv comctl32.dll d3d11.dll dxgi.dll winhttp.dll
 api-ms-win-core-winrt-l1-1-0.dll api-ms-win-core-winrt-string-l1-1-0.dll'
system_dlls=" $(echo $system_dlls) "

cpack --config "$build/CPackConfig.cmake" -B "$work/pack" > "$work/cpack.log" 2>&1 ||
  fail "cpack failed:
$(cat "$work/cpack.log")"
archives=("$work"/pack/kladdo-*-windows-x86_64.zip)
[ -f "${archives[0]}" ] || fail "cpack made no kladdo-*-windows-x86_64.zip"
archive=${archives[0]}
top=$(basename "$archive" .zip)

files=$(unzip -Z1 "$archive" | sed -e "s|^$top/||" -e '/^$/d' | sort)
[ "$files" = "$expected_files" ] || fail "the zip holds, against what it should:
$(diff <(echo "$expected_files") <(echo "$files"))"

folder="$work/Kladdö Ordner"
mkdir "$folder"
unzip -q "$archive" -d "$folder"
folder="$folder/$top"

# Every DLL imported is in the folder or Windows' own, and every DLL at the
# top of the folder is imported by something; none carries its symbols.
imported=
while IFS= read -r -d '' binary; do
  x86_64-w64-mingw32-objdump -h "$binary" | grep -q '\.debug_' && fail "$(basename "$binary") ships its symbols"
  for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    imported+=" $dll"
    [[ "$system_dlls" == *" $dll "* ]] && continue
    [ -n "$(find "$folder" -maxdepth 1 -iname "$dll")" ] || fail "$(basename "$binary") imports $dll, which is missing"
  done
done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -print0)
for dll in "$folder"/*.dll; do
  name=$(basename "$dll" | tr 'A-Z' 'a-z')
  [ "$name" = kladdo-sound.dll ] && continue # loaded at the first alarm, not imported
  [[ " $imported " == *" $name "* ]] || fail "$name is in the folder but nothing imports it"
done

# The data folder as the Linux build writes it: English, the top edge at 120,
# page 2 with a text of its own, a password page.
data="$folder/DATA"
for setting in 'Pos 120' 'Language English' 'RollEffect 0' 'Note 0'; do
  "$linux_data" settings set "$data" WINDOW $setting
done
printf 'Linux wrote this\n' > "$work/page2.txt"
"$linux_data" notes import "$data" 2 "$work/page2.txt"
printf 'text,name,password\r\nBank,alice,s3cret\r\n' > "$work/pass.csv"
"$linux_data" passwords import "$data" 0 "$work/pass.csv"

# A fresh Wine prefix, so that nothing of the unit tests' runs is left in it.
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# A failure, too, ends the prefix's Wine processes before $work goes.
trap 'wineserver -k 2>/dev/null || true; cleanup' EXIT
start_xvfb "$screen_width"
unset QT_QPA_PLATFORM
wineboot -i > /dev/null 2>&1 || fail "Wine could not make its prefix"
wineserver -w

# The Windows kladdo-data reads what the Linux one wrote, byte for byte.
(cd "$data" && wine "$folder/kladdo-data.exe" passwords export . 0) > "$work/pass0.csv" ||
  fail "kladdo-data.exe could not export password page 0"
head -c "$(stat -c %s "$work/pass.csv")" "$work/pass0.csv" | cmp -s - "$work/pass.csv" ||
  fail "kladdo-data.exe exports password page 0 as
$(od -c "$work/pass0.csv" | head)"
(cd "$data" && wine "$folder/kladdo-data.exe" notes export . 2 --format text) > "$work/page2.out" ||
  fail "kladdo-data.exe could not export note page 2"
grep -q 'Linux wrote this' "$work/page2.out" || fail "note page 2 reads as: $(cat "$work/page2.out")"

start_rolled_out

# Another program comes to the front. A second start on the same folder
# brings the window back to the front, ends by itself and leaves one window.
wine notepad > /dev/null 2>&1 &
notepad_pid=$!
wait_for_foreground '*Notepad*'
status=0
timeout 30 wine "$folder/kladdo.exe" || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with status $status"
wait_for_foreground Kladdo
windows=$(xdotool search --onlyvisible --name '^Kladdo$' | wc -l)
[ "$windows" -eq 1 ] || fail "$windows Kladdo windows are shown"
kill "$notepad_pid"

# The global key, pressed while another program has the keyboard, brings
# the window to the front; pressed again it rolls the window in, and once
# more out.
wine notepad > /dev/null 2>&1 &
notepad_pid=$!
wait_for_foreground '*Notepad*'
xdotool key ctrl+alt+k
wait_for_foreground Kladdo
xdotool key ctrl+alt+k
wait_for_position $((screen_width - 16)) 120
xdotool key ctrl+alt+k
wait_for_position "$left" 120
kill "$notepad_pid"

type_into_page 'Wine typed this'

# The close button saves and ends the program.
xdotool mousemove $((left + 480 + 10)) $((120 + 341 + 15 + 10)) click 1
expect_clean_end "the close button" 200

"$linux_data" notes export "$data" 0 --format text > "$work/page0.out" ||
  fail "the Linux kladdo-data could not read note0.rtf"
grep -q 'Wine typed this' "$work/page0.out" || fail "note0.rtf reads as: $(cat "$work/page0.out")"
[ "$("$linux_data" settings get "$data" WINDOW Pos)" = 120 ] || fail "note.ini lacks Pos=120"
grep -q $'^Language=English\r$' "$data/note.ini" || fail "note.ini lacks Language=English"
# Ending the Windows session saves the page shown, as the close button does.
start_rolled_out
type_into_page 'Session end'
wine wineboot --end-session --force --shutdown > /dev/null 2>&1 || true
wait_for_end "the end of the session" 200
"$linux_data" notes export "$data" 0 --format text > "$work/page0.out"
grep -q 'Session end' "$work/page0.out" || fail "the end of the session did not save note0.rtf: $(cat "$work/page0.out")"

"$linux_data" check "$data" > "$work/check.log" 2>&1 || fail "the Linux kladdo-data finds DATA/ wanting:
$(cat "$work/check.log")"
wineserver -k 2>/dev/null || true
echo "windows ok: $(basename "$archive"), $(stat -c %s "$archive") bytes"

#!/usr/bin/env bash
# The portable folder: CPack's archive holds exactly the files a user needs,
# no installed file points into the build tree or misses a library, and the
# program unpacked into a strange folder starts and shows its window, with
# kladdo-data working on the DATA/ beside it.
#
# Usage: tests/e2e/package_e2e.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?usage: package_e2e.sh BUILD_DIR}" && pwd)
screen_width=1280
source "$(dirname "$0")/../../bench/xvfb.sh"

expected_files="DATA/
DATA/note.wav
LICENSE
README.md
icon/
icon/KLADDO16.xpm
icon/KLADDO32.xpm
icon/KLADDO48.xpm
icon/kladdo.svg
kladdo
kladdo-data
kladdo-sound.so
kladdo.desktop"

cpack --config "$build/CPackConfig.cmake" -B "$work/pack" > "$work/cpack.log" 2>&1 ||
  fail "cpack failed:
$(cat "$work/cpack.log")"
archives=("$work"/pack/kladdo-*.tar.gz)
[ -f "${archives[0]}" ] || fail "cpack made no kladdo-*.tar.gz"
archive=${archives[0]}
top=$(basename "$archive" .tar.gz)

files=$(tar -tzf "$archive" | sed -e "s|^$top/||" -e '/^$/d' | sort)
[ "$files" = "$expected_files" ] || fail "the archive holds, against what it should:
$(diff <(echo "$expected_files") <(echo "$files"))"

folder="$work/un packed"
mkdir "$folder"
tar -xzf "$archive" -C "$folder"
folder="$folder/$top"

for file in kladdo kladdo-data kladdo-sound.so; do
  ! readelf -d "$folder/$file" | grep -qE 'RPATH|RUNPATH' ||
    fail "$file carries a run path: $(readelf -d "$folder/$file" | grep -E 'RPATH|RUNPATH')"
  ! ldd "$folder/$file" | grep -q 'not found' ||
    fail "$file misses libraries: $(ldd "$folder/$file" | grep 'not found')"
done
desktop-file-validate "$folder/kladdo.desktop" || fail "kladdo.desktop is not a valid desktop entry"

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_xvfb "$screen_width"
unset QT_QPA_PLATFORM
# Started from elsewhere, so that only the program's own folder can lead it
# to DATA/.
(cd / && exec "$folder/kladdo") &
program_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
  fail "the unpacked program showed no window"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$X" -eq $((screen_width - 16)) ] || fail "the window is at x $X, not rolled in at the right edge"

"$folder/kladdo-data" check "$folder/DATA" > "$work/check.log" 2>&1 ||
  fail "kladdo-data finds the unpacked DATA/ wanting:
$(cat "$work/check.log")"
echo "package ok: $(basename "$archive"), $(stat -c %s "$archive") bytes"

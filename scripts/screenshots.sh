#!/usr/bin/env bash
# Makes the pictures in docs/ from the real program on a private Xvfb: the
# note view, the alarm area, the password view (masked), the options dialog
# and the rolled-in handle, each in German and English; with --ratio 2 the
# English set again at a device pixel ratio of 2 (names ending in @2x). The
# data folder is laid by kladdo-data and the program's clock is fixed
# (faketime), so that a second run makes the same pictures.
#
# Usage: scripts/screenshots.sh [--ratio 1|2] [BUILD_DIR]   (BUILD_DIR: build)
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/scripts/lib.sh"
source "$source_dir/tests/e2e/lib.sh"

# The device pixel ratio of the pictures: the window keeps its logical
# size, so every screen coordinate below is a logical one times the ratio.
ratio=1
if [ "${1:-}" = --ratio ]; then
  ratio=${2:?--ratio needs a number}
  shift 2
fi
[ "$ratio" = 1 ] || [ "$ratio" = 2 ] || fail "--ratio $ratio: the ratio must be 1 or 2"
build=${1:-build}
for tool in "$build/bin/kladdo" "$build/bin/kladdo-data"; do
  [ -x "$tool" ] || fail "$tool is not built (scripts/start.sh builds build/)"
done
ensure_packages "$source_dir/scripts/packages-screenshots.txt"

screen_width=1280
top=40
left=$((screen_width - 525))
clock='2026-12-01 09:41:00'
alarm='24.12.2035   18:00'
docs=$source_dir/docs
data_tool=$build/bin/kladdo-data

picture_name() {
  if [ "$ratio" = 1 ]; then echo "$docs/$1-$2.png"; else echo "$docs/$1-$2@${ratio}x.png"; fi
}

# at N...: the logical coordinates as the screen's device pixels.
at() {
  local out=() n
  for n in "$@"; do out+=($((n * ratio))); done
  echo "${out[@]}"
}

# lay_data LANGUAGE: a fresh data folder with two formatted note pages, a
# title and a pending alarm on the first, and a full password page.
lay_data() {
  local data=$work/DATA
  rm -rf "$data"
  mkdir "$data"
  cp "$source_dir/resources/note.wav" "$data/"
  if [ "$1" = English ]; then
    printf 'text,name,password\r\nBank,alice,kL9#vr2\r\nMail,alice@example.org,sunny-Day-7\r\nLibrary,A-10422,8843\r\n' > "$work/pass.csv"
    set_setting NOTETITLE Title0 'Week plan'
  else
    printf 'text,name,password\r\nBank,anna,kL9#vr2\r\nPost,anna@example.org,sonniger-Tag-7\r\nBücherei,A-10422,8843\r\n' > "$work/pass.csv"
    set_setting NOTETITLE Title0 'Wochenplan'
  fi
  "$data_tool" notes import "$data" 0 "$source_dir/scripts/sample-note-$1.html" > /dev/null
  "$data_tool" passwords import "$data" 0 "$work/pass.csv" > /dev/null
  set_setting WINDOW Language "$1"
  set_setting WINDOW Pos "$top"
  set_setting ALARM Alarm0 "$alarm"
}

set_setting() {
  "$data_tool" settings set "$work/DATA" "$@" > /dev/null
}

# The program under a fixed clock that runs on from the moment it starts;
# timers keep the real monotonic clock.
start_program() {
  FAKETIME_DONT_FAKE_MONOTONIC=1 faketime "$clock" "$work/kladdo" &
  program_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
    fail "no Kladdo window appeared"
}

# shoot NAME X0 Y0 X1 Y1: that part of the screen, with no caret and no
# hint (the input focus on the root, the pointer away), as docs/NAME.png.
shoot() {
  xdotool windowfocus "$(xwininfo -root | awk '/Window id/ { print $4 }')"
  xdotool mousemove 0 $((800 * ratio - 1))
  sleep 1
  xwd -root -silent > "$work/screen.xwd"
  python3 "$source_dir/scripts/xwd2png.py" "$work/screen.xwd" "$1" "$(at "$2" "$3" "$4" "$5" | tr ' ' ,)"
}

toolbar_button() {
  xdotool mousemove $(at $((left + $1 + 10)) $((top + 341 + 15 + 10))) click 1
  sleep 0.5
}

shoot_language() {
  local language=$1 short=$2 options X Y WIDTH HEIGHT
  lay_data "$language"
  start_program
  wait_for_position $(at $((screen_width - 16)) "$top")
  shoot "$(picture_name handle "$short")" $((screen_width - 96)) $((top + 312)) "$screen_width" $((top + 419))
  xdotool mousemove $(at $((screen_width - 16 + 8)) $((top + 342 + 23))) click 3
  wait_for_position $(at "$left" "$top")
  shoot "$(picture_name notes "$short")" "$left" "$top" "$screen_width" $((top + 389))
  toolbar_button 195
  shoot "$(picture_name alarm "$short")" "$left" "$top" "$screen_width" $((top + 549))
  toolbar_button 195
  toolbar_button 25
  shoot "$(picture_name passwords "$short")" "$left" "$top" "$screen_width" $((top + 389))
  toolbar_button 25
  toolbar_button 455
  options=$(second_window)
  [ -n "$options" ] || fail "no options dialog appeared"
  eval "$(xdotool getwindowgeometry --shell "$options")"
  X=$((X / ratio)) Y=$((Y / ratio)) WIDTH=$((WIDTH / ratio)) HEIGHT=$((HEIGHT / ratio))
  shoot "$(picture_name options "$short")" "$X" "$Y" $((X + WIDTH)) $((Y + HEIGHT))
  xdotool mousemove $(at $((X + 147 + 37)) $((Y + 317 + 12))) click 1
  expect_second_window_gone "options dialog"
  toolbar_button 480
  wait "$program_pid" || fail "Kladdo did not end well"
  program_pid=
}

export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
# A sanitizer build must accept faketime loaded before it.
export ASAN_OPTIONS=${ASAN_OPTIONS:-verify_asan_link_order=0:detect_leaks=0}
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$docs"
cp "$build/bin/kladdo" "$build/bin"/kladdo-sound.* "$work/"
export QT_SCALE_FACTOR=$ratio
start_xvfb $(at "$screen_width" 800)
shoot_language English en
if [ "$ratio" = 1 ]; then shoot_language Deutsch de; fi
echo "pictures in $docs"

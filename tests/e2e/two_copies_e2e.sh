#!/usr/bin/env bash
# Two starts on one data folder leave one window: the second start asks the
# running copy to come out and ends by itself with status 0, writing nothing.
# A copy killed outright leaves its lock and its server's name behind; the
# next start must open the folder all the same, and hand over in its turn.
set -euo pipefail

program=$1
screen_width=1280
source "$(dirname "$0")/lib.sh"

# A copy in the background, its window rolled in.
start_first() {
  start_kladdo "$work"
  wait_for_position $((screen_width - 16)) 60
}

# One more start ends by itself with status 0, and the first rolls out.
start_second() {
  local status=0 started windows
  touch "$work/before"
  started=${EPOCHREALTIME/./}
  timeout 10 "$work/kladdo" || status=$?
  echo "the second start took $(( (${EPOCHREALTIME/./} - started) / 1000 )) ms"
  [ "$status" -eq 0 ] || fail "the second start ended with status $status"
  windows=$(xdotool search --onlyvisible --name '^Kladdo$' | wc -l)
  [ "$windows" -eq 1 ] || fail "$windows Kladdo windows are shown"
  [ -z "$(find "$work/DATA" -newer "$work/before")" ] || fail "the second start wrote into DATA/"
  wait_for_position $((screen_width - 525)) 60
}

mkdir "$work/DATA"
cp "$program" "$(dirname "$program")"/kladdo-sound.* "$work/"
printf '[WINDOW]\r\nPos=60\r\nLanguage=English\r\nRollEffect=1\r\n' > "$work/DATA/note.ini"
# The lock and the server's name live in the runtime folder; a private one
# keeps them apart from any other run.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_xvfb "$screen_width"
unset QT_QPA_PLATFORM

start_first
start_second

kill -KILL "$program_pid"
wait "$program_pid" 2>/dev/null || true
[ -n "$(ls "$XDG_RUNTIME_DIR"/*.lock)" ] || fail "the killed copy left no lock behind"
start_first
start_second

# --data naming the held folder from elsewhere hands over too; a --data
# without a folder, or with one that cannot be made, ends at once with
# status 2 and a word on standard error, and no window.
(cd "$work" && timeout 10 ./kladdo --data DATA) || fail "a start with --data DATA did not hand over"
refused() {
  local status=0
  timeout 10 "$work/kladdo" "$@" 2>"$work/refused.log" || status=$?
  [ "$status" -eq 2 ] || fail "kladdo $* ended with status $status: $(cat "$work/refused.log")"
  grep -q -- --data "$work/refused.log" || fail "kladdo $* said nothing on standard error"
}
refused --data
refused --data "$work/DATA/note.ini/DATA"
[ "$(xdotool search --onlyvisible --name '^Kladdo$' | wc -l)" -eq 1 ] || fail "a refused start showed a window"

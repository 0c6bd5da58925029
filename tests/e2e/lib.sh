# shellcheck shell=bash
# Sourced by the end-to-end tests and the screenshot script: the private
# Xvfb and scratch folder of bench/xvfb.sh, and helpers that find Kladdo's
# windows and read the screen. $window is the main window's id.

source "$(dirname "${BASH_SOURCE[0]}")/../../bench/xvfb.sh"

# wait_for_end WHAT [TENTHS]: polls, 10 s unless told, until $program_pid
# has ended; its exit status goes to $status. WHAT is what should end it.
wait_for_end() {
  status=0
  for _ in $(seq "${2:-100}"); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$program_pid" 2>/dev/null && fail "$1 did not end the program"
  wait "$program_pid" || status=$?
  program_pid=
}

# expect_clean_end WHAT [TENTHS]: wait_for_end, and the status is 0.
expect_clean_end() {
  wait_for_end "$@"
  [ "$status" -eq 0 ] || fail "$1 ended the program with status $status"
}

# Polls until the window's left and top edges are as expected.
wait_for_position() {
  local want_x=$1 want_y=$2 X Y
  for _ in $(seq 100); do
    eval "$(xdotool getwindowgeometry --shell "$window")"
    [ "$X" -eq "$want_x" ] && [ "$Y" -eq "$want_y" ] && return 0
    sleep 0.1
  done
  fail "window at $X,$Y, expected $want_x,$want_y"
}

# card32 FILE OFFSET: the big-endian 32-bit number at OFFSET of a screen dump.
card32() {
  local b
  read -r -a b <<<"$(od -An -tu1 -j "$2" -N4 "$1")"
  echo $(( (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3] ))
}

# pixel_at X Y: the colour the screen shows there, as "R G B".
pixel_at() {
  local dump=$work/screen.xwd offset b
  xwd -root -silent > "$dump"
  [ "$(card32 "$dump" 28)" -eq 0 ] || fail "screen dump is not least significant byte first"
  offset=$(( $(card32 "$dump" 0) + $(card32 "$dump" 76) * 12 + $2 * $(card32 "$dump" 48) \
             + $1 * $(card32 "$dump" 44) / 8 ))
  read -r -a b <<<"$(od -An -tu1 -j "$offset" -N3 "$dump")"
  echo "${b[2]} ${b[1]} ${b[0]}"
}

# expect_pixel X Y "R G B": the screen shows that colour at X, Y within 5 s.
expect_pixel() {
  local got
  for _ in $(seq 50); do
    got=$(pixel_at "$1" "$2")
    [ "$got" = "$3" ] && return 0
    sleep 0.1
  done
  fail "pixel $1,$2 is $got, expected $3"
}

# snapshot ID PNG: what the screen shows of window ID, as a PNG.
snapshot() {
  local X Y WIDTH HEIGHT right bottom
  eval "$(xdotool getwindowgeometry --shell "$1")"
  read -r right bottom <<<"$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')"
  xwd -root -silent > "$work/snapshot.xwd"
  python3 "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xwd2png.py" "$work/snapshot.xwd" "$2" \
    "$((X > 0 ? X : 0)),$((Y > 0 ? Y : 0)),$((X + WIDTH < right ? X + WIDTH : right)),$((Y + HEIGHT < bottom ? Y + HEIGHT : bottom))"
}

# The id of the topmost window named Kladdo, as xwininfo writes it.
topmost_kladdo() {
  xwininfo -root -children | grep -m1 -oE '0x[0-9a-f]+ "Kladdo"' | cut -d' ' -f1
}

# second_window: the id of a shown window named Kladdo besides the main one
# (a message box or the options dialog), waiting up to 10 s for it.
second_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Kladdo$' | grep -vx "$window" | head -1) && break
    sleep 0.1
  done
  echo "$id"
}

# expect_second_window_gone WHAT: it closes within 10 s.
expect_second_window_gone() {
  for _ in $(seq 100); do xdotool search --onlyvisible --name '^Kladdo$' | grep -qvx "$window" || return 0; sleep 0.1; done
  fail "the $1 stayed"
}

# lay_program_folder PROGRAM TOP: PROGRAM in $work with a DATA/ of its own
# (English texts, no roll pauses, the window's top edge at TOP), a private
# runtime folder for the one-copy lock, and Qt's own choice of platform.
lay_program_folder() {
  mkdir "$work/DATA"
  cp "$1" "$(dirname "$1")"/kladdo-sound.* "$work/"
  printf '[WINDOW]\r\nPos=%d\r\nLanguage=English\r\nRollEffect=0\r\n' "$2" > "$work/DATA/note.ini"
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM
}

# start_kladdo DIR [--at-once]: runs DIR/kladdo, its standard error in
# $work/kladdo.log, and waits for its window and, unless told to go on at
# once, for the end of its start (the pages read and every control built,
# which the program's start-up trace tells).
start_kladdo() {
  KLADDO_STARTUP_TRACE=1 "$1/kladdo" 2>"$work/kladdo.log" &
  program_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
    fail "no Kladdo window appeared"
  [ "${2:-}" = --at-once ] && return 0
  for _ in $(seq 300); do
    grep -q ' started$' "$work/kladdo.log" && return 0
    sleep 0.05
  done
  fail "the start did not finish: $(cat "$work/kladdo.log")"
}

# wait_for_line FILE LINE: FILE holds LINE (CR LF ended) within 10 s.
wait_for_line() {
  for _ in $(seq 100); do grep -qF "$2"$'\r' "$1" 2>/dev/null && return 0; sleep 0.1; done
  fail "$(basename "$1") lacks $2"
}

#!/usr/bin/env bash
# Every way a session ends but a kill keeps what was typed. Each round types
# a word into the note page shown through real input, waits for its recovery
# file (so that every key has arrived), then ends the program
# from outside: a session manager's log-out, SIGTERM, SIGHUP and SIGINT (the
# first sent twice, as an impatient desktop does), and the X server going
# away under it. The page
# file must hold the word afterwards, and no recovery file may be left.
# Last, a SIGKILL shortly after typing pauses: the next start must show the
# word from the recovery file, tell so, and write it at the next page turn.
set -euo pipefail

program=$1
session_manager=${2:?usage: session_end_e2e.sh PROGRAM SESSION_MANAGER}
screen_width=1280
top=60
source "$(dirname "$0")/lib.sh"
checker=$(dirname "$program")/kladdo-data

left=$((screen_width - 525))
editor_x=$((left + 200)) editor_y=$((top + 100))
forward_x=$((left + 145 + 10)) button_y=$((top + 341 + 15 + 10))

lay_program_folder "$program" "$top"

page_text() { "$checker" notes export "$work/DATA" "$1" --format text | tr -d '\n'; }

# The recovery file of page 0, in the folder of this computer's under
# DATA/backup, whatever its name: nothing when there is none.
recovery_file() {
  find "$work/DATA/backup" -mindepth 2 -maxdepth 2 -name note0.rtf.unsaved 2>/dev/null
}

# Waits up to 10 s for the recovery file of page 0: by then every key typed
# has reached the program, and typing has paused for 2 s.
wait_for_recovery() {
  for _ in $(seq 100); do [ -n "$(recovery_file)" ] && return 0; sleep 0.1; done
  fail "$1: no recovery file 10 s after typing"
}

# Starts the program, through the command before it if one is given, rolls
# it out and types WORD at the end of page 0.
start_and_type() {
  local word=$1
  shift
  "$@" "$work/kladdo" >"$work/program.out" 2>"$work/program.log" &
  program_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
    fail "no Kladdo window appeared"
  wait_for_position $((screen_width - 16)) "$top"
  xdotool mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
  wait_for_position "$left" "$top"
  xdotool mousemove "$editor_x" "$editor_y" click 1 key ctrl+End type --delay 5 "$word"
  wait_for_recovery "$word"
}

expect_saved() {
  local text
  text=$(page_text 0)
  [[ $text == *"$2"* ]] || fail "$1: note0.rtf holds '$text', without the typed '$2'"
  [ -z "$(find "$work/DATA/backup" -name '*.unsaved*' 2>/dev/null)" ] ||
    fail "$1: a recovery file was left behind after the page was saved"
}

start_xvfb "$screen_width"
# The log-out: the manager asks the program to save, then to end.
start_and_type "session-word " "$session_manager"
kill -USR1 "$program_pid"
for _ in $(seq 100); do grep -q '^saved' "$work/program.out" && break; sleep 0.1; done
grep -qx saved "$work/program.out" || fail "the session manager's save was not done: $(cat "$work/program.out")"
expect_saved "the session's save" "session-word"
kill -USR1 "$program_pid"
wait_for_end "the session's end"
[ "$status" -eq 0 ] || fail "the session's end: the program ended with status $status: $(tail -5 "$work/program.log")"

for signal in TERM HUP INT; do
  start_and_type "$signal-word "
  kill -"$signal" "$program_pid"
  [ "$signal" = TERM ] && kill -TERM "$program_pid" 2>/dev/null || true
  wait_for_end "SIG$signal"
  [ "$status" -eq 0 ] || fail "SIG$signal: the program ended with status $status: $(tail -5 "$work/program.log")"
  expect_saved "SIG$signal" "$signal-word"
done

# The display goes away: Qt ends the program, which saves on its way out,
# also when Qt's warnings are muted and it says nothing of why it ends.
start_and_type "display-word " env QT_LOGGING_RULES="*.warning=false"
kill -KILL "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=
wait_for_end "X server killed"
expect_saved "X server killed" "display-word"

# A kill leaves the recovery file, written once typing paused for 2 s.
start_xvfb "$screen_width"
start_and_type "killed-word "
kill -KILL "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=
[[ $(page_text 0) != *killed-word ]] || fail "the page file was written before any save"
"$checker" check "$work/DATA" | grep -q '^backup/[^/]*/note0.rtf.unsaved: unsaved changes .*, shown when' ||
  fail "kladdo-data check does not report the recovery file: $("$checker" check "$work/DATA")"

# The restart shows its handle, then tells of the recovered page.
"$work/kladdo" 2>"$work/program.log" &
program_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
  fail "no Kladdo window appeared"
notice=$(second_window)
[ -n "$notice" ] || fail "no notice of the recovered page appeared"
xdotool windowactivate --sync "$notice" key Return 2>/dev/null || xdotool key Return
expect_second_window_gone "notice"
wait_for_position $((screen_width - 16)) "$top"
xdotool mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
wait_for_position "$left" "$top"
xdotool mousemove "$forward_x" "$button_y" click 1
for _ in $(seq 50); do [[ $(page_text 0) == *killed-word ]] && break; sleep 0.1; done
expect_saved "after the kill" "killed-word"
kill -TERM "$program_pid"
wait_for_end "the last SIGTERM"
echo "session_end: a log-out, SIGTERM, SIGHUP, SIGINT, a lost display and a kill all kept the typing"

#!/usr/bin/env bash
# The editor's keys and the commands' keys through real input, the first
# click coming as soon as the window maps: a typed word
# made bold with Ctrl+B and centred with Ctrl+E, the page turned with
# Ctrl+Page Down, which saves it; then Ctrl+F opens the find dialog and
# Escape closes it. The page file must hold the bold word in a centred
# paragraph.
set -euo pipefail

program=$1
screen_width=1280
top=60
source "$(dirname "$0")/lib.sh"
checker=$(dirname "$program")/kladdo-data
left=$((screen_width - 525))

lay_program_folder "$program" "$top"
start_xvfb "$screen_width"

# The roll-out is asked for the moment the window maps, while the page is
# still being read: it must wait for the page, not lose the click.
start_kladdo "$work" --at-once
xdotool mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
wait_for_position "$left" "$top"
xdotool mousemove $((left + 200)) $((top + 100)) click 1 type --delay 5 "word"
xdotool key shift+Home ctrl+b ctrl+e ctrl+Next
wait_for_line "$work/DATA/note.ini" "Note=1"
rtf=$("$checker" notes export "$work/DATA" 0 --format rtf)
grep -q '\\qc' <<<"$rtf" || fail "the paragraph is not centred: $rtf"
grep -q '\\b .*word' <<<"$rtf" || fail "the word is not bold: $rtf"

xdotool key ctrl+f
timeout 10 xdotool search --sync --onlyvisible --name '^Find$' >/dev/null || fail "Ctrl+F opened no find dialog"
xdotool key Escape
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Find$' >/dev/null || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Find$' >/dev/null && fail "Escape left the find dialog open"
kill -TERM "$program_pid"
wait "$program_pid" || fail "the program did not end well"
program_pid=
echo "keys: Ctrl+B, Ctrl+E and Ctrl+Page Down reached the page file; Ctrl+F and Escape worked"

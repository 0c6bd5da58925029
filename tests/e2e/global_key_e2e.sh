#!/usr/bin/env bash
# The global key through real input while another X client has the
# keyboard: Ctrl+Alt+K rolls the window out with the keyboard for the page,
# so that what is typed straight after it lands there; pressed again, it
# rolls the window in. A second copy, on a data folder that --data names
# and it makes, finds the key held and says so.
set -euo pipefail

program=$1
screen_width=1280
top=60
source "$(dirname "$0")/lib.sh"
checker=$(dirname "$program")/kladdo-data
left=$((screen_width - 525))

lay_program_folder "$program" "$top"
start_xvfb "$screen_width"
start_kladdo "$work"

xmessage -geometry +10+10 "another program" &
other_pid=$!
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^xmessage$' | head -1) || fail "xmessage did not map"
xdotool windowfocus --sync "$other"
[ "$(xdotool search --pid "$program_pid" --onlyvisible --name '^Kladdo$' | wc -l)" -eq 1 ] ||
  fail "the first copy told of something at its start"

xdotool key ctrl+alt+k type --delay 5 "typed at once"
wait_for_position "$left" "$top"
[ "$(xdotool getwindowfocus)" = "$window" ] || fail "the key left the keyboard with $(xdotool getwindowfocus)"
xdotool key ctrl+alt+k
wait_for_position $((screen_width - 16)) "$top"

# A second copy on a data folder of its own, which it makes, must tell of
# the key.
"$work/kladdo" --data "$work/second data" 2>"$work/second.log" &
second_pid=$!
shown=0
for _ in $(seq 100); do
  shown=$(xdotool search --pid "$second_pid" --onlyvisible --name '^Kladdo$' | wc -l)
  [ "$shown" -ge 2 ] && break
  sleep 0.1
done
[ "$shown" -ge 2 ] || fail "the second copy did not tell that the key is held: $(cat "$work/second.log")"
[ -d "$work/second data" ] || fail "--data did not make its folder"
kill "$second_pid" "$other_pid"
wait "$second_pid" "$other_pid" 2>/dev/null || true

kill -TERM "$program_pid"
wait "$program_pid" || fail "the program did not end well: $(cat "$work/kladdo.log")"
program_pid=
text=$("$checker" notes export "$work/DATA" 0 --format text)
[ "$text" = "typed at once" ] || fail "the page holds '$text'"
echo "global key: rolled out with the keyboard from another client and back in; a held key is told of"

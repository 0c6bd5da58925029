#!/usr/bin/env bash
# The password pages in a vault through real input: a wrong master
# password opens nothing, the right one shows the page, a typed row is
# saved into the vault by the page turn, and rolling in locks again, so
# that what is typed after rolling out is a password, never a cell; so
# does the screen saver's start on the session bus. No row ever reaches a
# file under DATA/ in clear.
set -euo pipefail

program=$1
screen_width=1280
top=60
source "$(dirname "$0")/lib.sh"
data_tool=$(dirname "$program")/kladdo-data
left=$((screen_width - 525))

lay_program_folder "$program" "$top"
printf 'DisplayNP=1\r\n' >> "$work/DATA/note.ini"
printf 'text,name,password\r\nBank,alice,s3cret\r\n' > "$work/pass.csv"
"$data_tool" passwords import "$work/DATA" 0 "$work/pass.csv" >/dev/null
printf 'master\n' | "$data_tool" vault create "$work/DATA" --password-stdin --memory 8 --iterations 2 >/dev/null
start_xvfb "$screen_width"
# A session bus of the test's own, which cleanup ends with the watcher.
dbus-daemon --session --nofork --print-address=3 3>"$work/bus" &
watcher_pid=$!
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

roll_out() {
  wait_for_position $((screen_width - 16)) "$top"
  xdotool mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
  wait_for_position "$left" "$top"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
}
page_rows() {
  printf 'master\n' | "$data_tool" vault export "$work/DATA" "$1" --password-stdin
}

# expect_locked WORD KEY PAGE WHAT: WORD typed and Enter, then KEY turns to
# PAGE; after WHAT the vault is locked, so WORD was a password, never a cell.
expect_locked() {
  xdotool type --delay 20 "$1"
  xdotool key Return "$2"
  wait_for_line "$work/DATA/note.ini" "Pass=$3"
  sleep 1
  for page in 0 1; do
    page_rows "$page" | grep -q "$1" && fail "keys typed after $4 reached page $page: the vault was open"
  done
  return 0
}

start_kladdo "$work"
roll_out
xdotool type --delay 20 'wrong'
xdotool key Return
xdotool type --delay 20 'master'
xdotool key Return
# The grid takes the keys once the vault is open: the row below Bank.
sleep 1
xdotool key Down
xdotool type --delay 20 'Mail'
xdotool key Return Right
xdotool type --delay 20 'bob'
xdotool key Return Right
xdotool type --delay 20 'pw2'
xdotool key Return ctrl+Next
wait_for_line "$work/DATA/note.ini" "Pass=1"
page_rows 0 > "$work/page0.csv"
grep -q $'^Mail,bob,pw2\r$' "$work/page0.csv" || fail "the vault's page 0 holds: $(cat "$work/page0.csv")"
grep -q $'^Bank,alice,s3cret\r$' "$work/page0.csv" || fail "the vault lost page 0's first row"

xdotool mousemove $((left + 510 + 7)) $((top + 342 + 23)) click 3
roll_out
expect_locked Evil ctrl+Prior 0 "rolling in"

xdotool type --delay 20 'master'
xdotool key Return
sleep 1
dbus-send --session --type=signal /org/freedesktop/ScreenSaver org.freedesktop.ScreenSaver.ActiveChanged boolean:true
sleep 1
expect_locked Sleepy ctrl+Next 1 "the screen saver's start"

xdotool mousemove $((left + 480 + 10)) $((top + 341 + 15 + 10)) click 1
wait "$program_pid" || fail "the program did not end well"
program_pid=
[ -e "$work/DATA/pass0.dat" ] && fail "a pass file was written beside the vault"
for secret in s3cret alice Bank Mail bob pw2; do
  utf16=$(printf '%s' "$secret" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
  while IFS= read -r -d '' file; do
    grep -qF "$secret" "$file" && fail "$secret stands in clear in $file"
    od -An -tx1 "$file" | tr -d ' \n' | grep -q "$utf16" && fail "$secret stands in UTF-16 in $file"
  done < <(find "$work/DATA" -type f -print0)
done
echo "vault: the wrong password opened nothing, the row reached the vault, rolling in and the screen saver" \
  "locked it, no row in clear"

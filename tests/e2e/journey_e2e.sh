#!/usr/bin/env bash
# A whole day with Kladdo on a fresh data folder, through real input only:
# notes written and formatted on two pages with a title, text copied from
# one page to the other, a word replaced, a password row typed with the
# mask off and on, an alarm that comes while the window is rolled in, the
# language, colours and dragging chosen in the options dialog, a drag, and
# the close button. A second start must show the window exactly as it was
# left, and leave every file as the first run saved it.
set -euo pipefail

program=$1
screen_width=1280
source "$(dirname "$0")/lib.sh"
data_tool="$(dirname "$program")/kladdo-data"
data=$work/DATA

mkdir "$data"
cp "$program" "$(dirname "$program")"/kladdo-sound.* "$work/"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_xvfb "$screen_width"

top=5
left=$((screen_width - 525))
at_window() { xdotool mousemove $((left + $1)) $((top + $2)) click "${3:-1}"; }
toolbar_button() { at_window $(($1 + 10)) $((341 + 15 + 10)); }
in_editor() { at_window 250 $((20 + ${1:-150})); }
keys() { xdotool key --delay 30 "$@"; }
write() { xdotool type --delay 20 "$1"; }
page_is() { wait_for_line "$data/note.ini" "Note=$1"; }

# expect_gone ID WHAT: window ID is no longer shown within 10 s.
expect_gone() {
  for _ in $(seq 100); do xdotool search --onlyvisible --name . | grep -qx "$1" || return 0; sleep 0.1; done
  fail "the $2 stayed"
}

close_by_button() {
  toolbar_button 480
  expect_clean_end "the close button"
}

# The caret blinks in the active window: screen pictures are taken with the
# input focus on the root, so that two of them of one state are equal.
still_snapshot() {
  xdotool windowfocus "$(xwininfo -root | awk '/Window id/ { print $4 }')"
  xdotool mousemove 0 0
  sleep 0.7
  snapshot "$window" "$1"
}

# From rolled in at the right edge, a right click on the left handle.
roll_out() {
  wait_for_position $((screen_width - 16)) "$top"
  xdotool mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
  wait_for_position "$left" "$top"
}

start_kladdo "$work"
roll_out
xdotool windowfocus --sync "$window" 2>/dev/null || true

# The alarm goes on page 0 first, for the first minute at least 30 s
# ahead: it must sound while the window is rolled in, after the rest of the
# day is done. The calendar stands on today, so the alarm must be today too.
alarm_epoch=$(( ($(date +%s) + 30) / 60 * 60 + 60 ))
while [ "$(date -d "@$alarm_epoch" +%F)" != "$(date +%F)" ]; do
  sleep 1
  alarm_epoch=$(( ($(date +%s) + 30) / 60 * 60 + 60 ))
done
alarm_at=$(date -d "@$alarm_epoch" +%H:%M)
alarm_line="Alarm0=$(date -d "@$alarm_epoch" +%d.%m.%Y)   $alarm_at"
toolbar_button 195
at_window $((225 + 20)) $((392 + 11))
keys ctrl+a
write "${alarm_at/:/}"
at_window $((245 + 10)) $((419 + 10))
wait_for_line "$data/note.ini" "$alarm_line"

# Page 0: a title from its first line, the first line bold, the last word
# italic; that word is copied to page 1.
in_editor
write 'Shopping list'
keys Return
write 'milk eggs bread'
keys ctrl+Home shift+End
toolbar_button 225                          # title
toolbar_button 350                          # bold
keys ctrl+End ctrl+shift+Left
toolbar_button 375                          # italic
toolbar_button 250                          # copy
toolbar_button 145
page_is 1

# Page 1: the copied word pasted in the note font, a word underlined, and
# one word replaced through the replace dialog's Replace All.
in_editor
write 'Buy '
toolbar_button 275                          # paste
keys Return
write 'remember the underlined word'
keys ctrl+Left ctrl+shift+Left
toolbar_button 400                          # underline
in_editor 250
toolbar_button 325
replacer=$(timeout 10 xdotool search --sync --onlyvisible --name '^(Replace|Ersetzen)$' | head -1) ||
  fail "no replace dialog appeared"
write 'remember'
keys Tab
write 'check'
keys Tab Tab Tab Tab Tab space             # to Replace All
xdotool windowfocus --sync "$replacer" 2>/dev/null || true
keys Escape
expect_gone "$replacer" "replace dialog"
xdotool windowfocus --sync "$window" 2>/dev/null || true
toolbar_button 75
page_is 0

# The password view: one row typed with the mask off, then masked again.
toolbar_button 25
wait_for_line "$data/note.ini" "DisplayNP=1"
toolbar_button 300                          # mask off
at_window $((21 + 50)) $((20 + 21 + 10))
write 'Bank'
keys Return Right
write 'alice'
keys Return Right
write 's3cret'
keys Return
still_snapshot "$work/unmasked.png"
toolbar_button 300                          # mask on
still_snapshot "$work/masked.png"
cmp -s "$work/unmasked.png" "$work/masked.png" && fail "the mask button changed nothing on the screen"
toolbar_button 25
wait_for_line "$data/note.ini" "DisplayNP=0"

# The options dialog: English, the blue scheme and dragging allowed.
toolbar_button 455
options=$(second_window)
[ -n "$options" ] || fail "no options dialog appeared"
eval "$(xdotool getwindowgeometry --shell "$options")"
at_options() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
at_options $((4 + 8 + 8 + 30)) $((27 + 8 + 40 + 8))      # English
at_options $((4 + 16 + 80)) $((27 + 139 + 11))           # palette list
sleep 0.5
keys Down Down Return
at_options $((4 + 8 + 184 + 8)) $((27 + 80 + 64 + 8))    # dragging allowed
at_options $((147 + 37)) $((317 + 12))                   # OK
wait_for_line "$data/note.ini" "Adjust=1"
expect_second_window_gone "options dialog"

# A drag on the right handle, 30 pixels down.
xdotool mousemove $((left + 510 + 7)) $((top + 342 + 10)) mousedown 1
xdotool mousemove_relative --sync 0 15 mousemove_relative --sync 0 15 mouseup 1
top=$((top + 30))
wait_for_position "$left" "$top"
wait_for_line "$data/note.ini" "Pos=$top"

# In and straight back out: the right handle rolled out lies where the left
# one lies rolled in, and the second press, within the double-click time,
# must roll like the first.
xdotool mousemove $((left + 510 + 7)) $((top + 342 + 23)) click --repeat 2 --delay 100 3
sleep 1
wait_for_position "$left" "$top"

# Rolled in on page 1; the alarm brings page 0 and the window out.
toolbar_button 145
page_is 1
at_window 8 $((342 + 23)) 3
wait_for_position $((screen_width - 16)) "$top"
[ "$(date +%s)" -lt "$alarm_epoch" ] || fail "the alarm came before the window was rolled in"
echo "waiting $(( alarm_epoch - $(date +%s) )) s for the alarm"
for _ in $(seq 900); do grep -q $'^Note=0\r$' "$data/note.ini" && break; sleep 0.1; done
page_is 0
wait_for_position "$left" "$top"

# Left as the alarm showed the page, as a new start shows it too, with the
# alarm area closed: its time field shows the clock.
toolbar_button 195
wait_for_line "$data/note.ini" "DisplayAlarm=0"
still_snapshot "$work/left.png"
close_by_button

# What the first run saved, read back through kladdo-data.
"$data_tool" notes export "$data" 0 --format html > "$work/note0.html"
"$data_tool" notes export "$data" 1 --format html > "$work/note1.html"
"$data_tool" passwords export "$data" 0 > "$work/pass0.csv"
grep -qF '<span style=" font-weight:700;">Shopping list</span>' "$work/note0.html" ||
  fail "page 0's first line is not bold"
grep -qF 'milk eggs <span style=" font-style:italic;">bread</span>' "$work/note0.html" ||
  fail "page 0's last word is not italic"
grep -qF "Buy <span style=\" font-family:'Comic Sans MS'; font-size:10pt; font-style:italic;\">bread</span>" \
  "$work/note1.html" || fail "the word pasted on page 1 is not italic in the note font"
if ! grep -qF 'check the </span>' "$work/note1.html" || grep -q remember "$work/note1.html"; then
  fail "Replace All did not replace the word"
fi
grep -qF 'text-decoration: underline;">underlined </span>' "$work/note1.html" ||
  fail "the marked word on page 1 is not underlined"
grep -q $'^Bank,alice,s3cret\r$' "$work/pass0.csv" || fail "password page 0 holds: $(head -2 "$work/pass0.csv")"
grep -q 's3cret' "$data/pass0.dat" && fail "the password was stored in clear"
for line in "Pos=$top" 'Note=0' 'DisplayNP=0' 'Language=English' 'Palette=4' 'Adjust=1' \
            "$alarm_line" 'Title0=Shopping list'; do
  wait_for_line "$data/note.ini" "$line"
done

# The second start: rolled in where it was left, and once rolled out the
# same to the pixel. Closing it again changes no file.
cp -r "$data" "$work/DATA.left"
start_kladdo "$work"
roll_out
still_snapshot "$work/again.png"
cmp -s "$work/left.png" "$work/again.png" || fail "the window does not show what it showed when it was closed"
close_by_button
diff -r "$work/DATA.left" "$data" || fail "the second run changed the files above"

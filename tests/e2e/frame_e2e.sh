#!/usr/bin/env bash
# Starts the built program on a real X server and drives it with real input
# events: it must appear rolled in at the right edge, show a failed write in
# a message box above it, roll out on a right click, take English and the
# blue scheme from its options dialog, show a hint at once while not the
# active window, keep typed notes
# in their own page files, move by a left drag, bring a page by its alarm,
# keep a password row typed into the grid in its page file, enciphered, and
# end by its close button with note.ini holding the position.
set -euo pipefail

program=$1
screen_width=1280
source "$(dirname "$0")/lib.sh"

mkdir "$work/DATA"
cp "$program" "$(dirname "$program")"/kladdo-sound.* "$work/"
printf '[WINDOW]\r\nPos=60\r\nAdjust=1\r\nLanguage=Deutsch\r\nRollEffect=1\r\nPalette=2\r\n' > "$work/DATA/note.ini"

start_xvfb "$screen_width"
export QT_QPA_PLATFORM=xcb

start_kladdo "$work"

# Rolled in: only the left handle shows at the right edge.
wait_for_position $((screen_width - 16)) 60

# Without DATA/ the release on the handle cannot store Pos. The message box
# must open on the screen and above the window, though the window is mostly
# beyond the screen edge, and the program must go on once it is read.
mv "$work/DATA" "$work/DATA.away"
xdotool mousemove $((screen_width - 16 + 8)) $((60 + 342 + 10)) click 1
box=$(second_window)
[ -n "$box" ] || fail "no message box appeared"
eval "$(xdotool getwindowgeometry --shell "$box")"
[ "$X" -ge 0 ] && [ $((X + WIDTH)) -le "$screen_width" ] || fail "message box at x $X, width $WIDTH"
[ "$(topmost_kladdo)" = "$(printf '0x%x' "$box")" ] || fail "message box beneath the window"
xdotool key Return
expect_second_window_gone "message box"
mv "$work/DATA.away" "$work/DATA"

# A right click on the left handle (window x 1, y 342, 14 x 46) rolls it out.
xdotool mousemove $((screen_width - 16 + 8)) $((60 + 342 + 23)) click 3
wait_for_position $((screen_width - 525)) 60
left=$((screen_width - 525))

# The options button (toolbar x 455) opens the dialog at x 374 on the
# window's top. Its settings page starts at 4, 27: "English" in the language
# group, the palette list in the design group, OK below the pages. English
# and the blue palette act at once; OK writes them.
xdotool mousemove $((left + 455 + 10)) $((60 + 341 + 15 + 10)) click 1
options=$(second_window)
[ -n "$options" ] || fail "no options dialog appeared"
eval "$(xdotool getwindowgeometry --shell "$options")"
[ "$X" -eq 374 ] && [ "$Y" -eq 60 ] || fail "options dialog at $X,$Y, expected 374,60"
at_options() { xdotool mousemove $((374 + $1)) $((60 + $2)) click 1; }
at_options $((4 + 8 + 8 + 30)) $((27 + 8 + 40 + 8))
at_options $((4 + 16 + 80)) $((27 + 139 + 11))
sleep 0.5
xdotool key Down Down Return
expect_pixel $((left + 300)) $((60 + 345)) "89 89 255"
grep -q $'^Palette=4\r$' "$work/DATA/note.ini" && fail "the palette was written before OK"
at_options $((147 + 37)) $((317 + 12))
for _ in $(seq 100); do grep -q $'^Palette=4\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
for line in 'Language=English' 'Palette=4'; do
  grep -q "^$line"$'\r$' "$work/DATA/note.ini" || fail "OK did not write $line"
done
expect_second_window_gone "options dialog"

# The blue scheme: light page area, medium toolbar, dark buttons.
expect_pixel $((left + 200)) $((60 + 200)) "204 204 255"
expect_pixel $((left + 300)) $((60 + 345)) "89 89 255"
expect_pixel $((left + 480 + 2)) $((60 + 341 + 15 + 2)) "63 49 234"

# Resting on the close button shows its hint, though no window is active:
# a small window of the program's own appears beside the pointer.
xdotool mousemove $((left + 480 + 10)) $((60 + 341 + 15 + 10))
hint=
for _ in $(seq 50); do
  hint=$(xdotool search --onlyvisible --class '^Kladdo$' | grep -v "^$window\$" | head -1) && [ -n "$hint" ] && break
  sleep 0.1
done
[ -n "$hint" ] || fail "no hint appeared over the close button"

# A short journey through the note pages: type on page 0, page forward,
# type on page 1, page back. Each page must land in its own file.
toolbar_button() { xdotool mousemove $((left + $1 + 10)) $((60 + 341 + 15 + 10)) click 1; }
xdotool mousemove $((left + 200)) $((60 + 100)) click 1
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool type --delay 20 'alpha page'
toolbar_button 145
xdotool mousemove $((left + 200)) $((60 + 100)) click 1
xdotool type --delay 20 'beta page'
toolbar_button 75
for _ in $(seq 100); do grep -q $'^Note=0\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
grep -q 'alpha page' "$work/DATA/note0.rtf" 2>/dev/null || fail "page 0 was not saved with its text"
grep -q 'beta page' "$work/DATA/note1.rtf" 2>/dev/null || fail "page 1 was not saved with its text"
grep -q 'alpha' "$work/DATA/note1.rtf" && fail "page 0's text went into page 1"
grep -q $'^Note=0\r$' "$work/DATA/note.ini" || fail "note.ini does not hold page 0"

# The find button (toolbar x 300) opens the find dialog at x 400 on the
# window's top. Return finds the word and hands the hit to the editor, so
# what is typed next replaces it; a page flip saves it, and back to page 0.
toolbar_button 300
finder=$(timeout 10 xdotool search --sync --onlyvisible --name '^Find$' | head -1) ||
  fail "no find dialog appeared"
eval "$(xdotool getwindowgeometry --shell "$finder")"
[ "$X" -eq 400 ] && [ "$Y" -eq 60 ] || fail "find dialog at $X,$Y, expected 400,60"
xdotool type --delay 20 'alpha'
xdotool key Return
xdotool type --delay 20 'gamma'
toolbar_button 145
for _ in $(seq 100); do grep -q 'gamma page' "$work/DATA/note0.rtf" && break; sleep 0.1; done
grep -q 'gamma page' "$work/DATA/note0.rtf" || fail "the found word was not replaced by the next edit"
grep -q 'alpha' "$work/DATA/note0.rtf" && fail "the found word stayed beside the edit"
# The page flip raised the window, and the dialog above it with it.
[ "$(xwininfo -root -children | grep -oE '0x[0-9a-f]+ "(Find|Kladdo)"' | head -1 | cut -d' ' -f2)" = '"Find"' ] ||
  fail "the find dialog went beneath the window"
toolbar_button 75
for _ in $(seq 100); do grep -q $'^Note=0\r$' "$work/DATA/note.ini" && break; sleep 0.1; done

# A left drag on the right handle moves the window down by 30 pixels.
xdotool mousemove $((left + 510 + 7)) $((60 + 342 + 10)) mousedown 1
xdotool mousemove_relative --sync 0 15 mousemove_relative --sync 0 15 mouseup 1
wait_for_position "$left" 90
for _ in $(seq 100); do grep -q $'^Pos=90\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
grep -q $'^Pos=90\r$' "$work/DATA/note.ini" || fail "release did not store Pos=90"

# An alarm: shown the alarm area, page 1 gets an alarm for the next minute
# from the time field and the set button (the calendar stands on today);
# back on page 0 and rolled in, the window must come out at that minute
# with page 1 shown. Started early enough in a minute to type the time in.
while [ "$(date +%S)" -ge 40 ] || [ "$(date +%H%M)" = 2359 ]; do sleep 1; done
alarm_at=$(date -d '+1 minute' +%H:%M)
alarm_text="$(date -d '+1 minute' +%d.%m.%Y)   $alarm_at"
at_window() { xdotool mousemove $((left + $1)) $((90 + $2)) click "${3:-1}"; }
at_window $((195 + 10)) $((341 + 15 + 10))      # alarm area button
# Its buttons show at once, not only once the pointer has passed over them.
expect_pixel $((left + 225)) $((90 + 419)) "255 255 255"
expect_pixel $((left + 245)) $((90 + 419)) "255 255 255"
at_window $((145 + 10)) $((341 + 15 + 10))      # page forward
for _ in $(seq 100); do grep -q $'^Note=1\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
at_window $((225 + 20)) $((392 + 11))           # the time field
xdotool key ctrl+a
xdotool type --delay 20 "${alarm_at/:/}"
at_window $((245 + 10)) $((419 + 10))           # set button
for _ in $(seq 100); do grep -qF "Alarm1=$alarm_text"$'\r' "$work/DATA/note.ini" && break; sleep 0.1; done
grep -qF "Alarm1=$alarm_text"$'\r' "$work/DATA/note.ini" || fail "note.ini lacks Alarm1=$alarm_text"
at_window $((75 + 10)) $((341 + 15 + 10))       # page back
for _ in $(seq 100); do grep -q $'^Note=0\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
at_window 8 $((342 + 23)) 3                     # roll in
grep -q kladdo-sound "/proc/$program_pid/maps" && fail "the sound module was loaded before any alarm"
wait_for_position $((screen_width - 16)) 90
for _ in $(seq 750); do grep -q $'^Note=1\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
grep -q $'^Note=1\r$' "$work/DATA/note.ini" || fail "the alarm at $alarm_at did not bring page 1"
wait_for_position "$left" 90
# The sound module is loaded by the first alarm, not before.
for _ in $(seq 50); do grep -q kladdo-sound "/proc/$program_pid/maps" && break; sleep 0.1; done
grep -q kladdo-sound "/proc/$program_pid/maps" || fail "the alarm did not load the sound module"

# The password view: type a row into the grid and its processing field,
# page forward, and read the page back through kladdo-data. The grid
# (window 21, 20) has a heading row, then rows of 20 pixels and a line.
top=90
xdotool mousemove $((left + 25 + 10)) $((top + 341 + 15 + 10)) click 1
xdotool mousemove $((left + 21 + 50)) $((top + 20 + 21 + 10)) click 1
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool type --delay 20 'Bank'
xdotool key Return Right
xdotool type --delay 20 'alice'
xdotool key Return Right
xdotool type --delay 20 's3cret'
xdotool key Return
xdotool mousemove $((left + 145 + 10)) $((top + 341 + 15 + 10)) click 1
for _ in $(seq 100); do grep -q $'^Pass=1\r$' "$work/DATA/note.ini" && break; sleep 0.1; done
grep -q $'^Pass=1\r$' "$work/DATA/note.ini" || fail "note.ini does not hold password page 1"
"$(dirname "$program")/kladdo-data" passwords export "$work/DATA" 0 > "$work/pass0.csv" ||
  fail "kladdo-data could not export password page 0"
grep -q $'^Bank,alice,s3cret\r$' "$work/pass0.csv" || fail "password page 0 holds $(head -2 "$work/pass0.csv" | tail -1)"
grep -q 's3cret' "$work/DATA/pass0.dat" && fail "the password was stored in clear"

# The close button (toolbar x 480, y 15, 20 x 20) saves and ends the program.
xdotool mousemove $((left + 480 + 10)) $((90 + 341 + 15 + 10)) click 1
expect_clean_end "the close button"

for line in 'Pos=90' 'Language=English' 'Adjust=1' 'RollEffect=1' 'Transparent=255'; do
  grep -q "^$line"$'\r$' "$work/DATA/note.ini" || fail "note.ini lacks $line"
done

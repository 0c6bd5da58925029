#!/usr/bin/env bash
# Two computers on one synced data folder, each Kladdo on its own screen,
# Syncthing between the two DATA/ folders, through real input only:
# 1. a note page saved on a reaches b's window, unedited there, which shows
#    it at once: b's screen changes, and what b types next lands behind
#    a's text, with no other version kept;
# 2. a password page b only looks at and turns does not undo a's change,
#    neither when the change lands as b turns nor when it lands after;
# 3. note page 0 edited on both at once: each save keeps the other's
#    version beside the page and asks whether to copy its text, the other
#    side tells of the copy when it arrives, and in the end both folders
#    hold every word typed on either side;
# 4. unsaved typing on a, whose recovery file reaches b, is not recovered
#    on b.
set -euo pipefail

program=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/syncthing.sh"
source "$(dirname "$0")/two_sides.sh"

screen_sum() { on "$1"; xwd -root -silent | md5sum; }
same_file() { cmp -s "$work/a/DATA/$1" "$work/b/DATA/$1"; }
page_is() { [ "$(page_text "$1" "$2")" = "$3" ]; }
has_row() { "$checker" passwords export "$work/$1/DATA" 0 | grep -q "^$2,"; }
expect_row() {
  has_row "$1" "$2" || fail "side $1's password page 0 lacks $2: $("$checker" passwords export "$work/$1/DATA" 0)"
}
# copy_texts SIDE: the texts of every conflict copy of note0.rtf on SIDE,
# Kladdo's and the sync tool's, one a line, sorted.
copy_texts() {
  local copy
  "$checker" conflicts "$work/$1/DATA" | awk -F'  ' '$2 == "note0.rtf" { print $1 }' |
    while IFS= read -r copy; do "$checker" conflicts show "$work/$1/DATA" "$copy" | tr -d '\n'; echo; done | sort
}
# answer SIDE KEY WHAT: a message box, WHAT, is shown on SIDE, and KEY
# answers it.
answer() {
  on "$1"
  [ -n "$(second_window)" ] || fail "side $1 did not show $3"
  xdotool key "$2"
  expect_second_window_gone "$3 on side $1"
}

two_sides

# 1. The caret blinks only in the active window: b's screen stands still
# with the focus on its root.
on b
xdotool windowfocus "$(xwininfo -root | awk '/Window id/ { print $4 }')" mousemove 0 0
sleep 0.7
before=$(screen_sum b)
type_at_end a "from-A"
forward a
syncthing_wait_idle
page_is b 0 "from-A" || fail "b's page 0 holds '$(page_text b 0)', not a's text"
for _ in $(seq 30); do [ "$(screen_sum b)" != "$before" ] && break; sleep 0.1; done
[ "$(screen_sum b)" != "$before" ] || fail "b's window did not change within 3 s of a's page reaching b"
type_at_end b " from-B"
forward b
wait_until "b's page 0 does not hold b's typing behind a's" page_is b 0 "from-A from-B"
[ -z "$(copy_texts b)" ] || fail "b kept another version of a page it showed as it was: $(copy_texts b)"

# 2. Password page 0, one cell typed on a; b shows the page and turns it
# the moment a's file lands, before or after its window took it in.
toolbar b 25
syncthing_wait_idle
toolbar a 25
at a 71 51
xdotool type --delay 5 "pw-one"
xdotool key Return
forward a
wait_until "a's password page did not reach b" same_file pass0.dat
wait_until "a's settings did not reach b" same_file note.ini
forward b
syncthing_wait_idle
expect_row a pw-one
expect_row b pw-one
# The two have not heard of each other yet (a sync tool's delay, here a
# pause): a types on the page again, and b turns the version both held.
# a saves by rolling, which leaves note.ini as it is: with both sides
# writing it while apart, the sync tool would keep one and copy the other.
back a
syncthing_wait_idle
back b
wait_until "b did not turn back to password page 0" own_setting_is b Pass 0
syncthing_wait_idle
syncthing_rest a POST "/rest/system/pause?device=${syncthing_id[b]}"
at a 71 72
xdotool type --delay 5 "pw-two"
xdotool key Return
save_in_place a
wait_until "a did not save its password page" has_row a pw-two
forward b
wait_until "b did not turn to password page 1" own_setting_is b Pass 1
syncthing_rest a POST "/rest/system/resume?device=${syncthing_id[b]}"
syncthing_wait_idle
expect_row a pw-two
expect_row b pw-two
for side in a b; do
  toolbar "$side" 25
  back "$side"
  syncthing_wait_idle
done

# 3. b types first; a saves twice meanwhile, its first save landing on b
# while b's page is edited, and b's save landing on a while a's is. b
# takes the other version's text and pastes it into page 1.
type_at_end b " B-both"
type_at_end a " A-first"
save_in_place a
wait_until "a's save did not reach b" same_file note0.rtf
type_at_end a " A-second"
forward b
answer b alt+y "the question on saving over another version"
page_is b 0 "from-A from-B B-both" || fail "b's page 0 holds '$(page_text b 0)', not b's own version"
[ "$(copy_texts b)" = "from-A from-B A-first" ] || fail "b kept beside its page: $(copy_texts b)"
at b 200 100
xdotool key ctrl+v
forward b
wait_until "b's page 1 does not hold a's version pasted" page_is b 1 "from-A from-B A-first"
syncthing_wait_idle
answer a Return "the notice of b's copy of a's version"
forward a
answer a Return "the question on saving over another version"
syncthing_wait_idle
answer b Return "the notice of a's copy of b's version"
# Nothing typed on either side is lost, and no copy was written over. Which
# version stays the page depends on whether b's save reached a before a's
# own save; when it had not, the sync tool's own conflict copy keeps the
# loser. Either way both sides hold every version.
for side in a b; do
  held=$(printf '%s\n' "$(page_text "$side" 0)" "$(copy_texts "$side")")
  for version in "from-A from-B A-first A-second" "from-A from-B B-both"; do
    grep -qxF "$version" <<<"$held" || fail "side $side lost '$version'; it holds: $held"
  done
done

# 4. Typing on a that is not saved yet has a recovery file, which the sync
# tool carries to b: b, started anew, neither shows it on the page nor
# saves it there, and tells in check whose it is. a shows page 1, b page 2.
recovery=backup/a/note1.rtf.unsaved
type_at_end a " unsaved-on-A"
wait_until "a wrote no recovery file" test -f "$work/a/DATA/$recovery"
syncthing_wait_idle
wait_until "a's recovery file did not reach b" same_file "$recovery"
end_side b
# Merged by hand, the copies go; else b's start would tell of them again.
"$checker" conflicts "$work/b/DATA" | awk -F'  ' '{ print $1 }' |
  while IFS= read -r copy; do rm "$work/b/DATA/$copy"; done
start_side b
back b
forward b
page_is b 1 "from-A from-B A-first" || fail "b's page 1 holds '$(page_text b 1)' after a's recovery file reached it"
"$checker" check "$work/b/DATA" | grep -qF "$recovery: unsaved changes of note1.rtf" ||
  fail "b's check does not tell of a's recovery file: $("$checker" check "$work/b/DATA")"
end_side a
end_side b
echo "sync: a page shown followed the other side, a looked-at password page undid nothing, both sides' edits of one page were kept, and one side's unsaved typing stayed its own"

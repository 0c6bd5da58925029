#!/usr/bin/env bash
# Kills the real program with SIGKILL while it saves, COUNT times, and checks
# after each kill that nothing it had written is torn or lost; then kills it
# a few seconds after typing stops, and checks that the next start brings
# the typing back from its recovery file and saves it at the page turn.
#
# Usage: tests/e2e/kill_test.sh PROGRAM [COUNT]   (COUNT defaults to 50;
# KILL_SEED=N repeats the random moments of an earlier run)
#
# Each round starts the program on a private Xvfb, rolls it out and, through
# real input events, keeps typing a short unique token at the end of the
# page shown and paging forward, so that each page flip writes a page file
# and note.ini. At a random moment the program is killed. Then:
# - kladdo-data check must find every file whole and readable;
# - note.ini must differ from the last good one at most in its page number;
# - each note page must read as its last good text followed by some of the
#   tokens typed into it since, in order and each one whole; a page nothing
#   was typed into must keep its bytes.
# A round is over within 1.2 s of the window's appearance, before typing can
# pause for the 2 s after which the program writes a recovery file; the
# rounds with a pause come after them, 3 + COUNT / 100 of them. Last, the
# password pages move into a vault, and 3 + COUNT / 10 rounds kill the
# program while rows are typed and saved into it: the vault must open
# after each kill, every cell its last good text and whole tokens after it.
# Nothing in the program itself serves this test.
set -euo pipefail

program=${1:?usage: kill_test.sh PROGRAM [COUNT]}
count=${2:-50}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
checker=$(dirname "$program")/kladdo-data
screen_width=1280
top=60
# The longest wait from the window's appearance to the kill, in ms.
max_delay_ms=1200

source "$source_dir/bench/xvfb.sh"

[[ $count =~ ^[1-9][0-9]*$ ]] || fail "COUNT must be a positive number"
[ -x "$checker" ] || fail "$checker is not built"
seed=${KILL_SEED:-$(( $(date +%s) % 32768 ))}
RANDOM=$seed

folder=$work/program
mkdir -p "$folder/DATA" "$work/good"
cp "$program" "$(dirname "$program")"/kladdo-sound.* "$folder/"
# No roll pauses and no dragging: every click lands where the script expects.
# The computer's own section is there from the start, so that a page turn
# changes nothing but the page numbers.
export KLADDO_COMPUTER=kill
printf '[WINDOW]\r\nPos=%d\r\nNote=0\r\nAdjust=0\r\nLanguage=English\r\nRollEffect=0\r\n' "$top" \
  > "$folder/DATA/note.ini"
printf '[WINDOW kill]\r\nDisplayNP=0\r\nNote=0\r\nPass=0\r\nPos=%d\r\n' "$top" >> "$folder/DATA/note.ini"
cp "$folder/DATA/note.ini" "$work/good/"
# Pages of some 30 KB each, so that a good share of the kills fall into a
# save rather than between two.
for page in $(seq 0 9); do
  seq 600 | sed "s/.*/Page $page, line &: the quick brown fox jumps over the lazy dog./" > "$work/page.txt"
  "$checker" notes import "$folder/DATA" "$page" "$work/page.txt"
done

left=$((screen_width - 525))
editor_x=$((left + 200)) editor_y=$((top + 100))
forward_x=$((left + 145 + 10)) button_y=$((top + 341 + 15 + 10))

# The text a page must still hold: its last good text.
good_text() { cat "$work/good/page$1"; }

page_text() {
  "$checker" notes export "$folder/DATA" "$1" --format text | tr -d '\n'
}

without_page_number() { sed 's/^Note=[0-9]\r$/Note=?\r/' "$1"; }

stored_page() { tr -d '\r' < "$folder/DATA/note.ini" | sed -n 's/^Note=//p' | sort -u; }

# Xvfb now and then refuses a new client for no reason of ours; a call
# refused so has done nothing, and is tried again.
xdo() {
  local try
  for try in 1 2 3 4 5; do
    xdotool "$@" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# Prints the window's id; fails when the program ended first or after 15 s.
wait_for_window() {
  local id
  for _ in $(seq 300); do
    kill -0 "$program_pid" 2>/dev/null || return 1
    id=$(xdotool search --onlyvisible --name '^Kladdo$' 2>/dev/null | head -1) && [ -n "$id" ] && {
      echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# Starts the program and waits for its window. A start the X server turned
# away is tried again, and counted. A notice shown before the window (of a
# page brought back) is answered with Enter.
start_program() {
  local try
  for try in 1 2 3; do
    "$folder/kladdo" 2>"$work/program.log" &
    program_pid=$!
    window=$(wait_for_window) && window=$(past_notices "$window") && return 0
    kill -KILL "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    grep -q 'could not connect to display' "$work/program.log" || break
    refused=$((refused + 1))
  done
  tail -20 "$work/program.log" >&2
  fail "round $round: no window appeared"
}

# The main window's id once its start has finished (the program says so on
# standard error), answering with Enter the notices of pages brought back
# that come over it meanwhile.
past_notices() {
  local id=$1 box
  for _ in $(seq 300); do
    grep -q ' started$' "$work/program.log" && { echo "$id"; return 0; }
    box=$(xdotool search --onlyvisible --name '^Kladdo$' 2>/dev/null | grep -vx "$id" | head -1)
    [ -n "$box" ] && xdo windowfocus "$box" key Return
    sleep 0.05
  done
  return 1
}

wait_rolled_out() {
  local X= Y=
  for _ in $(seq 200); do
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    [ "$X" = "$left" ] && return 0
    sleep 0.02
  done
  fail "round $round: the window did not roll out"
}

# Types a token into the page shown and pages forward, for ever; each token
# and the page it is meant for go to the log before they are sent.
save_loop() {
  local page=$1 step=0 token
  while true; do
    token="$round.$step;"
    echo "$page $token" >> "$work/typed"
    xdo mousemove "$editor_x" "$editor_y" click 1 key ctrl+End type --delay 1 "$token"
    xdo mousemove "$forward_x" "$button_y" click 1
    page=$(( (page + 1) % 10 ))
    step=$((step + 1))
    sleep 0.02
  done
}

# The page must read as its good text plus a run of its tokens in order.
check_page() {
  local page=$1 text expected token
  text=$(page_text "$page") || fail "round $round: note$page.rtf cannot be read"
  expected=$(good_text "$page")
  while [ "$text" != "$expected" ]; do
    read -r token ||
      fail "round $round: note$page.rtf holds '$text', not its last text '$(good_text "$page")' and whole tokens after it"
    expected+=$token
  done < <(awk -v p="$page" '$1 == p { print $2 }' "$work/typed")
  printf '%s' "$text" > "$work/good/page$page"
}

check_round() {
  local report page
  report=$("$checker" check "$folder/DATA") || fail "round $round: kladdo-data check: $report"
  [ "$(without_page_number "$folder/DATA/note.ini")" = "$(without_page_number "$work/good/note.ini")" ] ||
    fail "round $round: note.ini is neither the old nor a new version"
  [[ $(stored_page) =~ ^[0-9]$ ]] || fail "round $round: note.ini holds no page number"
  cp "$folder/DATA/note.ini" "$work/good/note.ini"
  for page in $(seq 0 9); do
    if grep -q "^$page " "$work/typed"; then
      check_page "$page"
    else
      md5sum --quiet -c "$work/good/page$page.md5" >/dev/null 2>&1 ||
        fail "round $round: note$page.rtf changed, though nothing was typed into it"
    fi
  done
}

# The bytes of every page as the round starts.
remember_pages() {
  local page
  for page in $(seq 0 9); do md5sum "$folder/DATA/note$page.rtf" > "$work/good/page$page.md5"; done
}

roll_out() {
  xdo mousemove $((screen_width - 16 + 8)) $((top + 342 + 23)) click 3
  wait_rolled_out "$window"
}

end_program() {
  kill -KILL "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

# The recovery file of note page $1, in the folder of this computer's under
# DATA/backup, whatever its name: nothing when there is none.
recovery_file() {
  find "$folder/DATA/backup" -mindepth 2 -maxdepth 2 -name "note$1.rtf.unsaved" 2>/dev/null
}

# Types a token, waits for its recovery file, kills the program, starts it
# again and turns the page: the page file must then hold the token.
typing_round() {
  local page token
  page=$(stored_page)
  token="pause.$round;"
  start_program
  roll_out
  echo "$page $token" >> "$work/typed"
  xdo mousemove "$editor_x" "$editor_y" click 1 key ctrl+End type --delay 1 "$token"
  for _ in $(seq 100); do [ -n "$(recovery_file "$page")" ] && break; sleep 0.1; done
  [ -n "$(recovery_file "$page")" ] || fail "round $round: no recovery file 10 s after typing stopped"
  end_program
  [[ $(page_text "$page") != *"$token"* ]] || fail "round $round: the page was saved without a page turn"
  start_program
  roll_out
  xdo mousemove "$forward_x" "$button_y" click 1
  for _ in $(seq 50); do [[ $(page_text "$page") == *"$token"* ]] && break; sleep 0.1; done
  [[ $(page_text "$page") == *"$token"* ]] || fail "round $round: the token typed before the kill is not in note$page.rtf"
  [ -z "$(recovery_file "$page")" ] || fail "round $round: the recovery file outlived the save"
  end_program
}

for page in $(seq 0 9); do page_text "$page" > "$work/good/page$page"; done
start_xvfb "$screen_width"
export QT_QPA_PLATFORM=xcb
export KLADDO_STARTUP_TRACE=1
started=$(date +%s)
refused=0
echo "kill_test: $count rounds, seed $seed"
for round in $(seq "$count"); do
  : > "$work/typed"
  remember_pages
  first_page=$(stored_page)
  start_program
  roll_out
  save_loop "$first_page" &
  watcher_pid=$!
  delay_ms=$((RANDOM % max_delay_ms))
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -KILL "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  kill "$watcher_pid" 2>/dev/null || true
  wait "$watcher_pid" 2>/dev/null || true
  program_pid= watcher_pid=
  check_round
done
for round in $(seq $((count + 1)) $((count + 3 + count / 100))); do
  : > "$work/typed"
  remember_pages
  typing_round
  check_round
done

# Then the password pages in a vault, killed while rows are typed and saved
# into it: after each kill the vault opens and every cell is its last good
# text followed by whole tokens.
vault_page() {
  printf 'master\n' | "$checker" vault export "$folder/DATA" "$1" --password-stdin | tail -n +2 | tr -d '\r'
}
vault_loop() {
  local step=0 token
  xdo type --delay 1 master
  xdo key Return
  while true; do
    token="v$round.$step;"
    xdo type --delay 1 "$token"
    xdo key Return ctrl+Next
    step=$((step + 1))
    sleep 0.02
  done
}
check_vault_round() {
  local page rows
  "$checker" check "$folder/DATA" >/dev/null || fail "round $round: kladdo-data check fails on the vault"
  for page in $(seq 0 9); do
    rows=$(vault_page "$page") || fail "round $round: the vault does not open"
    paste -d '|' "$work/good/vault$page" <(printf '%s\n' "$rows") | awk -F'|' -v page="$page" '
      { split($1, old, ","); split($2, new, ",")
        for (c = 1; c <= 3; c++) {
          if (index(new[c], old[c]) != 1 || substr(new[c], length(old[c]) + 1) !~ /^(v[0-9]+\.[0-9]+;)*$/) {
            print "page " page " row " NR ": \"" new[c] "\" after \"" old[c] "\""; exit 1 } } }' ||
      fail "round $round: a cell of the vault is not its last text and whole tokens"
    printf '%s\n' "$rows" > "$work/good/vault$page"
  done
}
printf 'master\n' | "$checker" vault create "$folder/DATA" --password-stdin --memory 8 --iterations 2 >/dev/null
sed -i 's/^DisplayNP=0\r$/DisplayNP=1\r/' "$folder/DATA/note.ini"
for page in $(seq 0 9); do vault_page "$page" > "$work/good/vault$page"; done
vault_rounds=$((3 + count / 10))
for round in $(seq $((count + 4 + count / 100)) $((count + 3 + count / 100 + vault_rounds))); do
  start_program
  roll_out
  vault_loop &
  watcher_pid=$!
  delay_ms=$((300 + RANDOM % max_delay_ms))
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  end_program
  kill "$watcher_pid" 2>/dev/null || true
  wait "$watcher_pid" 2>/dev/null || true
  watcher_pid=
  check_vault_round
done
vault_saved=$(cat "$work"/good/vault? | tr -cd ';' | wc -c)
[ "$vault_saved" -gt 0 ] || fail "no row was ever saved into the vault"

# Typing that never reached the program would pass every check above.
saved=$(cat "$work"/good/page? | tr -cd ';' | wc -c)
[ "$saved" -gt 0 ] || fail "no page was ever saved"
leftovers=$(find "$folder/DATA" -maxdepth 1 -type f ! -name 'note*.rtf' ! -name note.ini ! -name 'pass*.dat' \
  ! -name passwords.kdbx | wc -l)
echo "kill_test: $count kills, every file whole, $saved tokens saved;" \
  "$((3 + count / 100)) kills after typing stopped, every token brought back;" \
  "$vault_rounds kills while the vault saved, $vault_saved tokens in it;" \
  "$(( $(date +%s) - started )) s; $leftovers temporary files left by killed writes;" \
  "$refused starts refused by the X server and repeated"

# shellcheck shell=bash
# Sourced after lib.sh and syncthing.sh by the scripts that run Kladdo on
# two computers: sides a and b, each a program folder $work/SIDE with its
# own DATA/, screen and runtime folder, the two DATA/ folders kept in step
# by Syncthing. Places given to the helpers are in the rolled-out window.

screen_width=1280
top=60
left=$((screen_width - 525))
checker=$(dirname "$program")/kladdo-data
declare -A display=() window_of=() kladdo_pid=()

# on SIDE: the screen and window that xdotool and lib.sh's helpers use.
on() {
  export DISPLAY=${display[$1]}
  window=${window_of[$1]:-}
}

at() { on "$1"; xdotool mousemove $((left + $2)) $((top + $3)) click "${4:-1}"; }
toolbar() { at "$1" $(($2 + 10)) $((341 + 15 + 10)); }
forward() { toolbar "$1" 145; }
back() { toolbar "$1" 75; }
type_at_end() { at "$1" 200 100; xdotool key ctrl+End type --delay 5 "$2"; }

# save_in_place SIDE: the page saved by rolling in and out; it stays shown.
save_in_place() {
  at "$1" 8 365 3
  wait_for_position $((screen_width - 16)) "$top"
  xdotool mousemove $((screen_width - 16 + 8)) $((top + 365)) click 3
  wait_for_position "$left" "$top"
}

# own_setting SIDE KEY: KEY as SIDE keeps it for itself in its note.ini.
own_setting() {
  awk -F= -v own="[WINDOW $1]" -v key="$2" '{ sub(/\r$/, "") }
    /^\[/ { mine = ($0 == own); next }
    mine && $1 == key { print $2 }' "$work/$1/DATA/note.ini"
}
own_setting_is() { [ "$(own_setting "$1" "$2")" = "$3" ]; }

page_text() { "$checker" notes export "$work/$1/DATA" "$2" --format text | tr -d '\n'; }

# wait_until WHAT COMMAND...: COMMAND succeeds within 10 s.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done
  fail "$what"
}

# The programs end before Syncthing and the screens, asked first; one that
# does not end within 5 s (a message box open, say) is killed.
end_sides() {
  local -a pids=("${kladdo_pid[@]}")
  local pid
  [ ${#pids[@]} -eq 0 ] && return 0
  kill -TERM "${pids[@]}" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "${pids[@]}" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "${pids[@]}" 2>/dev/null || true
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}

# end_side SIDE: ended by SIGTERM, with status 0.
end_side() {
  local status=0
  kill -TERM "${kladdo_pid[$1]}"
  wait "${kladdo_pid[$1]}" || status=$?
  unset "kladdo_pid[$1]"
  [ "$status" -eq 0 ] || fail "side $1 ended with status $status: $(tail -5 "$work/$1.log")"
}

start_side() {
  on "$1"
  KLADDO_COMPUTER=$1 XDG_RUNTIME_DIR=$work/$1/runtime KLADDO_STARTUP_TRACE=1 "$work/$1/kladdo" 2>"$work/$1.log" &
  kladdo_pid[$1]=$!
  window_of[$1]=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' | head -1) ||
    fail "no Kladdo window appeared on side $1"
  on "$1"
  for _ in $(seq 300); do grep -q ' started$' "$work/$1.log" && break; sleep 0.05; done
  grep -q ' started$' "$work/$1.log" || fail "side $1 did not finish its start: $(cat "$work/$1.log")"
  wait_for_position $((screen_width - 16)) "$top"
  xdotool mousemove $((screen_width - 16 + 8)) $((top + 365)) click 3
  wait_for_position "$left" "$top"
}

# two_sides: both folders laid and in step, both programs rolled out on
# note page 0. Only a's settings are written: b's come by the sync, as on a
# second computer that joins the folder.
two_sides() {
  local side
  local -a words
  unset QT_QPA_PLATFORM
  for side in a b; do
    mkdir -p "$work/$side/DATA"
    mkdir -m 700 "$work/$side/runtime"
    cp "$program" "$(dirname "$program")"/kladdo-sound.* "$work/$side/"
    start_xvfb "$screen_width"
    display[$side]=$DISPLAY
  done
  printf '[WINDOW]\r\nPos=%d\r\nLanguage=English\r\nRollEffect=0\r\n' "$top" >"$work/a/DATA/note.ini"
  syncthing_pair "$work/a/DATA" "$work/b/DATA"
  cmp -s "$work/a/DATA/note.ini" "$work/b/DATA/note.ini" || fail "note.ini did not reach side b"
  eval "words=($(trap -p EXIT))"
  trap -- "end_sides; ${words[2]:-}" EXIT
  # One after the other, as two computers joining: each one's first start
  # adds its own section to note.ini, and two such writes at once would be
  # a conflict to the sync tool.
  for side in a b; do
    start_side "$side"
    syncthing_wait_idle
  done
}

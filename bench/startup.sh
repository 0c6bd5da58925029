#!/usr/bin/env bash
# Whole-process start-up of Kladdo against two floors on a private Xvfb:
# the empty window (the cheapest window Qt shows, of Kladdo's size and
# kind) and the filled window (the same, holding the plain text of Kladdo's
# generated note of about 100 KB of rich text). It takes the time from
# launch until the window is mapped and viewable, and the resident memory
# (VmRSS, VmHWM) once the window is shown and the program idle; and the
# time from launch until a roll-out, asked for by a right click on the
# handle the moment the window maps, has put the page's first screen on
# the screen (the program's own trace tells when that frame went out). Runs
# alternate between the programs after one warm-up each, so that the
# shared machine's moods fall on all alike.
#
# With --full-data, Kladdo also starts, in the same rotation, on a data
# folder as a long-time user has it: ten note pages of that size, ten full
# password pages, every page titled and every note page with an alarm ahead,
# all laid by kladdo-data.
#
# When xpad, a sticky-note pad from Debian, is installed, it starts in the
# same rotation too: one pad of Kladdo's size holding the same plain text,
# from a home folder of its own laid afresh before every run.
#
# Usage: bench/startup.sh [--full-data] BUILD_DIR [RUNS]   (RUNS defaults to 20)
set -euo pipefail

full_data=false
if [ "${1:-}" = --full-data ]; then
  full_data=true
  shift
fi
build=${1:?usage: bench/startup.sh [--full-data] BUILD_DIR [RUNS]}
runs=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
note_bytes=102400
top=60
screen_width=1280

source "$source_dir/bench/xvfb.sh"

with_xpad=false
command -v xpad > /dev/null && with_xpad=true

for tool in "$build/bin/kladdo" "$build/bin/kladdo-data" "$build/bench/bare_window" "$build/bench/bench_sample_note"; do
  [ -x "$tool" ] || fail "$tool is not built (cmake -DKLADDO_BUILD_BENCH=ON)"
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || fail "RUNS must be a positive number"

# Each program runs from a folder of its own in $work: Kladdo from a copy of
# its program folder with DATA/ laid afresh before every run.
lay_folders() {
  mkdir -p "$work/kladdo/DATA.template" "$work/bare"
  cp "$build/bin/kladdo" "$work/kladdo/"
  cp "$source_dir/resources/note.wav" "$work/kladdo/DATA.template/"
  # No roll pauses: the roll-out's time is the program's, not the animation's.
  printf '[WINDOW]\r\nPos=%d\r\nNote=0\r\nLanguage=English\r\nRollEffect=0\r\n' "$top" \
    > "$work/kladdo/DATA.template/note.ini"
  "$build/bench/bench_sample_note" "$note_bytes" "$work/kladdo/DATA.template/note0.rtf" "$work/bare/note0.txt"
  cp "$build/bench/bare_window" "$work/bare/"
  if $full_data; then
    lay_full_data "$work/kladdo/DATA.full"
  fi
  if $with_xpad; then
    lay_xpad
  fi
}

# xpad keeps each pad as an info and a content file under its config folder;
# its tray icon is off, since Xvfb has no tray to wait for.
lay_xpad() {
  local config=$work/xpad/home.template/.config/xpad
  mkdir -p "$config"
  cp "$work/bare/note0.txt" "$config/content-BENCH0"
  printf 'width %d\nheight %d\nx %d\ny %d\nsticky 0\nhidden 0\nfollow_font 1\nfollow_color 1\ncontent content-BENCH0\n' \
    528 549 $((screen_width - 528)) "$top" > "$config/info-BENCH0"
  printf 'tray_enabled 0\nautostart_display_pads 2\n' > "$config/default-style"
}

# A password page's CSV: the header and 14 rows of plausible lengths.
password_csv() {
  echo "text,name,password"
  for row in $(seq 14); do
    echo "Account $1.$row at the example shop,user.$1.$row@example.org,Pw-$1-$row-x7Gq2LmZ9vRt"
  done
}

# lay_full_data DIR: the one-note folder, then every page and alarm filled.
lay_full_data() {
  local data=$1 page year
  cp -r "$work/kladdo/DATA.template" "$data"
  year=$(( $(date +%Y) + 1 ))
  for page in $(seq 0 9); do
    "$build/bin/kladdo-data" notes import "$data" "$page" "$work/kladdo/DATA.template/note0.rtf" > /dev/null
    password_csv "$page" > "$work/pass.csv"
    "$build/bin/kladdo-data" passwords import "$data" "$page" "$work/pass.csv" > /dev/null
    "$build/bin/kladdo-data" settings set "$data" NOTETITLE "Title$page" "Note page $page" > /dev/null
    "$build/bin/kladdo-data" settings set "$data" PASSTITLE "Title$page" "Passwords $page" > /dev/null
    "$build/bin/kladdo-data" settings set "$data" ALARM "Alarm$page" \
      "$(printf '%02d.06.%d   %02d:30' $((page + 1)) "$year" $((page + 8)))" > /dev/null
  done
}

# xev reports every window mapped on the root, the moment it happens: xdotool
# search --sync polls only every half second. A property set on the root
# tells when xev listens; until it does, the setting goes unreported.
start_watcher() {
  mkfifo "$work/events"
  xev -root -event substructure -event property > "$work/events" &
  watcher_pid=$!
  exec {events}<"$work/events"
  for _ in $(seq 10); do
    xprop -root -f _STARTUP_BENCH 8s -set _STARTUP_BENCH ready
    wait_for_event PropertyNotify 1 && return 0
  done
  fail "xev does not report root events"
}

# wait_for_event NAME SECONDS: reads reports until one of NAME comes.
wait_for_event() {
  local line deadline=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if read -r -t 1 -u "$events" line; then
      [[ $line == "$1 event"* ]] && return 0
    elif [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null; then
      return 1
    fi
  done
  return 1
}

drain_events() {
  local line
  while read -r -t 0.05 -u "$events" line; do :; done
}

# The CPU time a process has used, in clock ticks (utime + stime).
cpu_ticks() {
  local stat
  read -r -a stat < "/proc/$1/stat"
  echo $((stat[13] + stat[14]))
}

# Settles 300 ms, then waits until a tenth of a second passes without CPU.
wait_until_idle() {
  local before after
  sleep 0.3
  after=$(cpu_ticks "$1")
  for _ in $(seq 50); do
    before=$after
    sleep 0.1
    after=$(cpu_ticks "$1")
    [ "$after" -eq "$before" ] && return 0
  done
  fail "$2 did not come to rest"
}

status_kb() {
  awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"
}

# measure NAME COMMAND...: one start; appends "ms rss_kb hwm_kb" to NAME.runs.
# The clock is bash's EPOCHREALTIME: date +%s%N to the microsecond, but
# without a process started in the timed span.
measure() {
  local name=$1 started shown ms
  shift
  drain_events
  started=${EPOCHREALTIME/./}
  "$@" > "$work/$name.log" 2>&1 &
  program_pid=$!
  wait_for_event MapNotify 30 || fail "$name showed no window (see its output below)
$(cat "$work/$name.log")"
  shown=${EPOCHREALTIME/./}
  xdotool search --onlyvisible --pid "$program_pid" > /dev/null || fail "the window mapped is not $name's"
  wait_until_idle "$program_pid" "$name"
  ms=$(( (shown - started) / 1000 )).$(printf '%03d' $(( (shown - started) % 1000 )))
  echo "$ms $(status_kb "$program_pid" VmRSS) $(status_kb "$program_pid" VmHWM)" >> "$work/$name.runs"
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

# run_kladdo NAME [TEMPLATE]: DATA/ laid afresh from DATA.TEMPLATE.
run_kladdo() {
  rm -rf "$work/kladdo/DATA"
  cp -r "$work/kladdo/DATA.${2:-template}" "$work/kladdo/DATA"
  measure "$1" "$work/kladdo/kladdo"
}

run_xpad() {
  rm -rf "$work/xpad/home"
  cp -r "$work/xpad/home.template" "$work/xpad/home"
  measure "$1" env HOME="$work/xpad/home" XDG_CONFIG_HOME="$work/xpad/home/.config" xpad
}

run_bare() {
  measure "$1" "$work/bare/bare_window" "$work/bare/note0.txt" "$top"
}

run_empty() {
  measure "$1" "$work/bare/bare_window" "$top"
}

# run_rollout NAME [TEMPLATE]: a right click on the handle as soon as the
# window maps; appends to NAME.runs the ms from launch until the first
# frame the program drew after its roll.
run_rollout() {
  local started frame
  rm -rf "$work/kladdo/DATA"
  cp -r "$work/kladdo/DATA.${2:-template}" "$work/kladdo/DATA"
  drain_events
  started=${EPOCHREALTIME/./}
  KLADDO_STARTUP_TRACE=1 "$work/kladdo/kladdo" 2> "$work/$1.log" &
  program_pid=$!
  wait_for_event MapNotify 30 || fail "kladdo showed no window: $(cat "$work/$1.log")"
  xdotool mousemove $((screen_width - 8)) $((top + 341 + 23)) click 3
  wait_until_idle "$program_pid" kladdo
  frame=$(awk '$5 == "rolled" { rolled = 1 } rolled && $5 == "frame" { print $2; exit }' "$work/$1.log")
  [ -n "$frame" ] || fail "no frame after a roll-out: $(cat "$work/$1.log")"
  echo "$(( (frame - started) / 1000 )).$(printf '%03d' $(( (frame - started) % 1000 )))" >> "$work/$1.runs"
  kill "$program_pid"
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

# median_min FILE N: median and minimum of the Nth figure of FILE.
median_min() {
  sort -g -k"$2,$2" "$1" | awk -v n="$2" '
    { v[NR] = $n }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[1] }'
}

# The figures of one program, one a line: median and min of the ms, and of
# VmRSS and VmHWM in MB.
figures() {
  {
    median_min "$work/$1.runs" 1
    median_min "$work/$1.runs" 2
    median_min "$work/$1.runs" 3
  } | awk '{ scale = NR == 1 ? 1 : 1024; printf "%.1f\n%.1f\n", $1 / scale, $2 / scale }'
}

row() {
  printf '%-16s %10s %10s %10s %10s %10s %10s\n' "$@"
}

# ratio_row LABEL A B: the figures of A over those of B.
ratio_row() {
  local ratio
  mapfile -t ratio < <(paste <(figures "$2") <(figures "$3") | awk '{ printf "%.2f\n", $1 / $2 }')
  row "$1" "${ratio[@]}"
}

report() {
  local kladdo bare other
  echo "$runs runs each; note $(stat -c %s "$work/kladdo/DATA.template/note0.rtf") bytes of rich text," \
       "$(stat -c %s "$work/bare/note0.txt") bytes of plain text; Xvfb ${screen_width}x800"
  printf '%-16s %21s %21s %21s\n' "" "launch to shown, ms" "VmRSS, MB" "VmHWM, MB"
  row "" median min median min median min
  for name in kladdo empty bare; do
    mapfile -t kladdo < <(figures "$name")
    row "${name/bare/filled}" "${kladdo[@]}"
  done
  ratio_row "kladdo / empty" kladdo empty
  ratio_row "kladdo / filled" kladdo bare
  if $full_data; then
    mapfile -t kladdo < <(figures kladdo-full)
    row "kladdo full" "${kladdo[@]}"
    ratio_row "full / empty" kladdo-full empty
    ratio_row "full / filled" kladdo-full bare
    echo "kladdo full: DATA/ of $(du -sk "$work/kladdo/DATA.full" | cut -f1) KB, $(ls "$work/kladdo/DATA.full" | wc -l) files"
  fi
  for name in rollout rollout-full; do
    [ -s "$work/$name.runs" ] || continue
    echo "launch to the rolled-out first screen, ${name/rollout/kladdo}: median $(median_min "$work/$name.runs" 1 |
      awk '{ printf "%.1f ms, min %.1f ms", $1, $2 }')"
  done
  if $with_xpad; then
    mapfile -t other < <(figures xpad)
    row xpad "${other[@]}"
    ratio_row "kladdo / xpad" kladdo xpad
  fi
}

export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
lay_folders
start_xvfb "$screen_width"
start_watcher

run_kladdo warmup
run_bare warmup
run_empty warmup
$full_data && run_kladdo warmup full
$with_xpad && run_xpad warmup
for _ in $(seq "$runs"); do
  run_kladdo kladdo
  run_empty empty
  run_bare bare
  run_rollout rollout
  if $full_data; then
    run_kladdo kladdo-full full
    run_rollout rollout-full full
  fi
  if $with_xpad; then
    run_xpad xpad
  fi
done
report

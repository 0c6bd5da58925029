#!/usr/bin/env bash
# What Kladdo costs while it sits rolled in and nobody touches it: the CPU
# time of the whole process (user and system, all threads, from /proc) and
# the number of times its threads woke (voluntary context switches) over an
# idle span on a private Xvfb, after it has come to rest.
#
# Usage: bench/idle.sh BUILD_DIR [SECONDS]   (SECONDS defaults to 300)
set -euo pipefail

build=${1:?usage: bench/idle.sh BUILD_DIR [SECONDS]}
span=${2:-300}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
settle=10

source "$source_dir/bench/xvfb.sh"

[ -x "$build/bin/kladdo" ] || fail "$build/bin/kladdo is not built"
[[ $span =~ ^[1-9][0-9]*$ ]] || fail "SECONDS must be a positive number"

mkdir -p "$work/DATA"
cp "$build/bin/kladdo" "$work/"
cp "$source_dir/resources/note.wav" "$work/DATA/"
printf '[WINDOW]\r\nPos=60\r\nLanguage=English\r\nDisplayAlarm=1\r\n' > "$work/DATA/note.ini"

start_xvfb 1280
export QT_QPA_PLATFORM=xcb

"$work/kladdo" &
program_pid=$!
timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' >/dev/null || fail "no Kladdo window appeared"
sleep "$settle"

# One line per thread: id, name, CPU time in nanoseconds, voluntary context
# switches (each a wake-up after sleeping).
snapshot() {
  local task
  for task in /proc/"$program_pid"/task/*; do
    printf '%s %s %s %s\n' "${task##*/}" "$(tr ' ' _ < "$task/comm")" "$(cut -d' ' -f1 "$task/schedstat")" \
      "$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")"
  done 2>/dev/null
}

snapshot > "$work/before"
sleep "$span"
snapshot > "$work/after"

# Threads that ended meanwhile are left out; threads that began count whole.
echo "idle for ${span} s rolled in; per thread: CPU ms, wake-ups"
awk -v span="$span" '
  NR == FNR { cpu[$1] = $3; woke[$1] = $4; next }
  { c = ($3 - cpu[$1]) / 1e6; w = $4 - woke[$1]; tc += c; tw += w
    printf "  %-18s %8.2f ms %6d\n", $2, c, w }
  END { printf "whole process: %.2f ms CPU (%.5f %% of one core), %d wake-ups (%.1f a minute)\n",
               tc, tc / 10 / span, tw, tw * 60 / span }' "$work/before" "$work/after"

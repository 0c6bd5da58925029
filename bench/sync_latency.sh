#!/usr/bin/env bash
# How long a save on one computer takes to reach the other: two copies on
# two private screens, their DATA/ folders kept in step by the Syncthing
# pair of the end-to-end tests (a one second watch delay; Syncthing's own
# default is ten). Each run types a word on a's page 0 and saves it by a
# roll, then times, from the roll's click, a's file arriving whole in b's
# folder and b's screen, unedited there, showing it. Nothing forces a scan.
#
# Usage: bench/sync_latency.sh BUILD_DIR [RUNS]   (RUNS defaults to 5)
set -euo pipefail

build=${1:?usage: bench/sync_latency.sh BUILD_DIR [RUNS]}
runs=${2:-5}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
program=$build/bin/kladdo

source "$source_dir/tests/e2e/lib.sh"
source "$source_dir/tests/e2e/syncthing.sh"
source "$source_dir/tests/e2e/two_sides.sh"

[ -x "$program" ] && [ -x "$checker" ] || fail "$program and kladdo-data are not built"
[[ $runs =~ ^[1-9][0-9]*$ ]] || fail "RUNS must be a positive number"
export LSAN_OPTIONS=suppressions=$source_dir/tests/lsan.supp:print_suppressions=0

ms_since() { echo $(( (${EPOCHREALTIME/./} - $1) / 1000 )); }
screen_sum() { on b; xwd -root -silent | md5sum; }

two_sides
# The caret blinks only in the active window: b's screen stands still with
# the focus on its root.
on b
xdotool windowfocus "$(xwininfo -root | awk '/Window id/ { print $4 }')" mousemove 0 0
for run in $(seq "$runs"); do
  sleep 1
  before=$(screen_sum)
  type_at_end a " run-$run"
  started=${EPOCHREALTIME/./}
  at a 8 365 3
  on_disk= shown=
  while [ -z "$shown" ]; do
    [ "$(ms_since "$started")" -lt 20000 ] || fail "run $run: not shown on b within 20 s"
    if [ -z "$on_disk" ]; then
      cmp -s "$work/a/DATA/note0.rtf" "$work/b/DATA/note0.rtf" && on_disk=$(ms_since "$started")
    fi
    [ -n "$on_disk" ] && [ "$(screen_sum)" != "$before" ] && shown=$(ms_since "$started")
    sleep 0.02
  done
  echo "run $run: on b's disk after $on_disk ms, on b's screen after $shown ms"
  echo "$on_disk $shown" >> "$work/runs"
  on a
  wait_for_position $((screen_width - 16)) "$top"
  xdotool mousemove $((screen_width - 16 + 8)) $((top + 365)) click 3
  wait_for_position "$left" "$top"
done
[ "$(page_text b 0)" = "$(page_text a 0)" ] || fail "b's page 0 is not a's"
for column in 1 2; do
  cut -d' ' -f"$column" "$work/runs" | sort -n | awk -v what="$([ "$column" = 1 ] && echo "b's disk" || echo "b's screen")" '
    { v[NR] = $1 }
    END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "save on a to %s, %d runs: min %d ms, median %d ms, max %d ms\n", what, NR, v[1], m, v[NR] }'
done

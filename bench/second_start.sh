#!/usr/bin/env bash
# Whole-process time of a second start on a data folder that a running copy
# holds: from launch until the second copy, having asked the first to come
# out, has ended. The first copy runs on a private Xvfb throughout.
#
# Usage: bench/second_start.sh BUILD_DIR [RUNS]   (RUNS defaults to 20)
set -euo pipefail

build=${1:?usage: bench/second_start.sh BUILD_DIR [RUNS]}
runs=${2:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

source "$source_dir/bench/xvfb.sh"

[ -x "$build/bin/kladdo" ] || fail "$build/bin/kladdo is not built"
[[ $runs =~ ^[1-9][0-9]*$ ]] || fail "RUNS must be a positive number"

mkdir -p "$work/kladdo/DATA"
cp "$build/bin/kladdo" "$work/kladdo/"
printf '[WINDOW]\r\nPos=60\r\nLanguage=English\r\n' > "$work/kladdo/DATA/note.ini"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_xvfb 1280

"$work/kladdo/kladdo" > "$work/first.log" 2>&1 &
program_pid=$!
timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' > /dev/null ||
  fail "the first copy showed no window"

# The clock is bash's EPOCHREALTIME, so that no process starts in the span.
for _ in $(seq "$runs"); do
  started=${EPOCHREALTIME/./}
  "$work/kladdo/kladdo" || fail "a second start ended with status $?"
  ended=${EPOCHREALTIME/./}
  echo $(( ended - started )) >> "$work/runs"
done
sort -n "$work/runs" | awk '
  { v[NR] = $1 / 1000 }
  END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%d second starts: median %.1f ms, min %.1f ms, max %.1f ms\n", NR, m, v[1], v[NR] }'

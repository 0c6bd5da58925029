#!/usr/bin/env bash
# Run by deb-test.sh inside the clean root that has the package installed.
set -euo pipefail
fail() { echo "deb-test.sh: $*" >&2; exit 1; }

useradd -m ada
data=/home/ada/.local/share/kladdo/DATA
Xvfb :7 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=:7
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

mkdir -m 700 /tmp/ada-runtime && chown ada /tmp/ada-runtime
runuser -u ada -- env DISPLAY=:7 HOME=/home/ada XDG_RUNTIME_DIR=/tmp/ada-runtime KLADDO_STARTUP_TRACE=1 \
  kladdo 2>/tmp/kladdo.log &
program=$!
timeout 30 xdotool search --sync --onlyvisible --name '^Kladdo$' >/dev/null || fail "no window: $(cat /tmp/kladdo.log)"
for _ in $(seq 300); do grep -q ' started$' /tmp/kladdo.log && break; sleep 0.05; done
window=$(xdotool search --onlyvisible --name '^Kladdo$' | head -1)
xdotool key ctrl+alt+k
for _ in $(seq 100); do
  eval "$(xdotool getwindowgeometry --shell "$window")"
  [ "$X" -eq $((1280 - 525)) ] && break
  sleep 0.1
done
[ "$X" -eq $((1280 - 525)) ] || fail "the global key did not bring the window out: $(cat /tmp/kladdo.log)"
xdotool type --delay 20 "installed note"
# Told to end as the session would, not through runuser, which would kill it.
kill -TERM "$(pgrep -u ada -x kladdo)"
wait "$program" || fail "Kladdo did not end well: $(cat /tmp/kladdo.log)"

[ -f "$data/note.wav" ] || fail "$data lacks the alarm sound"
text=$(runuser -u ada -- kladdo-data notes export "$data" 0 --format text)
[ "$text" = "installed note" ] || fail "note page 0 in $data holds '$text'"
echo "deb-test.sh: installed, started as a new user, and the note is in $data"

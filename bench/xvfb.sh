# Sourced by the whole-process benchmarks and end-to-end tests: a scratch
# folder $work, private Xvfb servers, and, on any exit, the end of everything
# they started. The script keeps the process ids it starts in program_pid and
# watcher_pid.

work=$(mktemp -d)
xvfb_pid=
xvfb_pids=()
watcher_pid=
program_pid=

# A server the script ended and waited for itself is no longer among the
# jobs, and its number may be someone else's by now.
cleanup() {
  local pid
  for pid in "$program_pid" "$watcher_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  for pid in "${xvfb_pids[@]}"; do
    jobs -p | grep -qx "$pid" && kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}

# start_xvfb WIDTH: an 800 pixel high screen of that width; DISPLAY names it
# and xvfb_pid is its server's, of the last started. A file of its own each
# time: a second server's start must not read the number the first one wrote.
start_xvfb() {
  local number
  number=$(mktemp "$work/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "$1"x"${2:-800}"x24 -nolisten tcp 3>"$number" 2>/dev/null &
  xvfb_pid=$!
  xvfb_pids+=("$!")
  for _ in $(seq 100); do [ -s "$number" ] && break; sleep 0.1; done
  [ -s "$number" ] || fail "Xvfb did not start"
  DISPLAY=":$(cat "$number")"
  export DISPLAY
}

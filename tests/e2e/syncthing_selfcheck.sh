#!/usr/bin/env bash
# Checks the Syncthing harness of syncthing.sh itself; run by hand, not by CTest.
set -euo pipefail

source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/syncthing.sh"

ms_since() { echo $(( (${EPOCHREALTIME/./} - $1) / 1000 )); }

dir_a=$work/a/DATA
dir_b=$work/b/DATA
mkdir -p "$dir_a" "$dir_b"
started=${EPOCHREALTIME/./}
syncthing_pair "$dir_a" "$dir_b"
echo "pair and first idle: $(ms_since "$started") ms"

# A new file, seen by the watcher alone.
for run in 1 2 3; do
  started=${EPOCHREALTIME/./}
  echo "written in A, run $run" > "$dir_a/new-$run.txt"
  syncthing_wait_content "$dir_b/new-$run.txt" "written in A, run $run"
  echo "A to B, run $run: $(ms_since "$started") ms"
done

# Replaced in B the way sync tools and careful writers do it.
printf 'first\n' > "$dir_a/page.txt"
syncthing_wait_idle
started=${EPOCHREALTIME/./}
printf 'replaced in B\n' > "$dir_b/.page.txt.tmp"
mv "$dir_b/.page.txt.tmp" "$dir_b/page.txt"
syncthing_wait_content "$dir_a/page.txt" "replaced in B"
echo "B to A by rename: $(ms_since "$started") ms"

syncthing_wait_idle
[ ! -e "$dir_a/.page.txt.tmp" ] || fail "the temporary file of the rename stayed in A"

# One file changed on both sides before either has seen the other's change:
# both keep one version under the name and the other as a conflict copy
# named after the device whose change kept the name.
printf 'edited in A\n' > "$dir_a/page.txt" &
printf 'edited in B\n' > "$dir_b/page.txt"
wait $!
started=${EPOCHREALTIME/./}
syncthing_wait_idle
echo "conflict settled: $(ms_since "$started") ms"
for side in a b; do
  dir=$work/$side/DATA
  copies=("$dir"/page.sync-conflict-*.txt)
  [ ${#copies[@]} -eq 1 ] && [ -f "${copies[0]}" ] || fail "side $side has no single conflict copy: $(ls -A "$dir")"
  winner=$(cat "$dir/page.txt")
  loser=$(cat "${copies[0]}")
  [ "$(printf '%s\n%s\n' "$winner" "$loser" | sort)" = "$(printf 'edited in A\nedited in B')" ] ||
    fail "side $side kept '$winner' and '$loser'"
  case $winner in
    'edited in A') short=${syncthing_short[a]} ;;
    *) short=${syncthing_short[b]} ;;
  esac
  [[ ${copies[0]} == *-"$short".txt ]] || fail "conflict copy ${copies[0]} does not name the winner's device $short"
  echo "side $side: page.txt holds '$winner', $(basename "${copies[0]}") holds '$loser'"
done

# Out of step must be told, not waited through: B paused on side A.
syncthing_rest a POST "/rest/system/pause?device=${syncthing_id[b]}"
echo "written while apart" > "$dir_a/apart.txt"
if (syncthing_wait_idle 3) 2>"$work/wait.err"; then fail "the wait ended well while the sides were apart"; fi
grep -q 'not in step within 3 s' "$work/wait.err" || fail "the failed wait said: $(cat "$work/wait.err")"
echo "wait while apart: $(cat "$work/wait.err")"
syncthing_rest a POST "/rest/system/resume?device=${syncthing_id[b]}"
syncthing_wait_idle
syncthing_wait_content "$dir_b/apart.txt" "written while apart" 1
echo "harness works"

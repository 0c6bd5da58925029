# shellcheck shell=bash
# Sourced after lib.sh by the tests that sync a data folder between two
# copies: two private Syncthing instances on loopback, sharing one folder.
# Nothing leaves the machine: no discovery, relays, NAT, upgrades or
# reports. Both instances end with the test, however it ends.
#
# After syncthing_pair, for each side S, a or b:
#   ${syncthing_id[S]}     the device id
#   ${syncthing_short[S]}  its first seven characters, which conflict copies
#                          carry: NAME.sync-conflict-YYYYMMDD-HHMMSS-SHORT.EXT
#                          (this version names the device whose change kept
#                          the name, not the one whose change lost)
#   ${syncthing_log[S]}    the instance's log
#   ${syncthing_dir[S]}    the folder's copy on that side

syncthing_folder=data
syncthing_pids=()
declare -A syncthing_id=() syncthing_short=() syncthing_log=() syncthing_dir=()
declare -A syncthing_pid=() syncthing_api=() syncthing_key=() syncthing_listen=()

# syncthing_stop: ends both instances, a clean stop first, then for good.
syncthing_stop() {
  local pid
  [ ${#syncthing_pids[@]} -eq 0 ] && return 0
  kill "${syncthing_pids[@]}" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "${syncthing_pids[@]}" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "${syncthing_pids[@]}" 2>/dev/null || true
  for pid in "${syncthing_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  syncthing_pids=()
}

# Runs before the EXIT trap already set: that clean-up waits for every
# child and removes $work, where the instances keep their databases.
syncthing_chain_trap() {
  local -a words
  eval "words=($(trap -p EXIT))"
  trap -- "syncthing_stop; ${words[2]:-}" EXIT
}

# syncthing_rest SIDE METHOD PATH [BODY]: one REST call, its answer in
# $syncthing_reply (not on standard output: a failure inside a command
# substitution would not end the test).
syncthing_rest() {
  syncthing_reply=$(curl -sS --fail-with-body --max-time 30 -X "$2" -H "X-API-Key: ${syncthing_key[$1]}" \
    ${4:+-H 'Content-Type: application/json' --data "$4"} "${syncthing_api[$1]}$3" 2>&1) ||
    fail "Syncthing $1: $2 $3 failed: $syncthing_reply"
}

# syncthing_query SIDE PATH FILTER [JQ OPTIONS...]: FILTER applied to a
# GET's answer, in $syncthing_reply.
syncthing_query() {
  syncthing_rest "$1" GET "$2"
  syncthing_reply=$(jq -r "${@:4}" "$3" <<<"$syncthing_reply") || fail "Syncthing $1: $2 answered $syncthing_reply"
}

# syncthing_start SIDE: a new home in $work, made private before the first
# start, and the instance running with it. Its ports are the kernel's
# picks, so surely free. It gets the end signal if the test's shell dies
# without running its traps.
syncthing_start() {
  local side=$1 home=$work/syncthing-$1 option id
  syncthing generate --home="$home" --no-default-folder --skip-port-probing >"$work/syncthing-$side.log" 2>&1 ||
    fail "syncthing generate failed for side $side: $(cat "$work/syncthing-$side.log")"
  local -a options=(globalAnnounceEnabled=false localAnnounceEnabled=false relaysEnabled=false
    natEnabled=false startBrowser=false urAccepted=-1 autoUpgradeIntervalH=0
    crashReportingEnabled=false restartOnWakeup=false setLowPriority=false reconnectionIntervalS=1
    listenAddress=tcp://127.0.0.1:0)
  local -a edits=(-e "0,/<device id=/s| name=\"[^\"]*\"| name=\"$side\"|"
    -e "s|<address>127.0.0.1:[0-9]*</address>|<address>127.0.0.1:0</address>|")
  for option in "${options[@]}"; do
    edits+=(-e "s|<${option%%=*}>[^<]*</|<${option%%=*}>${option#*=}</|")
  done
  sed -i "${edits[@]}" "$home/config.xml"
  for option in "${options[@]}" "address>127.0.0.1:0"; do
    grep -qF "${option/=/>}<" "$home/config.xml" || fail "Syncthing's config lacks ${option%%=*}"
  done

  id=$(sed -n '0,/<device id="/s|.*<device id="\([^"]*\)".*|\1|p' "$home/config.xml")
  syncthing_key[$side]=$(sed -n 's|.*<apikey>\(.*\)</apikey>.*|\1|p' "$home/config.xml")
  [ -n "$id" ] && [ -n "${syncthing_key[$side]}" ] || fail "no API key or device id in $home/config.xml"
  syncthing_id[$side]=$id
  syncthing_short[$side]=${id:0:7}
  syncthing_log[$side]=$work/syncthing-$side.log

  # One process, not a monitor restarting a child the end signal would
  # miss; the hashing library named spares the start a second's benchmark.
  STMONITORED=yes STHASHING=minio setpriv --pdeathsig TERM \
    syncthing serve --home="$home" --no-browser --no-restart --no-upgrade --logflags=3 \
    >"$work/syncthing-$side.log" 2>&1 &
  syncthing_pid[$side]=$!
  syncthing_pids+=($!)
}

# syncthing_wait_api SIDE: the REST interface answers, within 20 s, on the
# port the log tells; the sync listener's address is asked from it.
syncthing_wait_api() {
  local log=$work/syncthing-$1.log port=
  for _ in $(seq 200); do
    port=$(sed -n 's|.*GUI and API listening on 127\.0\.0\.1:\([0-9]*\)$|\1|p' "$log")
    [ -n "$port" ] && curl -sf --max-time 2 -H "X-API-Key: ${syncthing_key[$1]}" \
      "http://127.0.0.1:$port/rest/system/ping" >/dev/null && break
    kill -0 "${syncthing_pid[$1]}" 2>/dev/null || fail "Syncthing $1 ended at its start: $(tail -5 "$log")"
    port=
    sleep 0.1
  done
  [ -n "$port" ] || fail "Syncthing $1 did not answer within 20 s: $(tail -5 "$log")"
  syncthing_api[$1]=http://127.0.0.1:$port
  syncthing_query "$1" /rest/system/status '.connectionServiceStatus[].lanAddresses[]'
  [[ $syncthing_reply =~ ^tcp://127\.0\.0\.1:[1-9][0-9]*$ ]] || fail "Syncthing $1 listens at '$syncthing_reply'"
  syncthing_listen[$1]=$syncthing_reply
}

# syncthing_pair DIR_A DIR_B: two instances, each knowing the other at its
# fixed address, sharing folder $syncthing_folder as DIR_A on side a and
# DIR_B on side b, watched with a one second delay and rescanned every 5 s.
# Returns once both sides are connected and the folder is in step.
syncthing_pair() {
  local side other connected
  [ -n "${work:-}" ] && [ -d "$work" ] || { echo "syncthing.sh: source lib.sh first" >&2; exit 1; }
  syncthing_chain_trap
  syncthing_dir[a]=$(realpath -m "$1")
  syncthing_dir[b]=$(realpath -m "$2")
  syncthing_start a
  syncthing_start b
  syncthing_wait_api a
  syncthing_wait_api b

  # Both know each other before either shares: a device that does not know
  # the dialling one yet drops the connection until the next dial.
  for side in a b; do
    other=$([ "$side" = a ] && echo b || echo a)
    syncthing_rest "$side" POST /rest/config/devices "$(jq -nc --arg id "${syncthing_id[$other]}" --arg name "$other" \
      --arg address "${syncthing_listen[$other]}" '{deviceID: $id, name: $name, addresses: [$address]}')"
  done
  for side in a b; do
    syncthing_rest "$side" POST /rest/config/folders "$(jq -nc --arg id "$syncthing_folder" \
      --arg path "${syncthing_dir[$side]}" --arg a "${syncthing_id[a]}" --arg b "${syncthing_id[b]}" \
      '{id: $id, label: $id, path: $path, type: "sendreceive", fsWatcherEnabled: true,
        fsWatcherDelayS: 1, rescanIntervalS: 5, devices: [{deviceID: $a}, {deviceID: $b}]}')"
  done

  for _ in $(seq 300); do
    syncthing_query a /rest/system/connections '.connections[$id].connected' --arg id "${syncthing_id[b]}"
    connected=$syncthing_reply
    syncthing_query b /rest/system/connections '.connections[$id].connected' --arg id "${syncthing_id[a]}"
    connected+=" $syncthing_reply"
    [ "$connected" = "true true" ] && break
    sleep 0.1
  done
  [ "$connected" = "true true" ] ||
    fail "the two Syncthing instances did not connect within 30 s (a, b: $connected): $(tail -3 "${syncthing_log[a]}")"
  syncthing_wait_idle
}

# syncthing_state SIDE OTHER: the folder's state on SIDE, the items SIDE
# needs, and how complete SIDE knows OTHER to be, as "STATE NEED PERCENT"
# in $syncthing_reply.
syncthing_state() {
  local status
  syncthing_query "$1" "/rest/db/status?folder=$syncthing_folder" '"\(.state) \(.needTotalItems)"'
  status=$syncthing_reply
  syncthing_query "$1" "/rest/db/completion?folder=$syncthing_folder&device=${syncthing_id[$2]}" .completion
  syncthing_reply="$status $syncthing_reply"
}

# syncthing_wait_idle [SECONDS]: both sides rescan now (the watcher's delay
# would let the wait end before a fresh change is seen), then, within 30 s
# unless told, the folder is idle on both, needs nothing, and each side
# knows the other complete.
syncthing_wait_idle() {
  local deadline=$((SECONDS + ${1:-30})) state_a state_b
  syncthing_rest a POST "/rest/db/scan?folder=$syncthing_folder"
  syncthing_rest b POST "/rest/db/scan?folder=$syncthing_folder"
  while :; do
    syncthing_state a b
    state_a=$syncthing_reply
    syncthing_state b a
    state_b=$syncthing_reply
    [ "$state_a" = "idle 0 100" ] && [ "$state_b" = "idle 0 100" ] && return 0
    [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.1
  done
  fail "folder $syncthing_folder not in step within ${1:-30} s (state, items needed, the other's completion):" \
    "a: $state_a, b: $state_b"
}

# syncthing_wait_content FILE TEXT [SECONDS]: FILE holds exactly TEXT within
# 15 s unless told.
syncthing_wait_content() {
  local deadline=$((SECONDS + ${3:-15}))
  until [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; do
    [ "$SECONDS" -ge "$deadline" ] &&
      fail "$1 does not hold '$2' but '$(cat "$1" 2>/dev/null || echo '(no file)')'"
    sleep 0.05
  done
}

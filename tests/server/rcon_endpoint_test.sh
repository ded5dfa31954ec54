#!/usr/bin/env bash
# The RCON endpoint against Debian's rconclt: barterbox-server --serve on a free loopback port,
# an exchange for a player ("Exchange completed"), the usage reply, a wrong password refused,
# then SIGTERM, a clean unload and exit status 0.
#   rcon_endpoint_test.sh SERVER_PROGRAM REPOSITORY RCONCLT
set -uo pipefail
server_program=$1
repo=$2
rconclt=$3

scratch=$(mktemp -d /tmp/barterbox-rcon-XXXXXX)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill -KILL "$server_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  echo "--- server output:"
  cat "$scratch/server.log"
  exit 1
}

mkdir -p "$scratch/server/ArkApi/Plugins/Barterbox"
cp "$repo/examples/config.json" "$scratch/server/ArkApi/Plugins/Barterbox/config.json"
# Port 0: the system picks a free port and the server prints it, so no other test can race us.
"$server_program" --serve --rcon-port 0 --rcon-password 'Pa55 word' --no-color \
  --server-dir "$scratch/server" --world "$repo/examples/world.json" --script /dev/null \
  > "$scratch/server.log" 2>&1 &
server_pid=$!

port=
for _ in $(seq 300); do
  port=$(sed -n 's/^\[server\] RCON listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$scratch/server.log")
  [[ -n $port ]] && break
  kill -0 "$server_pid" 2>/dev/null || fail "the server stopped before it listened"
  sleep 0.1
done
[[ -n $port ]] || fail "the server did not report its RCON port"

rcon() { # PASSWORD WORDS...: rconclt's output and exit status
  local password=$1
  shift
  timeout 20 "$rconclt" --timeout 10 "$password@127.0.0.1:$port" "$@" 2>&1
}

# Cleo carries 40 obsidian and 30 cementing paste: Polymer takes 2 of each.
reply=$(rcon 'Pa55 word' Barterbox.Do 0002f1e2d3c4b5a69788695a4b3c2d1e Polymer)
[[ $reply == "Exchange completed" ]] || fail "Barterbox.Do replied '$reply'"

reply=$(rcon 'Pa55 word' Barterbox.Do 0002f1e2d3c4b5a69788695a4b3c2d1e)
[[ $reply == "Usage: Barterbox.Do <EOSID> <RecipeName>" ]] || fail "usage reply was '$reply'"

reply=$(rcon 'Pa55 word' Barterbox.Do 0002ffff Polymer)
[[ $reply == "Player not found" ]] || fail "unknown player reply was '$reply'"

reply=$(rcon 'wrong' Barterbox.Do 0002f1e2d3c4b5a69788695a4b3c2d1e Polymer)
status=$?
(( status == 5 )) || fail "rconclt with a wrong password exited $status: $reply"
[[ $reply == *"Wrong password."* ]] || fail "rconclt with a wrong password said '$reply'"

kill -TERM "$server_pid"
wait "$server_pid"
status=$?
server_pid=
(( status == 0 )) || fail "the server exited $status after SIGTERM"

log=$(cat "$scratch/server.log")
expect() {
  grep -qxF -- "$1" <<<"$log" || fail "no line '$1' in the server output"
}
expect "[chat -> Cleo] <Trader> Exchange complete: Polymer x1"
expect "[rcon] Exchange completed"
expect "[server] RCON client #1 authenticated"
expect "[server] RCON client #4 sent a wrong password; connection closed"
expect "[server] SIGTERM received; stopping"
expect "[server] plugin unloaded"
grep -q "error" <<<"$log" && fail "the server reported an error"
# The Polymer exchange ran exactly once: no request was run before authenticating.
(( $(grep -c "Player completed 'Polymer'" <<<"$log") == 1 )) || fail "Polymer ran more than once"
echo "PASSED"

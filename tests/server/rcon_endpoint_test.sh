#!/usr/bin/env bash
# The RCON endpoint against Debian's rconclt: barterbox-server --serve on a free loopback port,
# an exchange for a player ("Exchange completed"), the usage reply, a wrong password refused;
# every administrator's command answered in one reply, a long list paged, Barterbox.Run with a
# multiplier and each kind of refusal; then SIGTERM, a clean unload and exit status 0.
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
cp "$repo/examples/rules.json" "$scratch/server/ArkApi/Plugins/Barterbox/rules.json"
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

ada=0002a8e1f3c44b6d9e5f7a1b2c3d4e5f
cleo=0002f1e2d3c4b5a69788695a4b3c2d1e
answers() { # EXPECTED WORDS...: the reply must be EXPECTED, whole
  local expected=$1
  shift
  reply=$(rcon 'Pa55 word' "$@")
  [[ $reply == "$expected" ]] || fail "$* replied '$reply', not '$expected'"
}
flint="Blueprint'/Game/PrimalEarth/CoreBlueprints/Resources/PrimalItemResource_Flint.PrimalItemResource_Flint'"
reply=$(rcon 'Pa55 word' Barterbox.List)
[[ $reply == "Barterbox: 6 exchanges"$'\n'*"  Polymer - 2 obsidian and 2 cementing paste for 1 polymer"* ]] || fail "Barterbox.List replied '$reply'"
(( $(wc -l <<<"$reply") == 7 )) || fail "Barterbox.List replied '$reply'"
# One page has no page line, whatever page was asked for.
[[ $(rcon 'Pa55 word' Barterbox.List 2) == "$reply" ]] || fail "Barterbox.List 2 differs"
answers "Added exchange 'Flint': PrimalItemResource_Stone x5 -> PrimalItemResource_Flint.PrimalItemResource_Flint x1" \
  Barterbox.Add Flint PrimalItemResource_Stone:5 "$flint:1"
answers $'Give format: ItemName:quantity\n\'Stone\' has no \':\' before a quantity' \
  Barterbox.Add Flint Stone "$flint:1"
answers "Removed exchange 'flint'" Barterbox.Remove flint
answers "Exchange 'Flint' not found" Barterbox.Remove Flint
answers "Barterbox: Config saved (6 exchanges)" Barterbox.Save
answers "Barterbox: Reloaded 6 exchanges" Barterbox.Reload
answers "Usage: Barterbox.Limits <EOSID>" Barterbox.Limits
answers "Barterbox: Reset the counts of $ada for every exchange" Barterbox.Reset "$ada"

# Barterbox.Run answers what the player was told, one line, and runs nothing it cannot.
answers "Exchange complete: Polymer x3" Barterbox.Run "$cleo" Polymer 3
answers "Exchange complete: Gunpowder x1" Barterbox.Run "$ada" Gunpowder
answers "Gunpowder is ready again in 10m" Barterbox.Run "$ada" Gunpowder
answers "Electronics is not available to you" Barterbox.Run "$cleo" Electronics
answers "Need 20 PrimalItemResource_Metal.PrimalItemResource_Metal (have 0)" Barterbox.Run "$cleo" Ingots
answers "Unknown exchange: Nope" Barterbox.Run "$cleo" Nope
answers "'two' is no multiplier: a whole number from 1 to 2147483647" Barterbox.Run "$cleo" Polymer two
answers "Player not found: 0002ffff" Barterbox.Run 0002ffff Polymer
answers "Usage: Barterbox.Run <EOSID> <name> [multiplier]" Barterbox.Run "$cleo"
reply=$(rcon 'Pa55 word' Barterbox.Limits "$cleo")
[[ $reply == "Barterbox: Limits of $cleo"$'\n'*"  Gunpowder - cooldown 10m (ready)"* ]] ||
  fail "Barterbox.Limits replied '$reply'"

# A list longer than one RCON packet is paged; every page fits one packet and says how many.
for i in $(seq -w 1 70); do
  # The quotes travel in the request, as Barterbox.Add reads them.
  rcon 'Pa55 word' "Barterbox.Add \"Bulk exchange number $i of a long list that a web panel pages through\" PrimalItemResource_Stone:1 $flint:1" >/dev/null
done
page1=$(rcon 'Pa55 word' Barterbox.List)
page2=$(rcon 'Pa55 word' Barterbox.List 2)
[[ $page1 == "Barterbox: 76 exchanges"$'\n'* && $page1 == *$'\n'"Page 1 of 2; Barterbox.List N shows page N" ]] ||
  fail "the first page was '$page1'"
[[ $page2 == "Barterbox: 76 exchanges"$'\n'* && $page2 == *$'\n'"Page 2 of 2; Barterbox.List N shows page N" ]] ||
  fail "the second page was '$page2'"
(( ${#page1} <= 4086 && ${#page2} <= 4086 )) || fail "a page is longer than one packet"
(( $(wc -l <<<"$page1") + $(wc -l <<<"$page2") == 76 + 4 )) || fail "the pages miss entries"
grep -q '"event":"add","via":"rcon"' "$scratch"/server/ArkApi/Plugins/Barterbox/audit/*.jsonl ||
  fail "no add audited via rcon"

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
grep -qxE -- '\[server\] RCON client #[0-9]+ sent a wrong password; connection closed' <<<"$log" ||
  fail "no line saying the wrong password closed the connection"
expect "[server] SIGTERM received; stopping"
expect "[server] plugin unloaded"
grep -q "error" <<<"$log" && fail "the server reported an error"
# Polymer ran once for Barterbox.Do and once for Barterbox.Run, and never for the request sent
# with the wrong password.
(( $(grep -c "Player completed 'Polymer'" <<<"$log") == 2 )) || fail "Polymer ran other than twice"
echo "PASSED"

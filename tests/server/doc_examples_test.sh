#!/usr/bin/env bash
# The server examples the documents show (```sh blocks of README.md and docs/*.md): each
# barterbox-server line runs as written, from a scratch folder laid out like the repository after
# `make run`, and must load the example config and exit 0; each rconclt line runs against the
# --serve line before it and must answer what its comment says (or not fail, without one).
# Lines that need a live server, a clone or hours (make, cmake, jq, fuzz, soak) are not run here.
#   doc_examples_test.sh REPOSITORY BUILD_FOLDER [DOCUMENT...]
set -uo pipefail
repo=$1
build=$2
shift 2
documents=("$@")
if (( ${#documents[@]} == 0 )); then
  documents=("$repo/README.md" "$repo"/docs/*.md)
fi

scratch=$(mktemp -d /tmp/barterbox-doc-examples-XXXXXX)
server_pid=
cleanup() {
  [[ -n $server_pid ]] && kill -TERM "$server_pid" 2> /dev/null && wait "$server_pid"
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $1"
  echo "  the line: $2"
  [[ -f $scratch/output.log ]] && { echo "--- output:"; tail -n 40 "$scratch/output.log"; }
  exit 1
}

# The repository as `make run` leaves it: build/bin, build/server with the example config and
# world, and the examples beside them. Saves land in the scratch folder, never in the repository.
mkdir -p "$scratch/build/server/ArkApi/Plugins/Barterbox"
ln -s "$build/bin" "$scratch/build/bin"
ln -s "$repo/examples" "$scratch/examples"
cp "$repo/examples/config.json" "$scratch/build/server/ArkApi/Plugins/Barterbox/config.json"
cp "$repo/examples/world.json" "$scratch/build/server/world.json"
cd "$scratch" || exit 1

ran=0
port=
while IFS= read -r example; do
  line=${example#*: }
  comment=
  if [[ $line == *"#"* ]]; then
    comment=$(sed -E 's/^[^#]*#[[:space:]]*//' <<< "$line")
    line=$(sed -E 's/[[:space:]]*#.*$//' <<< "$line")
  fi
  line=$(sed -E 's/[[:space:]]*&$//; s/[[:space:]]*<[[:space:]]*\/dev\/null//' <<< "$line")
  read -r -a words <<< "$line"
  case ${words[0]} in
  build/bin/barterbox-server)
    if [[ " $line " == *" --serve "* ]]; then
      # A free port stands in for the example's, so that tests running at once never meet.
      [[ -n $server_pid ]] && kill -TERM "$server_pid" && wait "$server_pid"
      for i in "${!words[@]}"; do
        [[ ${words[i]} == --rcon-port ]] && port=${words[i + 1]} && words[i + 1]=0
      done
      "${words[@]}" < /dev/null > "$scratch/output.log" 2>&1 &
      server_pid=$!
      for _ in $(seq 100); do
        grep -q "RCON listening on" "$scratch/output.log" && break
        sleep 0.1
      done
      actual_port=$(sed -n 's/.*RCON listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$scratch/output.log")
      [[ -n $actual_port ]] || fail "the server did not start serving RCON" "$example"
    else
      timeout 60 "${words[@]}" < /dev/null > "$scratch/output.log" 2>&1 ||
        fail "the server exited $?" "$example"
    fi
    grep -qE "Barterbox: Loaded [1-9][0-9]* exchanges" "$scratch/output.log" ||
      fail "the example config was not loaded" "$example"
    ! grep -q "Unknown exchange" "$scratch/output.log" || fail "an exchange was unknown" "$example"
    ran=$((ran + 1))
    ;;
  rconclt)
    [[ -n $server_pid ]] || fail "no --serve example runs before this one" "$example"
    answer=$(timeout 20 "${words[@]//127.0.0.1:$port/127.0.0.1:$actual_port}" 2>&1) ||
      fail "rconclt exited with an error: $answer" "$example"
    if [[ -n $comment ]]; then
      [[ $answer == "$comment" ]] || fail "answered '$answer', not '$comment'" "$example"
    else
      ! grep -qiE "fail|unknown|usage" <<< "$answer" || fail "answered '$answer'" "$example"
    fi
    ran=$((ran + 1))
    ;;
  esac
done < <(awk 'FNR == 1 { inside = 0 } /^```sh/ { inside = 1; next } /^```/ { inside = 0 } inside { print FILENAME ": " $0 }' \
           "${documents[@]}")

(( ran > 0 )) || { echo "FAILED: the documents show no server example"; exit 1; }
[[ ! -e $repo/ArkApi ]] || { echo "FAILED: an example wrote ArkApi/ into the repository"; exit 1; }
echo "PASSED: $ran examples"

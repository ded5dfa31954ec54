#!/usr/bin/env bash
# The check at exit: a module that keeps a host buffer and frees another twice makes
# barterbox-server report both as errors and exit with status 1.
#   ledger_check_test.sh SERVER_PROGRAM FAULTY_MODULE
set -uo pipefail
server_program=$1
module=$2
scratch=$(mktemp -d /tmp/barterbox-ledger-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

output=$(timeout 60 "$server_program" --server-dir "$scratch" --plugin "$module" --script /dev/null \
           --no-color 2>&1)
status=$?
fail() {
  echo "FAILED: $*"
  echo "--- output:"
  echo "$output"
  exit 1
}
(( status == 1 )) || fail "exit status $status, expected 1"
grep -qxF "[server] error: leak: a plugin buffer of 24 bytes from FMemory.Malloc is still allocated" \
  <<<"$output" || fail "the leak was not reported"
grep -qE '^\[server\] error: allocator ledger: .*\(double or foreign free\)$' <<<"$output" ||
  fail "the double free was not reported"
(( $(grep -c '^\[server\] error: ' <<<"$output") == 2 )) || fail "not exactly two errors"
echo "PASSED"

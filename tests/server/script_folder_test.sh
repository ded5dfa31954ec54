#!/usr/bin/env bash
# A --script that names a folder is a usage error: exit status 2, one line saying why, and the
# plugin is never loaded.
#   script_folder_test.sh SERVER_PROGRAM
set -uo pipefail
scratch=$(mktemp -d /tmp/barterbox-script-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
output=$(timeout 60 "$1" --server-dir "$scratch" --script "$scratch" --no-color 2>&1)
status=$?
expected="barterbox-server: cannot read the script $scratch: it is a folder"
if (( status != 2 )) || [[ $output != "$expected" ]]; then
  echo "FAILED: exit status $status, output:"
  echo "$output"
  exit 1
fi
echo "PASSED"

#!/usr/bin/env bash
# Lists every function of src/, hostsim/ and tools/ longer than a limit (60 lines unless given),
# longest first, counted from the line of its name to its closing brace as Universal Ctags finds
# them. Exits 1 when it lists any, 0 when none is over the limit.
#   scripts/function-lengths.sh [LINES]
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-60}
ctags -x --_xformat='%{line} %{end} %{input} %{name}' --kinds-c++=f --languages=C++ \
  -R src hostsim tools |
  awk -v limit="$limit" '{ n = $2 - $1 + 1 } n > limit { printf "%4d  %s:%s  %s\n", n, $3, $1, $4; over = 1 }
                         END { exit over ? 1 : 0 }' |
  sort -rn

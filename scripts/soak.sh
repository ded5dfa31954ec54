#!/usr/bin/env bash
# The long soak: LINES console lines (default 1,000,000) through barterbox-server built with the
# address and undefined-behaviour sanitizers, from SEED (default: a fresh one, printed). Prints
# the seed, the lines per second and the peak memory; the same seed reproduces a failure.
#   scripts/soak.sh [LINES] [SEED]
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${BARTERBOX_ASAN_BUILD_DIR:-$repo/build/debug-asan}"
lines="${1:-1000000}"
seed_option=()
if [[ -n ${2:-} ]]; then
  seed_option=(--seed "$2")
fi
cmake --preset debug-asan -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target barterbox-server Barterbox
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
exec /usr/bin/python3 "$repo/tests/soak/soak.py" "$build/bin/barterbox-server" --lines "$lines" \
  "${seed_option[@]}"

#!/usr/bin/env bash
# Builds a configured build folder for `make run` so that the server, not the build, fills the
# screen: nothing at all when everything is up to date, one progress line while something is
# built, and the whole build log only when the build fails. With targets it builds only those
# (and what they need), so that the server does not wait for every test program and benchmark.
#   build-quietly.sh BUILD_FOLDER [JOBS [TARGET...]]
set -uo pipefail
build=$1
jobs=${2:-$(nproc)}
targets=("${@:3}")
log="$build/last-build.log"

# Each line of the build tells what it does; only compiling and linking mean work was needed.
# On a terminal the one progress line is redrawn in place; elsewhere it is printed once.
show_progress() {
  local shown=0 line percent
  while IFS= read -r line; do
    printf '%s\n' "$line" >> "$log"
    if [[ $line =~ ^\[\ *([0-9]+)%\]\ (Building|Linking) ]] || [[ $line =~ ^\[[0-9]+/[0-9]+\] ]]; then
      percent=${BASH_REMATCH[1]:-}
      if [[ -t 1 ]]; then
        printf '\rbuilding Barterbox and its tools... %s' "${percent:+$percent%}"
        shown=1
      elif (( shown == 0 )); then
        printf 'building Barterbox and its tools (log: %s)\n' "$log"
        shown=2
      fi
    fi
  done
  if (( shown == 1 )); then
    printf '\rbuilding Barterbox and its tools... done\n'
  fi
}

: > "$log"
cmake --build "$build" -j "$jobs" ${targets[@]:+--target "${targets[@]}"} 2>&1 | show_progress
status=${PIPESTATUS[0]}
if (( status != 0 )); then
  echo "the build failed:" >&2
  cat "$log" >&2
  exit "$status"
fi

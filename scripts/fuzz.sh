#!/usr/bin/env bash
# Runs every fuzz target longer than `make test` does: SECONDS each (default 600), one after the
# other, each on a scratch copy of its seed corpus with its dictionary. Configures and builds the
# fuzz preset's folder (build/fuzz) first. A fault stops the run and leaves its input as crash-*
# in the scratch folder, which is printed; add that file to fuzz/corpus/<target>/ once the fault
# is fixed.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 3600 rcon_endpoint chat
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${BARTERBOX_FUZZ_BUILD_DIR:-$repo/build/fuzz}"
seconds="${1:-600}"
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
  for corpus in "$repo"/fuzz/corpus/*/; do
    targets+=("$(basename "$corpus")")
  done
fi

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/%/_fuzz}"
scratch="$(mktemp -d /tmp/barterbox-fuzz-XXXXXX)"
echo "scratch folder: $scratch"
for target in "${targets[@]}"; do
  echo "== $target for $seconds s"
  cp -r "$repo/fuzz/corpus/$target" "$scratch/$target"
  dict=()
  case $target in
    config) dict=(-dict="$repo/fuzz/config.dict") ;;
    rules) dict=(-dict="$repo/fuzz/rules.dict") ;;
    world_file) dict=(-dict="$repo/fuzz/world.dict") ;;
    rcon_endpoint) dict=(-dict="$repo/fuzz/rcon.dict") ;;
    chat | console | rcon_do) dict=(-dict="$repo/fuzz/commands.dict") ;;
  esac
  (cd "$scratch" && "$build/bin/${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=1536 -print_final_stats=1 "${dict[@]}" "$scratch/$target")
done
rm -rf "$scratch"

#!/usr/bin/env bash
# Our C++ files (those git knows, so neither build output nor anything outside the repository) as
# .clang-format says. With --check it changes nothing, lists the files that differ and fails.
#   scripts/format.sh [--check]
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format="${CLANG_FORMAT:-clang-format}"

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ ${1:-} != --check ]]; then
  "$clang_format" -i "${files[@]}"
  exit 0
fi

unformatted=()
for file in "${files[@]}"; do
  # A file deleted but not yet staged is still listed; it has nothing to check.
  [[ -f $file ]] || continue
  if ! "$clang_format" --dry-run -Werror "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done
if ((${#unformatted[@]} > 0)); then
  echo "not formatted as .clang-format says (make format rewrites them):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi

#!/usr/bin/env bash
# What `make run` does without a terminal on standard input: scripts/run-server.sh copies the
# examples into a scratch server folder under the build folder, runs the tour and exits 0, and the
# repository's examples stay untouched by the plugin's saves.
#   make_run_test.sh REPOSITORY BUILD_FOLDER
set -uo pipefail
repo=$1
build=$2

# A build folder of its own (its programs are the real build's), so that a user's build/server
# is never touched and every run starts as from a fresh clone.
scratch=$(mktemp -d /tmp/barterbox-make-run-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
ln -s "$build/bin" "$scratch/bin"
fail() {
  echo "FAILED: $*"
  echo "--- output:"
  cat "$scratch/output.log"
  exit 1
}

before=$(sha256sum "$repo/examples/config.json" "$repo/examples/world.json")
BARTERBOX_BUILD_DIR=$scratch timeout 60 "$repo/scripts/run-server.sh" < /dev/null \
  > "$scratch/output.log" 2>&1
status=$?
(( status == 0 )) || fail "run-server.sh exited $status"

for line in "> chat Ada /exchange Ingots 5" \
            "[chat -> Ada] <Trader> Exchange complete: Ingots x5" \
            "[chat -> Bram] <Trader> Need 400 PrimalItemResource_Thatch (have 200)" \
            "[rcon] Exchange completed" \
            "[msg -> Ada] (green) Barterbox: Config saved (6 exchanges)" \
            "[server] plugin unloaded"; do
  grep -qxF -- "$line" "$scratch/output.log" || fail "no line '$line'"
done
grep -q "error" "$scratch/output.log" && fail "an error was reported"
[[ -f $scratch/server/ArkApi/Plugins/Barterbox/config.json ]] || fail "no config.json in the scratch folder"
[[ -f $scratch/server/world.json ]] || fail "no world.json in the scratch folder"
[[ $(sha256sum "$repo/examples/config.json" "$repo/examples/world.json") == "$before" ]] ||
  fail "the examples in the repository changed"

# The build step of `make run` (scripts/build-quietly.sh), on a project of one file: one progress
# line when something is built, nothing at all when everything is up to date, the log on failure.
project="$scratch/project"
mkdir -p "$project"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(quiet CXX)\nadd_executable(quiet quiet.cpp)\n' \
  > "$project/CMakeLists.txt"
echo 'int main() { return 0; }' > "$project/quiet.cpp"
cmake -S "$project" -B "$project/build" > /dev/null 2>&1 || fail "cannot configure the small project"
"$repo/scripts/build-quietly.sh" "$project/build" 1 > "$scratch/build.log" 2>&1 ||
  fail "the quiet build failed: $(cat "$scratch/build.log")"
[[ $(wc -l < "$scratch/build.log") -eq 1 ]] && grep -q "^building Barterbox and its tools" "$scratch/build.log" ||
  fail "a needed build did not show exactly one progress line: $(cat "$scratch/build.log")"
"$repo/scripts/build-quietly.sh" "$project/build" 1 > "$scratch/build.log" 2>&1 ||
  fail "the up-to-date build failed"
[[ ! -s $scratch/build.log ]] || fail "an up-to-date build printed: $(cat "$scratch/build.log")"
echo 'int main() { return }' > "$project/quiet.cpp"
"$repo/scripts/build-quietly.sh" "$project/build" 1 > "$scratch/build.log" 2>&1 &&
  fail "a broken build passed"
grep -q "the build failed:" "$scratch/build.log" && grep -q "quiet.cpp" "$scratch/build.log" ||
  fail "a failed build did not show its log: $(cat "$scratch/build.log")"

# `make run` configures its build folder before each build. A configure that changes nothing must
# leave nothing to build: a second `make run` prints nothing before the server's own lines. The
# run's targets are brought up to date first, in case the folder was built only in part.
read -r -a run_targets <<< "$(sed -n 's/^RUN_TARGETS := //p' "$repo/Makefile")"
(( ${#run_targets[@]} > 0 )) || fail "no RUN_TARGETS in the Makefile"
"$repo/scripts/build-quietly.sh" "$build" 2 "${run_targets[@]}" > /dev/null 2>&1 ||
  fail "the run's targets do not build"
cmake "$build" > "$scratch/configure.log" 2>&1 || fail "cannot configure $build again: $(cat "$scratch/configure.log")"
"$repo/scripts/build-quietly.sh" "$build" 2 "${run_targets[@]}" > "$scratch/build.log" 2>&1 ||
  fail "the run's targets do not build after a configure"
[[ ! -s $scratch/build.log ]] ||
  fail "a build after a configure that changed nothing printed: $(cat "$scratch/build.log")"
grep -E "Building|Linking" "$build/last-build.log" &&
  fail "a build after a configure that changed nothing rebuilt what is listed above"

# A second run keeps the scratch folder's config and runs the tour the same way.
BARTERBOX_BUILD_DIR=$scratch timeout 60 "$repo/scripts/run-server.sh" < /dev/null \
  > "$scratch/second.log" 2>&1 || fail "the second run failed"
grep -qxF "[chat -> Ada] <Trader> Exchange complete: Ingots x5" "$scratch/second.log" ||
  fail "the second run differs"
echo "PASSED"

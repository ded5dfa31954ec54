#!/usr/bin/env bash
# The main job: the simulated server on the example world and config, in a scratch server folder
# under the build folder, so that the plugin's saves never touch the repository. With a terminal
# on standard input it starts the console; without one it runs examples/tour.txt and exits.
# Extra arguments go to barterbox-server (e.g. --rcon-port 27020 --rcon-password secret).
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${BARTERBOX_BUILD_DIR:-$repo/build}"
server="$build/server"
plugin_folder="$server/ArkApi/Plugins/Barterbox"

# The examples are copied once; later runs keep whatever the console saved.
if [[ ! -f "$plugin_folder/config.json" ]]; then
  mkdir -p "$plugin_folder"
  cp "$repo/examples/config.json" "$plugin_folder/config.json"
fi
if [[ ! -f "$plugin_folder/rules.json" ]]; then
  cp "$repo/examples/rules.json" "$plugin_folder/rules.json"
fi
if [[ ! -f "$server/world.json" ]]; then
  cp "$repo/examples/world.json" "$server/world.json"
fi

arguments=(--server-dir "$server" --world "$server/world.json")
if [[ ! -t 0 ]]; then
  arguments+=(--script "$repo/examples/tour.txt")
fi
exec "$build/bin/barterbox-server" "${arguments[@]}" "$@"

#!/usr/bin/env bash
# The main job: the simulated server on the example world and config, in a scratch server folder
# under build/ so that the plugin's saves never touch the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
exec build/bin/barterbox-server

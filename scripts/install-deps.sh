#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Barterbox need.
# Idempotent and silent when everything is present.
set -euo pipefail

packages=(
  g++ make cmake binutils           # compiler, build, nm for the export check
  nlohmann-json3-dev                # config.json and world files
  libspdlog-dev libfmt-dev          # logging, message formatting
  libutfcpp-dev                     # UTF-8 <-> UTF-16 at the host boundary
  libcli11-dev                      # command lines of the tools
  libedit-dev                       # the server console's line editing
  libasio-dev                       # the simulated server's RCON endpoint and loopback webhook
  libcpp-httplib-dev                # the stand-in host's HTTP requests (Discord posts) on Linux
  googletest libgtest-dev libgmock-dev libbenchmark-dev  # tests and benchmarks
  clang-16 libclang-rt-16-dev       # libFuzzer, for the fuzz targets
  clang-format                      # make format and the format check of make test
  gnuplot-nox                       # the performance record's charts (scripts/bench-charts.sh)
  libboost-dev                      # exact rationals for the checker's loop search (header-only)
  graphviz                          # dot, which draws the checker's table graph in a test
  rcon                              # an independent RCON client for the endpoint's tests
  python3 python3-jsonschema        # checks config.schema.json against the examples
  python3-pyte                      # renders the console test's terminal screen
  jq                                # the audit file's recipes, run by the documents' example test
  universal-ctags                   # finds the functions that scripts/function-lengths.sh measures
  g++-mingw-w64-x86-64-posix        # cross-builds Barterbox.dll and the tools for Windows
  wine wine64                       # runs the Windows build's tests
  libmariadb-dev mariadb-server     # the cluster's ledger: Connector/C, which the plugin loads at
                                    # run time, and a scratch database server for its tests
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

#!/usr/bin/env bash
# The main job: builds Vendrel, builds the demo macOS volume and shows Vendrel at work on it.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n==> %s\n' "$*"; }

step "Installing the Debian packages the build needs"
scripts/install-deps.sh

step "Building Vendrel (build/, Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target Vendrel vendrel-demo-volume

step "Building the demo volume in ./demo-volume"
rm -rf ./demo-volume
build/tools/demo/vendrel-demo-volume ./demo-volume
export VENDREL_ROOT=./demo-volume VENDREL_HOME=/Users/demo

step "The installed applications and preference panes: Vendrel list"
build/Vendrel list

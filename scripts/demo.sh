#!/usr/bin/env bash
# The main job: builds Vendrel, builds the demo macOS volume and shows Vendrel at work on it.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n==> %s\n' "$*"; }

step "Installing the Debian packages the build needs"
scripts/install-deps.sh

step "Building Vendrel (build/, Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target Vendrel vendrel-demo-volume vendrel_bundle vendrel-launchd

step "Building the demo volume in ./demo-volume"
rm -rf ./demo-volume
build/tools/demo/vendrel-demo-volume ./demo-volume
export VENDREL_ROOT="$PWD/demo-volume" VENDREL_HOME=/Users/demo

step "The installed applications and preference panes: Vendrel list"
build/Vendrel list

step "Installing Vendrel.app into the demo volume and starting the launchd stand-in"
scripts/install-app.sh "$VENDREL_ROOT" build
mkdir -p "$VENDREL_ROOT/private/var/log"
export VENDREL_LOG_FILE="$VENDREL_ROOT/private/var/log/vendrel.log"
build/tools/launchd/vendrel-launchd 2>>"$VENDREL_ROOT/private/var/log/vendrel-launchd.log" &
launchd_pid=$!
trap 'kill "$launchd_pid" 2>/dev/null && wait "$launchd_pid" 2>/dev/null || true' EXIT
vendrel_app="$VENDREL_ROOT/Applications/Vendrel.app/Contents/MacOS/Vendrel"
for _ in $(seq 50); do build/tools/launchd/vendrel-launchctl list >/dev/null 2>&1 && break; sleep 0.1; done

step "Installing the removal daemon as the application does at start: Vendrel install-helper"
VENDREL_AUTH=allow "$vendrel_app" install-helper

step "The removal daemon: Vendrel daemon-status"
"$vendrel_app" daemon-status

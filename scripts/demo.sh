#!/usr/bin/env bash
# The main job: builds Vendrel, builds the demo macOS volume and shows Vendrel at work on it.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n==> %s\n' "$*"; }

step "Installing the Debian packages the build needs"
scripts/install-deps.sh

step "Building Vendrel (build/, Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target Vendrel vendrel-demo-volume vendrel-server vendrel_bundle vendrel-launchd

step "Building the demo volume in ./demo-volume"
rm -rf ./demo-volume
build/tools/demo/vendrel-demo-volume ./demo-volume
export VENDREL_ROOT="$PWD/demo-volume" VENDREL_HOME=/Users/demo

step "Starting the maker's server stand-in on 127.0.0.1 (serving tools/demo/server)"
# Malware list, update information and removal database files come from tools/demo/server;
# the uninstall reports and reviews Vendrel posts are appended to ./demo-server-posts.log.
server_dir=$(mktemp -d)
build/tools/server/vendrel-server --root tools/demo/server --port-file "$server_dir/port" \
    --log ./demo-server-posts.log >"$server_dir/output" 2>&1 &
server_pid=$!
launchd_pid=""
stop_services() {
  for pid in $launchd_pid $server_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$server_dir"
}
trap stop_services EXIT
for _ in $(seq 200); do [ -s "$server_dir/port" ] && break; sleep 0.05; done
[ -s "$server_dir/port" ] || { cat "$server_dir/output" >&2; exit 1; }
export VENDREL_SERVER_URL="http://127.0.0.1:$(cat "$server_dir/port")"
echo "VENDREL_SERVER_URL=$VENDREL_SERVER_URL"

step "The installed applications and preference panes: Vendrel list"
build/Vendrel list

step "Installing Vendrel.app into the demo volume and starting the launchd stand-in"
scripts/install-app.sh "$VENDREL_ROOT" build
mkdir -p "$VENDREL_ROOT/private/var/log"
export VENDREL_LOG_FILE="$VENDREL_ROOT/private/var/log/vendrel.log"
build/tools/launchd/vendrel-launchd 2>>"$VENDREL_ROOT/private/var/log/vendrel-launchd.log" &
launchd_pid=$!
vendrel_app="$VENDREL_ROOT/Applications/Vendrel.app/Contents/MacOS/Vendrel"
for _ in $(seq 50); do build/tools/launchd/vendrel-launchctl list >/dev/null 2>&1 && break; sleep 0.1; done

step "Installing the removal daemon as the application does at start: Vendrel install-helper"
VENDREL_AUTH=allow "$vendrel_app" install-helper

step "The removal daemon: Vendrel daemon-status"
"$vendrel_app" daemon-status

step "Is a newer Vendrel published? Vendrel check-update"
# Compares with the version of the Vendrel.app on the volume; without one it says so.
build/Vendrel check-update || true

step "Analysing one application of each difficulty: Vendrel analyze"
# Each analysis waits 2 seconds first, as the application does. Ashgrove Sync has a removal
# list on the server (255); Boom 2 is on the special-removal list (255).
for app in Pebblecourt "Larkspur Notes" "Thornfield Studio" "Ironbark Suite" "Boom 2" "Ashgrove Sync"; do
  "$vendrel_app" analyze "$app"
  echo
done
"$vendrel_app" analyze "Thornfield Studio" --files

step "What removing Ashgrove Sync would sweep, as the daemon would: Vendrel sweep --root-mode --dry-run"
"$vendrel_app" sweep "Ashgrove Sync" --root-mode --dry-run

step "Removing Ashgrove Sync end to end: Vendrel remove \"Ashgrove Sync\" --yes"
# The application stops it, moves the bundle to the Trash, asks the daemon (which removes
# the rest as root and runs the served removal list) and sweeps the user's own folders.
"$vendrel_app" remove "Ashgrove Sync" --yes

step "The daemon's lines in the system log"
cat "$VENDREL_LOG_FILE"

step "The uninstall report the server received"
cat ./demo-server-posts.log

step "Putting back what the removal moved to the user's Trash: Vendrel restore --last"
"$vendrel_app" restore --last || true
"$vendrel_app" list | grep -F "Ashgrove Sync"

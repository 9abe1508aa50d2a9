#!/usr/bin/env bash
# The main job: builds Vendrel, builds the demo macOS volume and shows Vendrel at work on it.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n==> %s\n' "$*"; }

step "Installing the Debian packages the build needs"
scripts/install-deps.sh

step "Building Vendrel (build/, Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target Vendrel vendrel-demo-volume vendrel-server

step "Building the demo volume in ./demo-volume"
rm -rf ./demo-volume
build/tools/demo/vendrel-demo-volume ./demo-volume
export VENDREL_ROOT=./demo-volume VENDREL_HOME=/Users/demo

step "Starting the maker's server stand-in on 127.0.0.1 (serving tools/demo/server)"
# Malware list, update information and removal database files come from tools/demo/server;
# the uninstall reports and reviews Vendrel posts are appended to ./demo-server-posts.log.
server_dir=$(mktemp -d)
build/tools/server/vendrel-server --root tools/demo/server --port-file "$server_dir/port" \
    --log ./demo-server-posts.log >"$server_dir/output" 2>&1 &
server_pid=$!
stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  rm -rf "$server_dir"
}
trap stop_server EXIT
for _ in $(seq 200); do [ -s "$server_dir/port" ] && break; sleep 0.05; done
[ -s "$server_dir/port" ] || { cat "$server_dir/output" >&2; exit 1; }
export VENDREL_SERVER_URL="http://127.0.0.1:$(cat "$server_dir/port")"
echo "VENDREL_SERVER_URL=$VENDREL_SERVER_URL"

step "The installed applications and preference panes: Vendrel list"
build/Vendrel list

step "Is a newer Vendrel published? Vendrel check-update"
# Compares with the version of the Vendrel.app on the volume; without one it says so.
build/Vendrel check-update || true

#!/usr/bin/env bash
# The main job: builds Vendrel, builds the demo macOS volume and shows Vendrel at work on it.
set -euo pipefail
cd "$(dirname "$0")/.."

step() { printf '\n==> %s\n' "$*"; }

step "Installing the Debian packages the build needs"
scripts/install-deps.sh

step "Building Vendrel (build/, Release)"
scripts/build.sh build Vendrel vendrel-demo-volume vendrel-server vendrel_bundle vendrel-launchd \
    vendrel-screenshots

step "Building the demo volume in ./demo-volume"
rm -rf ./demo-volume
build/tools/demo/vendrel-demo-volume ./demo-volume
export VENDREL_ROOT="$PWD/demo-volume" VENDREL_HOME=/Users/demo

step "Starting the maker's server stand-in on 127.0.0.1 (serving tools/demo/server)"
# Malware list, update information and removal database files come from tools/demo/server;
# the uninstall reports and reviews Vendrel posts are appended to ./demo-server-posts.log.
source scripts/demo-services.sh
start_server build tools/demo/server ./demo-server-posts.log
echo "VENDREL_SERVER_URL=$VENDREL_SERVER_URL"

step "The installed applications and preference panes: Vendrel list"
build/Vendrel list

step "Installing Vendrel.app into the demo volume and starting the launchd stand-in"
install_app_and_launchd build
vendrel_app="$VENDREL_ROOT/Applications/Vendrel.app/Contents/MacOS/Vendrel"

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

step "Vendrel's window on the demo volume"
if [ -n "${DISPLAY:-}" ]; then
  # The installed application, as a user starts it; the story ends when its window closes.
  echo "The window is open; close it to end the demo."
  "$vendrel_app"
else
  # No display: the window runs under Xvfb, walks the three pages on "Marlowe Reader" and
  # saves a picture of each (scripts/screenshots.sh makes the same pictures from scratch).
  xvfb-run -a -s "-screen 0 1280x800x24" build/vendrel-screenshots docs/screenshots "Marlowe Reader"
  echo "The pictures are in docs/screenshots/ and in README.md."
fi

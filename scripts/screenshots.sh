#!/usr/bin/env bash
# Regenerates the pictures in docs/screenshots/: a fresh demo volume, the maker's server
# stand-in and the daemon, then Vendrel's window walked through its three pages (choose
# "Marlowe Reader", analyse it, remove it) under Xvfb, or on $DISPLAY when there is one.
#   scripts/screenshots.sh [folder]        (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}

scripts/install-deps.sh
scripts/build.sh build vendrel-demo-volume vendrel-server vendrel_bundle vendrel-launchd \
    vendrel-screenshots

work=$(mktemp -d)
build/tools/demo/vendrel-demo-volume "$work/volume" >/dev/null
export VENDREL_ROOT="$work/volume" VENDREL_HOME=/Users/demo
source scripts/demo-services.sh
start_server build tools/demo/server "$work/posts.log"
trap 'stop_services; rm -rf "$work"' EXIT
install_app_and_launchd build >/dev/null
VENDREL_AUTH=allow "$VENDREL_ROOT/Applications/Vendrel.app/Contents/MacOS/Vendrel" install-helper >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  build/vendrel-screenshots "$out" "Marlowe Reader"
else
  xvfb-run -a -s "-screen 0 1280x800x24" build/vendrel-screenshots "$out" "Marlowe Reader"
fi

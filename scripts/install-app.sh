#!/usr/bin/env bash
# Installs the built Vendrel.app at "/Applications/Vendrel.app" on a volume folder.
#   scripts/install-app.sh <volume folder> [build folder]
# An installed copy is replaced as a whole; the build folder defaults to ./build.
set -euo pipefail
volume=${1:?usage: install-app.sh <volume folder> [build folder]}
build=${2:-$(dirname "$0")/../build}
bundle="$build/Vendrel.app"
[ -x "$bundle/Contents/MacOS/Vendrel" ] || { echo "install-app: no built $bundle" >&2; exit 1; }
[ -d "$volume" ] || { echo "install-app: $volume is not a folder" >&2; exit 1; }
mkdir -p "$volume/Applications"
rm -rf "$volume/Applications/Vendrel.app"
cp -a "$bundle" "$volume/Applications/Vendrel.app"
echo "installed $volume/Applications/Vendrel.app"

#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Vendrel needs.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config git ca-certificates openssl
          libpugixml-dev libplist-dev libcurl4-openssl-dev libssl-dev
          libcpp-httplib-dev libcli11-dev nlohmann-json3-dev
          libgtest-dev libgmock-dev libbenchmark-dev psmisc procps ccache
          qt6-base-dev qt6-svg-dev qt6-image-formats-plugins xvfb xauth fonts-dejavu-core
          fonts-wqy-microhei)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # Quiet: one line here, apt's own output only when it fails.
  echo "Installing ${#missing[@]} Debian packages: ${missing[*]}"
  log=$(mktemp)
  if ! { $sudo apt-get update -qq && \
         $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
fi

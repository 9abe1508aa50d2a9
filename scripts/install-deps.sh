#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Vendrel needs.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config git ca-certificates openssl
          libpugixml-dev libplist-dev libcurl4-openssl-dev libssl-dev
          libcpp-httplib-dev libcli11-dev nlohmann-json3-dev
          libgtest-dev libgmock-dev libbenchmark-dev psmisc procps ccache)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

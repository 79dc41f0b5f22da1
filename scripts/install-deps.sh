#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the tool need,
# only when something is missing. Runs as root (or through sudo).
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev)
# dpkg-shlibdeps, for the Qt runtime dependencies of the .deb package, and
# file, which CPack uses to find the binaries to hand to it.
packages+=(dpkg-dev file)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the tool need,
# only when something is missing. Runs as root (or through sudo).
# Usage: install-deps.sh [--packaging] [PACKAGE...]
#   --packaging  also what building and checking the Debian packages needs
#                (scripts/package.sh and the tests labelled package).
set -euo pipefail

# The Qt SQL drivers keep the production station's records: SQLite on the
# station itself, PostgreSQL for a database several stations share.
packages=(cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-serialport-dev libgl-dev
          libqt6sql6-sqlite libqt6sql6-psql)
if [ "${1:-}" = --packaging ]; then
  shift
  # debian/control's Build-Depends and build-essential (dpkg-buildpackage
  # checks for both), git for a clean copy of the committed tree, lintian,
  # and the file type check's tools (xdg-mime asks shared-mime-info through
  # mimetype).
  packages+=(build-essential dpkg-dev debhelper help2man git lintian shared-mime-info xdg-utils libfile-mimeinfo-perl)
fi
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

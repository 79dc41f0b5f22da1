#!/usr/bin/env bash
# Builds the Debian packages q51setup, q51ctl and q51sim (and their -dbgsym
# packages) with dpkg-buildpackage, from a clean copy of the committed tree,
# into build-deb/ (or the folder given). Uncommitted changes are not packaged.
#   ./scripts/package.sh && sudo apt install ./build-deb/q51*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build-deb}")
./scripts/install-deps.sh --packaging

scratch=$(mktemp -d "${TMPDIR:-/tmp}/q51deb.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# dpkg-buildpackage writes its results beside the source tree: here, not in
# the checkout's parent folder.
mkdir "$scratch/q51setup"
git archive HEAD | tar -x -C "$scratch/q51setup"
(cd "$scratch/q51setup" &&
  DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc -b)
mkdir -p "$out"
rm -f "$out"/q51*.deb "$out"/q51setup_*.changes "$out"/q51setup_*.buildinfo
mv "$scratch"/*.deb "$scratch"/*.changes "$scratch"/*.buildinfo "$out"/
echo "Packages in $out:"
ls "$out"

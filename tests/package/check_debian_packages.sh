#!/bin/sh
# Builds the Debian packages from the committed tree, as scripts/package.sh
# does for users, and holds them to what a Debian maintainer accepts: lintian
# prints nothing at its default level, and q51ctl's package depends on Qt
# Core but on no GUI library.
# Usage: check_debian_packages.sh SOURCE_DIR OUT_DIR
# Exits 77 (skipped) when the Debian packaging tools are missing.
set -u
source=$1
out=$2

for tool in git dpkg-buildpackage dh help2man lintian; do
  command -v "$tool" >/dev/null ||
    { echo "SKIP: $tool is not installed (scripts/install-deps.sh --packaging)"; exit 77; }
done
git -C "$source" rev-parse -q --verify HEAD >/dev/null || { echo "SKIP: $source is not a git checkout"; exit 77; }

log=$out.log
mkdir -p "$out"
if ! "$source/scripts/package.sh" "$out" >"$log" 2>&1; then
  tail -n 80 "$log"
  echo "FAIL: the package build failed; whole log in $log"
  exit 1
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Builds here run as root, about which lintian always says a word: that
# line alone is not a finding.
report=$(lintian "$out"/q51setup_*.changes 2>&1)
rc=$?
report=$(printf '%s\n' "$report" | grep -vx 'running with root privileges is not recommended!')
[ $rc -eq 0 ] && [ -z "$report" ] || fail "lintian (exit $rc) says:
$report"

depends=$(dpkg-deb -f "$out"/q51ctl_*.deb Depends) || fail "no q51ctl package in $out"
case "$depends" in
  *libqt6core6*) ;;
  *) fail "q51ctl's Depends names no Qt Core, so the library dependencies were not worked out: $depends" ;;
esac
if echo "$depends" | grep -Eiq 'libqt6(gui|widgets|opengl)|libgl|libegl|libx11|libxcb'; then
  fail "q51ctl's package depends on a GUI library: $depends"
fi

[ $failures -eq 0 ] && echo "packages ok: $(cd "$out" && echo *.deb)"
[ $failures -eq 0 ]

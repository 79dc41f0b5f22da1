#!/usr/bin/env bash
# Installs what is missing, builds, and starts q51setup.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
build=${Q51_BUILD_DIR:-build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
q51setup needs a display, and none was found (DISPLAY and WAYLAND_DISPLAY are unset).
Run this command from a desktop session, or over ssh with X forwarding (ssh -X),
or start a virtual display first:
    apt-get install -y xvfb && xvfb-run -a ./scripts/run.sh
MSG
  exit 1
fi

exec "$build/src/app/q51setup" "$@"

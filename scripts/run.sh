#!/usr/bin/env bash
# Installs what is missing, builds, and starts q51setup. Unless Com 1 is
# already pointed somewhere (Q51_COM1), a simulated decoder is started on a
# pseudo-terminal and Com 1 is pointed at it, so download and upload work
# with no hardware.
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
    apt-get install -y xvfb xauth && xvfb-run -a ./scripts/run.sh
MSG
  exit 1
fi

sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null || true; }
trap cleanup EXIT

if [ -z "${Q51_COM1:-}" ] && [ -x "$build/sim/q51sim" ]; then
  runtime=$(mktemp -d "${TMPDIR:-/tmp}/q51sim.XXXXXX")
  link="$runtime/com1"
  "$build/sim/q51sim" --link "$link" >"$runtime/sim.out" 2>"$runtime/sim.log" &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
  if [ -e "$link" ]; then
    export Q51_COM1="$link"
    echo "Com 1 is the simulated decoder ($link); its log: $runtime/sim.log"
  else
    echo "The decoder simulator did not start; see $runtime/sim.log" >&2
  fi
fi

"$build/src/app/q51setup" "$@"

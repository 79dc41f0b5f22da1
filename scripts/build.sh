#!/usr/bin/env bash
# Configures and builds into build/ (or $Q51_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${Q51_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${Q51_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" -j "$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
# Extra arguments go to ctest, e.g.  ./scripts/test.sh -R tst_field_access
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${Q51_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)" "$@"

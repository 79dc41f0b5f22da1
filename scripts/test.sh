#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless:
#   1. every test, in the normal build;
#   2. every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. a short run of every fuzz target (clang, libFuzzer), from its seed corpus.
# Arguments go to the ctest of step 1 and skip steps 2 and 3, for a quick
# focused run:  ./scripts/test.sh -R tst_field_access
set -euo pipefail
cd "$(dirname "$0")/.."
build=${Q51_BUILD_DIR:-build}
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# postgresql-15: the server binaries the shared-records tests start a
# throw-away cluster with.
./scripts/install-deps.sh --packaging clang-14 libclang-rt-14-dev postgresql-15
./scripts/build.sh
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
[ $# -eq 0 ] || exit 0

echo "== The suite again, with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B "$build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQ51_SANITIZE=ON -DQ51_BUILD_BENCH=OFF >/dev/null
cmake --build "$build-asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$build-asan" --output-on-failure -j "$jobs" -LE package

echo "== Fuzz targets, ${Q51_FUZZ_SECONDS:-20} s each"
CXX=clang++-14 CC=clang-14 cmake -S . -B "$build-fuzz" -G Ninja -DQ51_BUILD_FUZZ=ON \
  -DQ51_FUZZ_SECONDS="${Q51_FUZZ_SECONDS:-20}" >/dev/null
cmake --build "$build-fuzz" -j "$jobs"
ctest --test-dir "$build-fuzz" --output-on-failure -j "$jobs"

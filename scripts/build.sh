#!/bin/bash
# Installs what is missing, then configures and builds everything (the DLL,
# the stand-in host, the tests, the benchmark) into build/, or into the folder
# LANTERNIX_BUILD names. With --log the build's output goes to build.log in
# that folder and is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LANTERNIX_BUILD:-build}

scripts/setup.sh
configure_and_build() {
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release > /dev/null
    cmake --build "$build" -j "$(nproc)"
}
if [ "${1:-}" != --log ]; then
    configure_and_build
    exit 0
fi
mkdir -p "$build"
echo "Building into $build (log: $build/build.log) ..."
if ! configure_and_build > "$build/build.log" 2>&1; then
    tail -n 30 "$build/build.log"
    echo "The build failed; the whole log is $build/build.log." >&2
    exit 1
fi

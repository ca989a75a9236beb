#!/bin/bash
# Builds everything, then runs the benchmark program under Wine on a console
# and prints its results after the machine they were measured on. Not a test:
# nothing is checked, the numbers are for reading.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# The build folder: build/ unless LANTERNIX_BUILD names another.
build=$root/${LANTERNIX_BUILD:-build}

scripts/setup.sh
mkdir -p "$build"
echo "Building into $build (log: $build/build.log) ..."
if ! { cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release &&
       cmake --build "$build" -j "$(nproc)"; } > "$build/build.log" 2>&1; then
    tail -n 30 "$build/build.log"
    echo "The build failed; the whole log is $build/build.log." >&2
    exit 1
fi

# A Wine prefix of the build's own; the first run makes it.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once, about 20 s) ..."
    env -u DISPLAY -u WAYLAND_DISPLAY wineboot --init > /dev/null 2>&1
    wineserver -w
fi

echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "Wine:    $(wine --version)"
echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
echo
"$root/tests/run-under-wine.sh" "$build/bin/lanternix-bench.exe" | tr -d '\r'

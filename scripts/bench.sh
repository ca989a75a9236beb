#!/bin/bash
# Builds both widths, then runs the benchmark program of each under Wine on a
# console (the 32-bit one from build/, the 64-bit one from build-x64/) and
# prints its results after the machine they were measured on. Not a test:
# nothing is checked, the numbers are for reading.
set -euo pipefail
# The build folder: build/ unless LANTERNIX_BUILD names another.
source "$(dirname "$0")/folders.sh"
cd "$root"

scripts/build.sh --log
scripts/build.sh --log --x64

echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "Wine:    $(/usr/lib/wine/wine64 --version)"
folders=("$build" "$build64")
if ! $runs_32bit; then
    echo "NOTE: the 32-bit benchmark does not run: $why_not_32bit."
    folders=("$build64")
fi
for folder in "${folders[@]}"; do
    echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
    echo
    WINEPREFIX=$folder/wineprefix "$root/tests/run-under-wine.sh" "$folder/bin/lanternix-bench.exe" | tr -d '\r'
    echo
done

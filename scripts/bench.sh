#!/bin/bash
# Builds everything, then runs the benchmark program under Wine on a console
# and prints its results after the machine they were measured on. Not a test:
# nothing is checked, the numbers are for reading.
set -euo pipefail
# The build folder: build/ unless LANTERNIX_BUILD names another.
source "$(dirname "$0")/folders.sh"
cd "$root"

scripts/build.sh --log

echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores"
echo "Wine:    $(wine --version)"
echo "Load:    $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
echo
WINEPREFIX=$build/wineprefix "$root/tests/run-under-wine.sh" "$build/bin/lanternix-bench.exe" | tr -d '\r'

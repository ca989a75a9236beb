#!/bin/bash
# Runs clang-tidy (.clang-tidy) over the plug-in's sources, support/ and
# relay/, with the Clang build's compile commands; fails on any finding.
# Configures the Clang build (build-clang/) first when it has none.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"
scripts/setup.sh
command -v clang-tidy > /dev/null || { echo "clang-tidy is missing (scripts/setup.sh installs it)" >&2; exit 1; }

if [ ! -f "$clang_build/compile_commands.json" ]; then
    cmake -S . -B "$clang_build" -DCMAKE_TOOLCHAIN_FILE=cmake/clang-mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
fi
status=0
git ls-files -z 'support/*.cpp' 'relay/*.cpp' |
    xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$clang_build" --quiet 2> /dev/null || status=$?
if [ $status -ne 0 ]; then
    echo "clang-tidy found the problems above (.clang-tidy says which checks and why)." >&2
    exit 1
fi
echo "clang-tidy: no findings in support/ and relay/."

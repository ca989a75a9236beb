#!/bin/bash
# Runs clang-tidy (.clang-tidy) over the plug-in's sources, support/ and
# relay/, with the compile commands of both Clang builds (32-bit and 64-bit:
# each compiles its own record layouts); fails on any finding. Configures a
# Clang build first when it has none.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"
scripts/setup.sh
command -v clang-tidy > /dev/null || { echo "clang-tidy is missing (scripts/setup.sh installs it)" >&2; exit 1; }

status=0
for target in "$clang_build:cmake/clang-mingw-i686.cmake" "$clang_build64:cmake/clang-mingw-x86_64.cmake"; do
    folder=${target%%:*}
    if [ ! -f "$folder/compile_commands.json" ]; then
        cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="${target#*:}" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
    fi
    git ls-files -z 'support/*.cpp' 'relay/*.cpp' |
        xargs -0 -n 4 -P "$(nproc)" clang-tidy -p "$folder" --quiet 2> /dev/null || status=$?
done
if [ $status -ne 0 ]; then
    echo "clang-tidy found the problems above (.clang-tidy says which checks and why)." >&2
    exit 1
fi
echo "clang-tidy: no findings in support/ and relay/, 32-bit and 64-bit."

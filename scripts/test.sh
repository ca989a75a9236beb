#!/bin/bash
# The whole check, as CI runs it: the format check; the four builds, for
# 32-bit hosts with GCC (build/, or LANTERNIX_BUILD) and Clang (build-clang/)
# and for 64-bit hosts with GCC (build-x64/) and Clang (build-x64-clang/);
# clang-tidy; every DLL's exports, imports and sections; then every build's
# tests under Wine.
# Last, the coverage of support/ and relay/ (scripts/coverage.sh).
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"

scripts/setup.sh
scripts/check-format.sh
scripts/build.sh --log
scripts/build.sh --log --clang
scripts/build.sh --log --x64
scripts/build.sh --log --x64 --clang
scripts/check-tidy.sh
scripts/check-dll.sh "${all_builds[@]}"
for folder in "${all_builds[@]}"; do
    echo "Tests of $folder:"
    if ! $runs_32bit && [[ $folder != "$build64" && $folder != "$clang_build64" ]]; then
        echo "NOTE: the 32-bit tests under Wine are not run: $why_not_32bit."
        echo "      The tests that need no Wine still run; ctest lists the others as not run (Disabled)."
    fi
    ctest --test-dir "$folder" --output-on-failure -j "$(nproc)"
done
echo "Coverage of support/ and relay/ ($coverage_build):"
scripts/coverage.sh

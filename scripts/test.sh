#!/bin/bash
# The whole check, as CI runs it: the format check, the GCC build (build/, or
# LANTERNIX_BUILD) and the Clang build beside it (build-clang/), clang-tidy,
# both DLLs' exports and imports, then both builds' tests under Wine.
# Last, the coverage of support/ and relay/ (scripts/coverage.sh).
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"

scripts/setup.sh
scripts/check-format.sh
scripts/build.sh --log
scripts/build.sh --log --clang
scripts/check-tidy.sh
scripts/check-dll.sh "$build" "$clang_build"
echo "Tests of the GCC build ($build):"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
echo "Tests of the Clang build ($clang_build):"
ctest --test-dir "$clang_build" --output-on-failure -j "$(nproc)"
echo "Coverage of support/ and relay/ ($coverage_build):"
scripts/coverage.sh

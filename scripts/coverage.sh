#!/bin/bash
# How much of the plug-in the tests run: builds support/ and relay/ with
# gcov's counters (LANTERNIX_COVERAGE) into build-coverage/, beside the GCC
# build, runs the suites that call into them one after the other (each
# process adds its counts to the same files), and prints the lines run and
# the branches taken in each file of support/ and relay/. Fails when a line
# or branch did not run and tests/coverage-exceptions.txt does not list it
# with its reason, or when a listed one runs after all.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"
scripts/setup.sh

suites=(unit_tests dll_tests hostile_tests)
# The 32-bit code is measured where it runs; on a machine that runs no 32-bit
# program, the 64-bit code, which is the same source.
toolchain=cmake/mingw-i686.cmake gcov=i686-w64-mingw32-gcov
if ! $runs_32bit; then
    echo "NOTE: measuring the 64-bit code: $why_not_32bit."
    toolchain=cmake/mingw-x86_64.cmake gcov=x86_64-w64-mingw32-gcov
fi
mkdir -p "$coverage_build"
log=$coverage_build/build.log
echo "Building with coverage counters into $coverage_build (log: $log) ..."
if ! { cmake -S . -B "$coverage_build" -DCMAKE_TOOLCHAIN_FILE=$toolchain -DCMAKE_BUILD_TYPE=Release \
        -DLANTERNIX_COVERAGE=ON && cmake --build "$coverage_build" -j "$(nproc)" --target "${suites[@]}"; } > "$log" 2>&1; then
    tail -n 30 "$log"
    echo "The coverage build failed; the whole log is $log." >&2
    exit 1
fi

objects=$coverage_build/CMakeFiles/lanternix_core.dir
find "$objects" -name '*.gcda' -delete
ctest --test-dir "$coverage_build" --output-on-failure -R "^($(IFS='|'; echo "${suites[*]}"))\$"
mapfile -t notes < <(find "$objects" -name '*.gcno' | sort)
# A source with no function (host_interface.cpp holds layout checks only) has
# no counts: gcov's words about it are left out.
"$gcov" --branch-probabilities --json-format --stdout "${notes[@]}" \
    2> >(awk '/:no functions found$/ {sub(/\.gcno:.*/, ""); empty[$0] = 1; next}
              {object = $0; sub(/\.gcda:.*/, "", object)} !(object in empty)' >&2) |
    python3 scripts/coverage-report.py "$root" tests/coverage-exceptions.txt

#!/bin/bash
# Installs what is missing, then configures and builds everything (the DLL,
# the stand-in host, the tests, the benchmark) into one build folder: with GCC
# for 32-bit hosts into build/, or into the folder LANTERNIX_BUILD names; with
# --clang, with Clang into the folder beside it (build-clang/); with --x64,
# for 64-bit hosts into build-x64/ (build-x64-clang/ with --clang too). With
# --log the build's output goes to build.log in that folder and is shown only
# when the build fails.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"

compiler=gcc
bits=32
log=false
for argument in "$@"; do
    case $argument in
        --log) log=true ;;
        --clang) compiler=clang ;;
        --x64) bits=64 ;;
        *) echo "usage: scripts/build.sh [--log] [--clang] [--x64]" >&2; exit 2 ;;
    esac
done
case $compiler/$bits in
    gcc/32) folder=$build toolchain=cmake/mingw-i686.cmake ;;
    clang/32) folder=$clang_build toolchain=cmake/clang-mingw-i686.cmake ;;
    gcc/64) folder=$build64 toolchain=cmake/mingw-x86_64.cmake ;;
    clang/64) folder=$clang_build64 toolchain=cmake/clang-mingw-x86_64.cmake ;;
esac

scripts/setup.sh
# The compile commands are what scripts/check-tidy.sh reads.
configure_and_build() {
    cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
    cmake --build "$folder" -j "$(nproc)"
}
if ! $log; then
    configure_and_build
    exit 0
fi
mkdir -p "$folder"
echo "Building into $folder (log: $folder/build.log) ..."
if ! configure_and_build > "$folder/build.log" 2>&1; then
    tail -n 30 "$folder/build.log"
    echo "The build failed; the whole log is $folder/build.log." >&2
    exit 1
fi

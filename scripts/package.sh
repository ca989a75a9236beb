#!/bin/bash
# Makes the two release packages, one for each width of the file manager:
# Lanternix-VERSION-win32.zip in build/package/ and Lanternix-VERSION-win64.zip
# in build-x64/package/ (beside the folder LANTERNIX_BUILD names). Each holds
# one folder, Lanternix, with the DLL, its language files, its help files, the
# key binding Lanternix.lua, the installation note, the licence and the
# changelog.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"
scripts/build.sh --log
scripts/build.sh --log --x64
for folder in "$build" "$build64"; do
    cmake --build "$folder" --target package > "$folder/package.log" || { cat "$folder/package.log"; exit 1; }
    ls "$folder"/package/*.zip
done

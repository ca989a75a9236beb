#!/bin/bash
# Makes the release package: Lanternix-VERSION-win32.zip in build/package/ (or
# in the folder LANTERNIX_BUILD names), one folder Lanternix with the DLL, its
# language files, the installation note, the licence and the changelog.
set -euo pipefail
source "$(dirname "$0")/folders.sh"
cd "$root"
scripts/build.sh --log
cmake --build "$build" --target package
ls "$build"/package/*.zip

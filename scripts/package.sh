#!/bin/bash
# Makes the release package: build/package/Lanternix-VERSION-win32.zip with
# Lanternix.dll, its message files and the installation note.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cmake --build build --target package
ls build/package/*.zip

#!/bin/bash
# Configures and builds everything into build/ (the DLL, the test programs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$(nproc)"

#!/bin/bash
# Sets up what is missing, builds, and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

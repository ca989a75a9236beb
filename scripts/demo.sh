#!/bin/bash
# The main job: sets up what is missing and builds Lanternix.dll.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
echo "Built $(pwd)/build/bin/Lanternix.dll"

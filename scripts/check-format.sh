#!/bin/bash
# Checks every tracked C++ source against .clang-format and names the files
# that differ; fails when any does. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
command -v clang-format > /dev/null || { echo "clang-format is missing (scripts/setup.sh installs it)" >&2; exit 1; }

differing=()
while IFS= read -r -d '' file; do
    clang-format --dry-run --Werror "$file" > /dev/null 2>&1 || differing+=("$file")
done < <(git ls-files -z '*.cpp' '*.h' '*.c')

if [ ${#differing[@]} -gt 0 ]; then
    echo "Not formatted as .clang-format says (clang-format -i FILE mends it):" >&2
    printf '  %s\n' "${differing[@]}" >&2
    exit 1
fi
echo "Format: every C++ source matches .clang-format."
